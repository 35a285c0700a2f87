#pragma once
// Where the current user's desktop and start menu are. The shell is asked first, since it
// knows a folder that was moved (redirected to a server, to another drive ...); then the
// user's own list of shell folders; last the list of the default profile, as earlier builds
// read it. Environment references in the lists (%USERPROFILE%, %SystemDrive% ...) are
// expanded. Nothing here reports an error: "" means the folder was not found.

#include <string>

#include "core/registry.h"
#include "platform/ports.h"

namespace varlindo {

class SpecialFolders {
public:
    explicit SpecialFolders(Registry& registry) : registry_(registry) {}

    // "HKEY_USERS\.DEFAULT\...\User Shell Folders\Desktop": reads that string value (also
    // one with unexpanded references, as stored). Leaves `full_path` holding the key path
    // alone, without the root name and the value name.
    std::string RegistryGetAbsolutValue(std::string& full_path);
    std::string ReadRegistryString(RegKey root, const std::string& key_path, const std::string& value_name,
                                   const std::string& default_value);
    std::string GetUserProfileFolder();

    std::string GetDesktopPath();
    std::string GetStartMenuPath();

private:
    std::string UserFolder(SpecialFolder folder, const char* value_name);
    // Every %NAME% that names a set environment variable is replaced by its value.
    std::string ExpandVariables(const std::string& text);

    Registry& registry_;
};

// Every occurrence of `search` in `text` replaced by `replacement`, scanning on from one
// character past each inserted replacement (so an occurrence right behind one stays).
std::string replaceall(std::string text, const std::string& search, const std::string& replacement);

}  // namespace varlindo
