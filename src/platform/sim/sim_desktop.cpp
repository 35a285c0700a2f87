#include "platform/sim/sim_paths.h"
#include "platform/sim/sim_platform.h"

namespace varlindo::sim {

// ---------------------------------------------------------------- mixers

SimMixerDevice SimMixerDevice::Full() {
    SimMixerDevice m;
    std::uint32_t next_id = 1;
    for (std::uint32_t component : {mixer::DstSpeakers, mixer::SrcLine, mixer::SrcMicrophone, mixer::SrcSynthesizer,
                                    mixer::SrcCompactDisc, mixer::SrcWaveOut, mixer::SrcAuxiliary}) {
        Line line;
        line.id = component;
        line.controls[mixer::ControlVolume] = SimMixerControl{next_id++, 0, 65535, 32768};
        line.controls[mixer::ControlMute] = SimMixerControl{next_id++, 0, 1, 0};
        m.lines[component] = line;
    }
    return m;
}

SimMixerDevice SimMixerDevice::CaptureOnly() {
    SimMixerDevice m;
    std::uint32_t next_id = 101;
    for (std::uint32_t component : {mixer::SrcLine, mixer::SrcMicrophone}) {
        Line line;
        line.id = component;
        line.controls[mixer::ControlVolume] = SimMixerControl{next_id++, 0, 65535, 32768};
        m.lines[component] = line;
    }
    return m;
}

SimMixerControl* SimMixerDevice::Control(std::uint32_t component, std::uint32_t type) {
    auto line = lines.find(component);
    if (line == lines.end()) return nullptr;
    auto c = line->second.controls.find(type);
    return c == line->second.controls.end() ? nullptr : &c->second;
}

// ---------------------------------------------------------------- registry

std::optional<RegValue> SimDesktop::Value(const std::string& key_path, const std::string& name) const {
    auto key = keys.find(NormalPath(key_path));
    if (key == keys.end()) return std::nullopt;
    auto v = key->second.values.find(Lower(name));
    if (v == key->second.values.end()) return std::nullopt;
    return v->second.second;
}

void SimDesktop::SetValue(const std::string& key_path, const std::string& name, RegValue value) {
    writes.push_back(key_path + "\\" + name);
    const std::string path = NormalPath(key_path);
    keys[path].values[Lower(name)] = {name, std::move(value)};
    if (path == NormalPath("HKCU\\Software\\Microsoft\\Multimedia\\Sound Mapper")) QueueDefaultsNotice();
}

void SimDesktop::SetDWord(const std::string& key_path, const std::string& name, std::uint32_t number) {
    std::string bytes(4, '\0');
    for (int i = 0; i < 4; ++i) bytes[static_cast<size_t>(i)] = static_cast<char>((number >> (8 * i)) & 0xFF);
    SetValue(key_path, name, RegValue{regtype::DWord, bytes});
}

std::optional<std::string> SimDesktop::String(const std::string& key_path, const std::string& name) const {
    auto v = Value(key_path, name);
    if (!v || v->type != regtype::Sz) return std::nullopt;
    return v->data;
}

std::optional<std::uint32_t> SimDesktop::DWord(const std::string& key_path, const std::string& name) const {
    auto v = Value(key_path, name);
    if (!v || v->type != regtype::DWord || v->data.size() != 4) return std::nullopt;
    std::uint32_t u = 0;
    for (size_t i = 0; i < 4; ++i) u |= static_cast<std::uint32_t>(static_cast<unsigned char>(v->data[i])) << (8 * i);
    return u;
}

bool SimDesktop::KeyExists(const std::string& key_path) const { return keys.count(NormalPath(key_path)) != 0; }

// ---------------------------------------------------------------- audio

void SimDesktop::AddCard(const std::string& name, bool with_mixer) {
    // The first mixer belongs to a recording device, so that no card's mixer has the
    // card's own number.
    if (mixers.empty()) mixers.push_back(SimMixerDevice::CaptureOnly());
    SimCard card{name, true, 0, std::nullopt, ""};
    if (with_mixer) {
        card.mixer = static_cast<int>(mixers.size());
        mixers.push_back(SimMixerDevice::Full());
    }
    cards.push_back(card);
}

SimMixerDevice& SimDesktop::CardMixer(int card) {
    return mixers.at(static_cast<size_t>(cards.at(static_cast<size_t>(card)).mixer.value()));
}

// ---------------------------------------------------------------- files

bool SimDesktop::HasFile(const std::string& path) const { return files.count(NormalPath(path)) != 0; }

void SimDesktop::AddFolder(const std::string& path) {
    std::string p = path;
    std::replace(p.begin(), p.end(), '/', '\\');
    while (p.size() > 2 && p.back() == '\\') p.pop_back();
    for (size_t cut = p.find('\\'); cut != std::string::npos; cut = p.find('\\', cut + 1)) {
        const std::string up = p.substr(0, cut);
        folders.insert(NormalPath(up));
        spelling.emplace(NormalPath(up), up);
    }
    folders.insert(NormalPath(p));
    spelling.emplace(NormalPath(p), p);
}

void SimDesktop::AddFile(const std::string& path, const std::string& content) {
    const size_t cut = path.find_last_of("\\/");
    if (cut != std::string::npos) AddFolder(path.substr(0, cut));
    files[NormalPath(path)] = content;
    spelling[NormalPath(path)] = path;
}

// ---------------------------------------------------------------- programs

void SimDesktop::NotifyDeviceChanged(std::int32_t stamp) {
    device_notices.push_back(stamp);
    const auto programs = programs_;  // a receiver may end or start programs
    for (SimPlatform* program : programs)
        if (ProgramEvents* events = program->Events()) events->DeviceChanged(stamp);
}

void SimDesktop::RestartShell() {
    const auto programs = programs_;
    for (SimPlatform* program : programs) program->tray.icon = false;
    for (SimPlatform* program : programs)
        if (ProgramEvents* events = program->Events()) events->TaskbarCreated();
}

}  // namespace varlindo::sim
