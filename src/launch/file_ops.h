#pragma once
// Writes the shell shortcuts (.lnk files) that start this program with a command line.
// The file is written by the shell's own link object; a shortcut that could not be saved
// is reported to the user.

#include <cstdint>
#include <string>

#include "launch/run_file.h"
#include "platform/ports.h"

namespace varlindo {

class FileOps {
public:
    FileOps(Platform& platform, RunFile& run_file, std::string app_title = "Varlindo")
        : platform_(platform), run_file_(run_file), app_title_(std::move(app_title)) {}

    // Writes a shortcut to `target` into the folder of `shortcut_path` (the part up to its
    // last separator), named `name`, and tells the user when that failed. An empty
    // `icon_file` is set to the target's short path. True when the shortcut was saved.
    bool CreateShortcutFile(const std::string& target, const std::string& shortcut_path, const std::string& arguments,
                            const std::string& name, std::int16_t icon_index, std::string& icon_file);
    // Saves the shortcut `folder` + ShortcutFileName(`name`), without telling anyone; the
    // reason in `error` when it was not saved.
    bool WriteShortcut(const std::string& folder, const std::string& name, const std::string& target,
                       const std::string& arguments, std::int16_t icon_index, const std::string& icon_file,
                       std::string& error);

    // The file name of a shortcut called `name`: ".lnk" is appended unless the name ends in
    // it (any case).
    static std::string ShortcutFileName(const std::string& name);
    // A name that is safe as a file name in the chosen folder: characters Windows refuses in
    // file names (separators, ":", "*", "?", quotes, "<", ">", "|", control characters)
    // become "_", surrounding blanks and trailing dots go, and a reserved device name (CON,
    // NUL, COM1 ...) gets a "_". Falls back to `fallback` (made safe the same way) when
    // nothing is left, and to "Shortcut" when that is empty too.
    static std::string SafeShortcutName(const std::string& name, const std::string& fallback);

private:
    Platform& platform_;
    RunFile& run_file_;
    std::string app_title_;
};

}  // namespace varlindo
