#include <cctype>

#include "platform/sim/sim_paths.h"
#include "platform/sim/sim_platform.h"
#include "platform/sim/sim_sha256.h"

namespace varlindo::sim {

SimFiles::SimFiles(SimDesktop& desktop, SimPlatform& program) : SimService(desktop, program) {
    environment["USERPROFILE"] = "C:\\Users\\test";
}

bool SimFiles::FileExists(const std::string& path) { return !Fails() && desktop_.HasFile(path); }

std::optional<bool> SimFiles::IsFolder(const std::string& path) {
    if (Fails()) return {};
    if (desktop_.folders.count(NormalPath(path))) return true;
    if (desktop_.HasFile(path)) return false;
    return std::nullopt;
}

bool SimFiles::WriteTextFile(const std::string& path, const std::string& content) {
    if (Fails()) return {};
    const std::string p = NormalPath(path);
    const size_t cut = p.rfind('\\');
    if (cut == std::string::npos || !desktop_.folders.count(p.substr(0, cut))) return false;
    if (desktop_.read_only.count(p) || desktop_.locked.count(p) || desktop_.running.count(p)) return false;
    desktop_.files[p] = content;
    desktop_.spelling.emplace(p, path);  // a file written over keeps the name it has
    desktop_.file_writes.push_back(path);
    return true;
}

bool SimFiles::RemoveFile(const std::string& path) {
    if (Fails()) return {};
    const std::string p = NormalPath(path);
    if (desktop_.read_only.count(p) || desktop_.locked.count(p) || desktop_.running.count(p) || !desktop_.files.erase(p))
        return false;
    desktop_.spelling.erase(p);
    return true;
}

bool SimFiles::SetCurrentFolder(const std::string& path) {
    if (Fails()) return {};
    if (!desktop_.folders.count(NormalPath(path))) return false;
    current_folder = path;
    while (current_folder.size() > 3 && (current_folder.back() == '\\' || current_folder.back() == '/'))
        current_folder.pop_back();
    return true;
}

bool SimFiles::SetCurrentDrive(char drive) {
    if (Fails()) return {};
    const std::string root = std::string(1, static_cast<char>(std::tolower(static_cast<unsigned char>(drive)))) + ":";
    if (!desktop_.folders.count(root)) return false;
    if (Lower(current_folder).rfind(root, 0) != 0) current_folder = std::string(1, drive) + ":\\";
    return true;
}

std::string SimFiles::Environment(const std::string& name) {
    if (Fails()) return {};
    auto v = environment.find(name);
    return v == environment.end() ? std::string() : v->second;
}

std::vector<std::string> SimFiles::Drives() {
    if (Fails()) return {};
    std::vector<std::string> drives;
    for (const std::string& f : desktop_.folders)
        if (f.size() == 2 && f[1] == ':') drives.push_back(std::string(1, static_cast<char>(std::toupper(f[0]))) + ":");
    return drives;
}

std::optional<std::vector<FilePort::Entry>> SimFiles::ListFolder(const std::string& folder) {
    if (Fails()) return {};
    std::string key = NormalPath(folder);
    if (key.size() == 3 && key[1] == ':') key.pop_back();  // "c:\" is kept as "c:"
    if (!desktop_.folders.count(key) || desktop_.unreadable.count(key)) return std::nullopt;
    auto name_of = [this](const std::string& path) {
        auto spelled = desktop_.spelling.find(path);
        const std::string& shown = spelled == desktop_.spelling.end() ? path : spelled->second;
        return shown.substr(shown.find_last_of("\\/") + 1);
    };
    auto inside = [&key](const std::string& path) {
        const size_t cut = path.rfind('\\');
        return cut != std::string::npos && path.substr(0, cut) == key && !path.substr(cut + 1).empty();
    };
    std::vector<Entry> entries;
    for (const std::string& f : desktop_.folders)
        if (inside(f) && !desktop_.hidden.count(f)) entries.push_back({name_of(f), true});
    for (const auto& [path, content] : desktop_.files)
        if (inside(path) && !desktop_.hidden.count(path)) entries.push_back({name_of(path), false});
    return entries;
}

std::optional<std::uint64_t> SimFiles::FileSize(const std::string& path) {
    if (Fails()) return {};
    auto f = desktop_.files.find(NormalPath(path));
    if (f == desktop_.files.end()) return std::nullopt;
    return f->second.size();
}

std::optional<std::string> SimFiles::ReadFileStart(const std::string& path, std::size_t count) {
    if (Fails()) return {};
    auto f = desktop_.files.find(NormalPath(path));
    if (f == desktop_.files.end()) return std::nullopt;
    return f->second.substr(0, count);
}

std::optional<std::string> SimFiles::FileSha256(const std::string& path) {
    auto f = desktop_.files.find(NormalPath(path));
    if (f == desktop_.files.end()) return std::nullopt;
    return Sha256Hex(f->second);
}

bool SimFiles::RenameFile(const std::string& from, const std::string& to, bool replace) {
    if (Fails()) return {};
    const std::string a = NormalPath(from);
    const std::string b = NormalPath(to);
    auto f = desktop_.files.find(a);
    if (f == desktop_.files.end()) return false;
    const size_t cut = b.rfind('\\');
    if (cut == std::string::npos || !desktop_.folders.count(b.substr(0, cut)) || desktop_.folders.count(b)) return false;
    if (a == b) return true;
    if (desktop_.files.count(b) &&
        (!replace || desktop_.read_only.count(b) || desktop_.locked.count(b) || desktop_.running.count(b)))
        return false;
    if (desktop_.locked.count(a)) return false;
    if (desktop_.running.erase(a)) desktop_.running.insert(b);
    std::string content = std::move(f->second);
    desktop_.files.erase(f);
    desktop_.spelling.erase(a);
    desktop_.files[b] = std::move(content);
    desktop_.spelling[b] = to;
    // A read-only file may be renamed, and stays read-only.
    if (desktop_.read_only.erase(a)) desktop_.read_only.insert(b);
    return true;
}

bool SimFiles::DuplicateFile(const std::string& from, const std::string& to) {
    if (Fails()) return {};
    auto f = desktop_.files.find(NormalPath(from));
    if (f == desktop_.files.end()) return false;
    const std::string b = NormalPath(to);
    if (desktop_.read_only.count(b) || desktop_.locked.count(b) || desktop_.running.count(b)) return false;
    const std::string content = f->second;
    return WriteTextFile(to, content);
}

}  // namespace varlindo::sim
