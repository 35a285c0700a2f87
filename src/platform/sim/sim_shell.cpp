#include "platform/sim/sim_paths.h"
#include "platform/sim/sim_platform.h"

namespace varlindo::sim {

std::optional<std::string> SimShell::ShortPath(const std::string& path) {
    if (Fails()) return {};
    auto s = desktop_.short_paths.find(NormalPath(path));
    if (s != desktop_.short_paths.end()) return s->second;
    if (desktop_.HasFile(path) || desktop_.folders.count(NormalPath(path))) return path;  // already short
    return std::nullopt;
}

std::string SimShell::ExecutableFor(const std::string& file) {
    if (Fails()) return {};
    if (!desktop_.HasFile(file)) return {};
    const std::string p = Lower(file);
    const size_t dot = p.rfind('.');
    if (dot == std::string::npos) return {};
    // A program is its own program, as the shell sees it.
    const std::string ext = p.substr(dot);
    if (ext == ".exe" || ext == ".com" || ext == ".bat") return file;
    auto a = desktop_.associations.find(p.substr(dot));
    return a == desktop_.associations.end() ? std::string() : a->second;
}

bool SimShell::StartProgram(const std::string& command_line, int) {
    if (Fails()) return {};
    started.push_back(command_line);
    started_in.push_back(program_.files.CurrentFolder());
    return true;
}

std::string SimShell::UserFolder(SpecialFolder folder) {
    if (Fails()) return {};
    auto f = user_folders.find(folder);
    return f == user_folders.end() ? std::string() : f->second;
}

bool SimShell::SaveShortcut(const std::string& path, const ShellLink& link, std::string& error) {
    if (Fails()) {
        error = "The system call failed.";
        return false;
    }
    shortcut_saves.push_back(path);
    const std::string p = NormalPath(path);
    const size_t cut = p.rfind('\\');
    if (link_object_missing) {
        error = "Class not registered";
        return false;
    }
    if (cut == std::string::npos || !desktop_.folders.count(p.substr(0, cut)) || desktop_.folders.count(p)) {
        error = "The system cannot find the path specified.";
        return false;
    }
    if (desktop_.read_only.count(p)) {
        error = "Access is denied.";
        return false;
    }
    desktop_.files[p] = "shortcut";
    desktop_.spelling[p] = path;
    desktop_.shortcuts[p] = link;
    return true;
}

DownloadResult SimShell::Download(const std::string& first_url, const std::string& file) {
    if (Fails()) return {};
    desktop_.downloads.push_back(first_url);
    DownloadResult result;
    // Redirects are followed as WinHTTP follows them: up to 10, never from https to http.
    std::string url = first_url;
    for (int hops = 0;; ++hops) {
        auto next = desktop_.redirects.find(url);
        if (next == desktop_.redirects.end()) break;
        const bool secure = Lower(url).rfind("https:", 0) == 0;
        if (hops == 10 || (secure && Lower(next->second).rfind("http:", 0) == 0)) {
            result.error = "The redirection failed because either the scheme changed or all attempts made to "
                           "redirect failed";
            return result;
        }
        url = next->second;
    }
    result.final_url = url;
    auto page = desktop_.web.find(url);
    if (page == desktop_.web.end()) {
        result.error = "The server name or address could not be resolved";
        return result;
    }
    result.status = page->second.first;
    std::string body = page->second.second;
    if (desktop_.cut_off.count(url)) body.resize(body.size() / 2);
    if (!program_.files.WriteTextFile(file, body)) {
        result.error = "Access is denied.";
        return result;
    }
    result.complete = !desktop_.cut_off.count(url);
    if (!result.complete) result.error = "The connection with the server was terminated abnormally";
    return result;
}

}  // namespace varlindo::sim
