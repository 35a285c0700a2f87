#include "platform/sim/sim_paths.h"
#include "platform/sim/sim_platform.h"

namespace varlindo::sim {

SimFiles::SimFiles(SimDesktop& desktop, SimPlatform& program) : SimService(desktop, program) {
    environment["USERPROFILE"] = "C:\\Users\\test";
}

bool SimFiles::FileExists(const std::string& path) { return desktop_.HasFile(path); }

std::optional<bool> SimFiles::IsFolder(const std::string& path) {
    if (desktop_.folders.count(NormalPath(path))) return true;
    if (desktop_.HasFile(path)) return false;
    return std::nullopt;
}

bool SimFiles::WriteTextFile(const std::string& path, const std::string& content) {
    const std::string p = NormalPath(path);
    const size_t cut = p.rfind('\\');
    if (cut == std::string::npos || !desktop_.folders.count(p.substr(0, cut))) return false;
    desktop_.files[p] = content;
    desktop_.file_writes.push_back(path);
    return true;
}

bool SimFiles::RemoveFile(const std::string& path) { return desktop_.files.erase(NormalPath(path)) != 0; }

bool SimFiles::SetCurrentFolder(const std::string& path) {
    if (!desktop_.folders.count(NormalPath(path))) return false;
    current_folder = path;
    while (current_folder.size() > 3 && (current_folder.back() == '\\' || current_folder.back() == '/'))
        current_folder.pop_back();
    return true;
}

bool SimFiles::SetCurrentDrive(char drive) {
    const std::string root = std::string(1, static_cast<char>(std::tolower(static_cast<unsigned char>(drive)))) + ":";
    if (!desktop_.folders.count(root)) return false;
    if (Lower(current_folder).rfind(root, 0) != 0) current_folder = std::string(1, drive) + ":\\";
    return true;
}

std::string SimFiles::Environment(const std::string& name) {
    auto v = environment.find(name);
    return v == environment.end() ? std::string() : v->second;
}

}  // namespace varlindo::sim
