#include "launch/file_ops.h"

#include "base/path_text.h"
#include "base/text.h"
#include "launch/launch_messages.h"

namespace varlindo {
namespace {

bool IsReservedDeviceName(const std::string& name) {
    const std::string base = text::Upper(name.substr(0, name.find('.')));
    for (const char* reserved : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"})
        if (base == reserved) return true;
    return base.size() == 4 && (base.rfind("COM", 0) == 0 || base.rfind("LPT", 0) == 0) && base[3] >= '0' &&
           base[3] <= '9';
}

std::string CleanName(const std::string& name) {
    std::string clean;
    for (char c : name) {
        const auto u = static_cast<unsigned char>(c);
        const bool refused = u < 0x20 || std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos;
        clean += refused ? '_' : c;
    }
    // Windows drops trailing dots and blanks from a file name.
    clean = text::Trim(clean);
    while (!clean.empty() && (clean.back() == '.' || clean.back() == ' ')) clean.pop_back();
    if (clean.empty()) return clean;
    if (IsReservedDeviceName(clean)) clean.insert(clean.find('.') == std::string::npos ? clean.size() : clean.find('.'), "_");
    return clean;
}

}  // namespace

std::string FileOps::ShortcutFileName(const std::string& name) {
    if (text::EndsWith(text::Lower(name), ".lnk")) return name;
    return name + ".lnk";
}

std::string FileOps::SafeShortcutName(const std::string& name, const std::string& fallback) {
    std::string clean = CleanName(name);
    // A name that is only its extension (".lnk") names nothing.
    if (clean.empty() || text::Lower(clean) == ".lnk") clean = CleanName(fallback);
    if (clean.empty() || text::Lower(clean) == ".lnk") clean = "Shortcut";
    return clean;
}

bool FileOps::WriteShortcut(const std::string& folder, const std::string& name, const std::string& target,
                            const std::string& arguments, std::int16_t icon_index, const std::string& icon_file,
                            std::string& error) {
    ShellLink link;
    link.target = target;
    link.arguments = arguments;
    link.show_command = 1;
    link.icon_file = icon_file.empty() ? target : icon_file;
    link.icon_index = icon_index;
    return platform_.shell.SaveShortcut(folder + ShortcutFileName(text::Trim(name)), link, error);
}

bool FileOps::CreateShortcutFile(const std::string& target, const std::string& shortcut_path,
                                 const std::string& arguments, const std::string& name, std::int16_t icon_index,
                                 std::string& icon_file) {
    const std::string folder = run_file_.ShortPathOf(AddTrailingSeparator(DirectoryOfPath(shortcut_path)));
    const std::string short_target = run_file_.ShortPathOf(target);
    // The one file name that is written and then looked for; it never leaves the folder.
    std::string stem = FileNameOfPath(target);
    if (const size_t dot = stem.rfind('.'); dot != std::string::npos) stem.erase(dot);
    const std::string file_name = ShortcutFileName(SafeShortcutName(name, stem));
    if (icon_file.empty()) icon_file = short_target;

    std::string error;
    const bool saved = WriteShortcut(folder, file_name, short_target, text::Trim(arguments), icon_index, icon_file, error);
    if (saved && platform_.files.FileExists(folder + file_name)) return true;
    std::string message = std::string(kShortcutFailed) + "\r\r" + folder + file_name;
    if (!error.empty()) message += "\r\r" + error;
    platform_.ui.ShowMessageBox(message, app_title_, mb::Ok);
    return false;
}

}  // namespace varlindo
