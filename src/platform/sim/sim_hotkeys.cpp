#include "platform/sim/sim_platform.h"

namespace varlindo::sim {

std::uint16_t SimHotkeys::AddAtom(const std::string& name) {
    if (Fails()) return {};
    if (refuse_atoms || name.empty()) return 0;
    auto& atoms = desktop_.atoms;
    if (auto it = atoms.find(name); it != atoms.end()) {
        ++it->second.second;
        return it->second.first;
    }
    // Numbers are not reused while the desktop lasts, so a stale one never names another atom.
    static_assert(sizeof(desktop_.next_atom) >= 2);
    const std::uint16_t number = desktop_.next_atom++;
    atoms[name] = {number, 1};
    return number;
}

void SimHotkeys::DeleteAtom(std::uint16_t atom) {
    auto& atoms = desktop_.atoms;
    for (auto it = atoms.begin(); it != atoms.end(); ++it) {
        if (it->second.first != atom) continue;
        if (--it->second.second == 0) atoms.erase(it);
        return;
    }
}

bool SimHotkeys::RegisterHotkey(int id, int key_code) {
    if (Fails()) return {};
    auto& held = desktop_.hotkeys;
    if (held.count(key_code)) return false;  // this program or another holds it already
    held[key_code] = {program_.Id(), id};
    return true;
}

void SimHotkeys::UnregisterHotkey(int id) {
    auto& held = desktop_.hotkeys;
    for (auto it = held.begin(); it != held.end(); ++it) {
        if (it->second == std::pair<int, int>{program_.Id(), id}) {
            held.erase(it);
            return;
        }
    }
}

bool SimDesktop::PressHotkey(int key_code) {
    auto it = hotkeys.find(key_code);
    if (it == hotkeys.end()) return false;
    const auto [program_id, id] = it->second;
    for (SimPlatform* program : programs_)
        if (program->Id() == program_id)
            if (ProgramEvents* events = program->Events()) events->HotkeyPressed(id);
    return true;
}

}  // namespace varlindo::sim
