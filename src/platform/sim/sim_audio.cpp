#include "platform/sim/sim_platform.h"

#include <algorithm>

namespace varlindo::sim {

int SimWaveOut::DeviceCount() { return Fails() ? 0 : static_cast<int>(desktop_.cards.size()); }

std::optional<std::string> SimWaveOut::ProductName(int device) {
    if (Fails()) return {};
    if (device < 0 || device >= static_cast<int>(desktop_.cards.size()) || !desktop_.cards[static_cast<size_t>(device)].answers)
        return std::nullopt;
    // The product name field holds 31 bytes and a NUL.
    std::string name = desktop_.cards[static_cast<size_t>(device)].name;
    return name.substr(0, std::min<size_t>(name.find('\0'), 31));
}

std::optional<std::uint32_t> SimWaveOut::Volume(int device) {
    if (Fails()) return {};
    if (device < 0 || device >= static_cast<int>(desktop_.cards.size())) return std::nullopt;
    return desktop_.cards[static_cast<size_t>(device)].volume;
}

int SimMixer::MixerCount() { return Fails() ? 0 : static_cast<int>(desktop_.mixers.size()); }

std::optional<MixerHandle> SimMixer::Open(int mixer) {
    if (Fails()) return {};
    if (mixer < 0 || mixer >= static_cast<int>(desktop_.mixers.size()) || !desktop_.mixers[static_cast<size_t>(mixer)].opens) return std::nullopt;
    opened.push_back(mixer);
    open_mixers_[next_mixer_] = mixer;
    return next_mixer_++;
}

std::uint32_t SimMixer::Close(MixerHandle h) {
    if (Fails()) return 1;  // the handle stays open, as a failed close leaves it
    return open_mixers_.erase(h) ? 0 : 5;
}

SimMixerDevice* SimMixer::OpenMixerOf(MixerHandle h) {
    auto m = open_mixers_.find(h);
    return m == open_mixers_.end() ? nullptr : &desktop_.mixers[static_cast<size_t>(m->second)];
}

SimMixerControl* SimMixer::FindControl(MixerHandle h, std::uint32_t control) {
    SimMixerDevice* m = OpenMixerOf(h);
    if (!m) return nullptr;
    for (auto& [component, line] : m->lines)
        for (auto& [type, c] : line.controls)
            if (c.id == control) return &c;
    return nullptr;
}

std::optional<std::uint32_t> SimMixer::LineByComponentType(MixerHandle h, std::uint32_t component) {
    if (Fails()) return {};
    SimMixerDevice* m = OpenMixerOf(h);
    if (!m) return std::nullopt;
    auto line = m->lines.find(component);
    if (line == m->lines.end()) return std::nullopt;
    return line->second.id;
}

std::optional<MixerControlInfo> SimMixer::ControlByType(MixerHandle h, std::uint32_t line_id, std::uint32_t type) {
    if (Fails()) return {};
    SimMixerDevice* m = OpenMixerOf(h);
    if (!m) return std::nullopt;
    for (auto& [component, line] : m->lines) {
        if (line.id != line_id) continue;
        auto c = line.controls.find(type);
        if (c == line.controls.end()) return std::nullopt;
        return MixerControlInfo{c->second.id, c->second.minimum, c->second.maximum};
    }
    return std::nullopt;
}

std::optional<std::uint32_t> SimMixer::GetValue(MixerHandle h, std::uint32_t control) {
    if (Fails()) return {};
    if (SimMixerControl* c = FindControl(h, control)) return c->value;
    return std::nullopt;
}

bool SimMixer::SetValue(MixerHandle h, std::uint32_t control, std::uint32_t value) {
    if (Fails()) return {};
    SimMixerControl* c = FindControl(h, control);
    if (!c) return false;
    c->value = value;
    return true;
}

std::optional<int> SimMixer::MixerOfWaveOut(int device) {
    if (Fails()) return {};
    if (device < 0 || device >= static_cast<int>(desktop_.cards.size())) return std::nullopt;
    return desktop_.cards[static_cast<size_t>(device)].mixer;
}

}  // namespace varlindo::sim
