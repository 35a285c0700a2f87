#include "util/special_folders.h"

#include "base/text.h"

namespace varlindo {
namespace {

constexpr const char* kUserShellFolders = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
constexpr const char* kDefaultProfileFolders =
    "HKEY_USERS\\.DEFAULT\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders\\";
constexpr const char* kProfilePlaceholder = "%USERPROFILE%";

}  // namespace

std::string replaceall(std::string text, const std::string& search, const std::string& replacement) {
    if (search.empty()) return text;
    size_t from = 0;
    while (from < text.size()) {
        const size_t at = text.find(search, from);
        if (at == std::string::npos) break;
        text = text.substr(0, at) + replacement + text.substr(at + search.size());
        // One character past the end of the inserted text: what begins right behind it is
        // not looked at.
        from = at + replacement.size() + 1;
    }
    return text;
}

std::string SpecialFolders::RegistryGetAbsolutValue(std::string& full_path) {
    std::string path = text::Trim(full_path);
    if (!path.empty() && path.back() == '\\') path.pop_back();
    const size_t first = path.find('\\');
    const RegKey root = Registry::RootKeyFromFullName(text::Upper(path.substr(0, first)));
    const std::string rest = first == std::string::npos ? std::string() : path.substr(first + 1);
    // The value name follows the last separator; without one the whole rest is the key.
    std::string value_name;
    full_path = rest;
    if (const size_t last = rest.rfind('\\'); last != std::string::npos) {
        full_path = rest.substr(0, last);
        value_name = rest.substr(last + 1);
    }
    return ReadRegistryString(root, full_path, value_name, "");
}

std::string SpecialFolders::ReadRegistryString(RegKey root, const std::string& key_path, const std::string& value_name,
                                               const std::string& default_value) {
    return registry_.ReadStringValue(root, key_path, value_name, default_value, true);
}

std::string SpecialFolders::GetUserProfileFolder() {
    return registry_.GetPlatform().files.Environment("USERPROFILE");
}

std::string SpecialFolders::ExpandVariables(const std::string& text) {
    std::string out;
    size_t from = 0;
    for (;;) {
        const size_t open = text.find('%', from);
        const size_t close = open == std::string::npos ? std::string::npos : text.find('%', open + 1);
        if (close == std::string::npos) break;
        const std::string value = registry_.GetPlatform().files.Environment(text.substr(open + 1, close - open - 1));
        if (close == open + 1 || value.empty()) {
            // Not a set variable: kept as written; its closing "%" may open the next one.
            out.append(text, from, close - from);
            from = close;
            continue;
        }
        out.append(text, from, open - from);
        out += value;
        from = close + 1;
    }
    out.append(text, from, std::string::npos);
    return out;
}

std::string SpecialFolders::UserFolder(SpecialFolder folder, const char* value_name) {
    if (std::string known = registry_.GetPlatform().shell.UserFolder(folder); !known.empty()) return known;
    if (std::string own = ReadRegistryString(hkey::CurrentUser, kUserShellFolders, value_name, ""); !own.empty())
        return ExpandVariables(own);
    std::string path = std::string(kDefaultProfileFolders) + value_name;
    const std::string stored = RegistryGetAbsolutValue(path);
    return ExpandVariables(replaceall(stored, kProfilePlaceholder, GetUserProfileFolder()));
}

std::string SpecialFolders::GetDesktopPath() { return UserFolder(SpecialFolder::Desktop, "Desktop"); }

std::string SpecialFolders::GetStartMenuPath() { return UserFolder(SpecialFolder::StartMenu, "Start Menu"); }

}  // namespace varlindo
