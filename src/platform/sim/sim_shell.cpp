#include "platform/sim/sim_paths.h"
#include "platform/sim/sim_platform.h"

namespace varlindo::sim {

std::optional<std::string> SimShell::ShortPath(const std::string& path) {
    auto s = desktop_.short_paths.find(NormalPath(path));
    if (s != desktop_.short_paths.end()) return s->second;
    if (desktop_.HasFile(path) || desktop_.folders.count(NormalPath(path))) return path;  // already short
    return std::nullopt;
}

std::string SimShell::ExecutableFor(const std::string& file) {
    if (!desktop_.HasFile(file)) return {};
    const std::string p = Lower(file);
    const size_t dot = p.rfind('.');
    if (dot == std::string::npos) return {};
    auto a = desktop_.associations.find(p.substr(dot));
    return a == desktop_.associations.end() ? std::string() : a->second;
}

bool SimShell::StartProgram(const std::string& command_line, int) {
    started.push_back(command_line);
    return true;
}

}  // namespace varlindo::sim
