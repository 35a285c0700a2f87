#include "platform/sim/sim_platform.h"

#include <algorithm>
#include <cctype>

namespace varlindo::sim {
namespace {

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

std::string NormalPath(const std::string& path) {
    std::string s = Lower(path);
    std::replace(s.begin(), s.end(), '/', '\\');
    while (s.size() > 3 && s.back() == '\\') s.pop_back();
    return s;
}

std::string RootName(RegKey root) {
    switch (root) {
        case hkey::ClassesRoot: return "hkcr";
        case hkey::CurrentUser: return "hkcu";
        case hkey::LocalMachine: return "hklm";
        case hkey::Users: return "hku";
        case hkey::CurrentConfig: return "hkcc";
        default: return {};  // the performance and dyn-data roots hold no keys
    }
}

// "a\\b\\" -> {"a", "b"}; empty parts are dropped.
std::vector<std::string> SplitKeyPath(const std::string& path) {
    std::vector<std::string> parts;
    std::string part;
    for (char c : path) {
        if (c == '\\') {
            if (!part.empty()) parts.push_back(part);
            part.clear();
        } else {
            part += c;
        }
    }
    if (!part.empty()) parts.push_back(part);
    return parts;
}

}  // namespace

SimMixer SimMixer::Full() {
    SimMixer m;
    std::uint32_t next_id = 1;
    for (std::uint32_t component : {mixer::DstSpeakers, mixer::SrcLine, mixer::SrcMicrophone, mixer::SrcSynthesizer,
                                    mixer::SrcCompactDisc, mixer::SrcWaveOut, mixer::SrcAuxiliary}) {
        Line line;
        line.id = component;
        line.controls[mixer::ControlVolume] = SimControl{next_id++, 0, 65535, 32768};
        line.controls[mixer::ControlMute] = SimControl{next_id++, 0, 1, 0};
        m.lines[component] = line;
    }
    return m;
}

SimControl* SimMixer::Control(std::uint32_t component, std::uint32_t type) {
    auto line = lines.find(component);
    if (line == lines.end()) return nullptr;
    auto c = line->second.controls.find(type);
    return c == line->second.controls.end() ? nullptr : &c->second;
}

// ---------------------------------------------------------------- desktop

std::optional<RegValue> SimDesktop::Value(const std::string& key_path, const std::string& name) const {
    auto key = keys.find(NormalPath(key_path));
    if (key == keys.end()) return std::nullopt;
    auto v = key->second.values.find(Lower(name));
    if (v == key->second.values.end()) return std::nullopt;
    return v->second.second;
}

void SimDesktop::SetValue(const std::string& key_path, const std::string& name, RegValue value) {
    writes.push_back(key_path + "\\" + name);
    keys[NormalPath(key_path)].values[Lower(name)] = {name, std::move(value)};
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

void SimDesktop::AddCard(const std::string& name, bool with_mixer) {
    cards.push_back(SimCard{name, true, 0});
    if (with_mixer) mixers.push_back(SimMixer::Full());
}

bool SimDesktop::HasFile(const std::string& path) const { return files.count(NormalPath(path)) != 0; }

int SimDesktop::AddWindow(Receiver receiver, std::string title) {
    windows_[next_window_] = Window{std::move(receiver), std::move(title)};
    return next_window_++;
}

void SimDesktop::Send(int window, unsigned message, std::uintptr_t wparam) {
    auto w = windows_.find(window);
    if (w != windows_.end()) {
        Receiver receiver = w->second.receiver;  // the receiver may remove its window
        receiver(message, wparam);
    }
}

void SimDesktop::RemoveWindow(int id) { windows_.erase(id); }

void SimDesktop::Broadcast(unsigned message, std::uintptr_t wparam) {
    broadcasts.emplace_back(message, wparam);
    auto windows = windows_;  // a receiver may add or remove windows
    for (auto& [id, window] : windows) window.receiver(message, wparam);
}

// ---------------------------------------------------------------- platform

SimPlatform::SimPlatform(SimDesktop& desktop)
    : desktop_(desktop), ports_{*this, *this, *this, *this, *this, *this, *this, *this, *this, *this} {
    environment["USERPROFILE"] = "C:\\Users\\test";
}

SimPlatform::~SimPlatform() {
    if (holds_lock_) desktop_.locks.erase(program_name);
}

std::optional<std::string> SimPlatform::KeyPath(RegKey key) const {
    if (auto open = open_keys_.find(key); open != open_keys_.end()) return open->second;
    std::string root = RootName(key);
    if (root.empty()) return std::nullopt;
    return root;
}

std::optional<RegKey> SimPlatform::CreateKey(RegKey parent, const std::string& path) {
    auto base = KeyPath(parent);
    if (!base) return std::nullopt;
    std::string full = *base;
    desktop_.keys[full];
    for (const std::string& part : SplitKeyPath(path)) {
        full += "\\" + Lower(part);
        desktop_.keys[full];
    }
    open_keys_[next_key_] = full;
    return next_key_++;
}

std::optional<RegKey> SimPlatform::OpenKey(RegKey parent, const std::string& path) {
    auto base = KeyPath(parent);
    if (!base) return std::nullopt;
    std::string full = *base;
    for (const std::string& part : SplitKeyPath(path)) full += "\\" + Lower(part);
    if (full != *base && !desktop_.KeyExists(full)) return std::nullopt;
    open_keys_[next_key_] = full;
    return next_key_++;
}

void SimPlatform::CloseKey(RegKey key) { open_keys_.erase(key); }

bool SimPlatform::SetValue(RegKey key, const std::string& name, const RegValue& value) {
    auto path = KeyPath(key);
    if (!path) return false;
    desktop_.SetValue(*path, name, value);
    return true;
}

std::optional<RegValue> SimPlatform::QueryValue(RegKey key, const std::string& name) {
    auto path = KeyPath(key);
    if (!path) return std::nullopt;
    return desktop_.Value(*path, name);
}

bool SimPlatform::DeleteValue(RegKey key, const std::string& name) {
    auto path = KeyPath(key);
    if (!path) return false;
    auto k = desktop_.keys.find(*path);
    return k != desktop_.keys.end() && k->second.values.erase(Lower(name)) != 0;
}

int SimPlatform::DeviceCount() { return static_cast<int>(desktop_.cards.size()); }

std::optional<std::string> SimPlatform::ProductName(int device) {
    if (device < 0 || device >= DeviceCount() || !desktop_.cards[static_cast<size_t>(device)].answers)
        return std::nullopt;
    // The product name field holds 31 bytes and a NUL.
    std::string name = desktop_.cards[static_cast<size_t>(device)].name;
    return name.substr(0, std::min<size_t>(name.find('\0'), 31));
}

std::optional<std::uint32_t> SimPlatform::Volume(int device) {
    if (device < 0 || device >= DeviceCount()) return std::nullopt;
    return desktop_.cards[static_cast<size_t>(device)].volume;
}

int SimPlatform::MixerCount() { return static_cast<int>(desktop_.mixers.size()); }

std::optional<MixerHandle> SimPlatform::Open(int mixer) {
    if (mixer < 0 || mixer >= MixerCount() || !desktop_.mixers[static_cast<size_t>(mixer)].opens) return std::nullopt;
    open_mixers_[next_mixer_] = mixer;
    return next_mixer_++;
}

std::uint32_t SimPlatform::Close(MixerHandle h) { return open_mixers_.erase(h) ? 0 : 5; }

SimMixer* SimPlatform::OpenMixerOf(MixerHandle h) {
    auto m = open_mixers_.find(h);
    return m == open_mixers_.end() ? nullptr : &desktop_.mixers[static_cast<size_t>(m->second)];
}

std::optional<std::uint32_t> SimPlatform::LineByComponentType(MixerHandle h, std::uint32_t component) {
    SimMixer* m = OpenMixerOf(h);
    if (!m) return std::nullopt;
    auto line = m->lines.find(component);
    if (line == m->lines.end()) return std::nullopt;
    return line->second.id;
}

std::optional<MixerControlInfo> SimPlatform::ControlByType(MixerHandle h, std::uint32_t line_id, std::uint32_t type) {
    SimMixer* m = OpenMixerOf(h);
    if (!m) return std::nullopt;
    for (auto& [component, line] : m->lines) {
        if (line.id != line_id) continue;
        auto c = line.controls.find(type);
        if (c == line.controls.end()) return std::nullopt;
        return MixerControlInfo{c->second.id, c->second.minimum, c->second.maximum};
    }
    return std::nullopt;
}

std::optional<std::uint32_t> SimPlatform::GetValue(MixerHandle h, std::uint32_t control) {
    SimMixer* m = OpenMixerOf(h);
    if (!m) return std::nullopt;
    for (auto& [component, line] : m->lines)
        for (auto& [type, c] : line.controls)
            if (c.id == control) return c.value;
    return std::nullopt;
}

bool SimPlatform::SetValue(MixerHandle h, std::uint32_t control, std::uint32_t value) {
    SimMixer* m = OpenMixerOf(h);
    if (!m) return false;
    for (auto& [component, line] : m->lines)
        for (auto& [type, c] : line.controls)
            if (c.id == control) {
                c.value = value;
                return true;
            }
    return false;
}

std::optional<int> SimPlatform::MixerOfWaveOut(int device) {
    if (device < 0 || static_cast<size_t>(device) >= desktop_.waveout_to_mixer.size()) return std::nullopt;
    return desktop_.waveout_to_mixer[static_cast<size_t>(device)];
}

bool SimPlatform::FileExists(const std::string& path) { return desktop_.HasFile(path); }

std::optional<bool> SimPlatform::IsFolder(const std::string& path) {
    if (desktop_.folders.count(NormalPath(path))) return true;
    if (desktop_.HasFile(path)) return false;
    return std::nullopt;
}

bool SimPlatform::WriteTextFile(const std::string& path, const std::string& content) {
    const std::string p = NormalPath(path);
    const size_t cut = p.rfind('\\');
    if (cut == std::string::npos || !desktop_.folders.count(p.substr(0, cut))) return false;
    desktop_.files[p] = content;
    desktop_.file_writes.push_back(path);
    return true;
}

bool SimPlatform::RemoveFile(const std::string& path) { return desktop_.files.erase(NormalPath(path)) != 0; }

bool SimPlatform::SetCurrentFolder(const std::string& path) {
    if (!desktop_.folders.count(NormalPath(path))) return false;
    current_folder = path;
    while (current_folder.size() > 3 && (current_folder.back() == '\\' || current_folder.back() == '/'))
        current_folder.pop_back();
    return true;
}

bool SimPlatform::SetCurrentDrive(char drive) {
    const std::string root = std::string(1, static_cast<char>(std::tolower(static_cast<unsigned char>(drive)))) + ":";
    if (!desktop_.folders.count(root)) return false;
    if (Lower(current_folder).rfind(root, 0) != 0) current_folder = std::string(1, drive) + ":\\";
    return true;
}

std::string SimPlatform::Environment(const std::string& name) {
    auto v = environment.find(name);
    return v == environment.end() ? std::string() : v->second;
}

std::optional<std::string> SimPlatform::ShortPath(const std::string& path) {
    auto s = desktop_.short_paths.find(NormalPath(path));
    if (s != desktop_.short_paths.end()) return s->second;
    if (desktop_.HasFile(path) || desktop_.folders.count(NormalPath(path))) return path;  // already short
    return std::nullopt;
}

std::string SimPlatform::ExecutableFor(const std::string& file) {
    if (!desktop_.HasFile(file)) return {};
    const std::string p = Lower(file);
    const size_t dot = p.rfind('.');
    if (dot == std::string::npos) return {};
    auto a = desktop_.associations.find(p.substr(dot));
    return a == desktop_.associations.end() ? std::string() : a->second;
}

bool SimPlatform::StartProgram(const std::string& command_line, int) {
    started.push_back(command_line);
    return true;
}

int SimPlatform::ShowMessageBox(const std::string& text, const std::string& title, int style) {
    boxes.push_back(Box{text, title, style});
    if (answer) return answer(boxes.back());
    return (style & 0xF) == mb::YesNo ? mb::AnswerYes : mb::AnswerOk;
}

bool SimPlatform::AddIcon(const std::string& tip) {
    if (tray_icon) return false;  // one icon per window and id
    tray_icon = true;
    tray_tip = tip;
    ++tray_adds;
    return true;
}

bool SimPlatform::ModifyTip(const std::string& tip) {
    if (!tray_icon) return false;
    tray_tip = tip;
    return true;
}

bool SimPlatform::RemoveIcon() {
    const bool was = tray_icon;
    tray_icon = false;
    return was;
}

int SimPlatform::TrackPopupMenu(const std::vector<MenuItem>& items) {
    last_menu = items;
    ++menus_shown;
    return pick ? pick(items) : 0;
}

bool SimPlatform::PreviousInstance() {
    if (holds_lock_) return false;
    if (desktop_.locks.count(program_name)) return true;
    desktop_.locks.insert(program_name);
    holds_lock_ = true;
    return false;
}

std::optional<WindowRef> SimPlatform::FindProgramWindow(const std::string& title) {
    for (const auto& [id, window] : desktop_.Windows())
        if (id != own_window && window.title.rfind(title, 0) == 0) return static_cast<WindowRef>(id);
    return std::nullopt;
}

bool SimPlatform::ActivateProgram(const std::string& title) {
    auto window = FindProgramWindow(title);
    if (!window) return false;
    desktop_.Send(static_cast<int>(*window), kBringForwardMessage, 0);
    return true;
}

void SimPlatform::EndProgram() {
    ++ended;
    throw ProgramEnded{};
}

}  // namespace varlindo::sim
