#include "platform/sim/sim_paths.h"
#include "platform/sim/sim_platform.h"

namespace varlindo::sim {
namespace {

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

std::optional<std::string> SimRegistry::KeyPath(RegKey key) const {
    if (auto open = open_keys_.find(key); open != open_keys_.end()) return open->second;
    std::string root = RootName(key);
    if (root.empty()) return std::nullopt;
    return root;
}

std::optional<RegKey> SimRegistry::CreateKey(RegKey parent, const std::string& path) {
    if (Fails()) return {};
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

std::optional<RegKey> SimRegistry::OpenKey(RegKey parent, const std::string& path) {
    read_failed_ = Fails();
    if (read_failed_) return {};
    auto base = KeyPath(parent);
    if (!base) return std::nullopt;
    std::string full = *base;
    for (const std::string& part : SplitKeyPath(path)) full += "\\" + Lower(part);
    if (full != *base && !desktop_.KeyExists(full)) return std::nullopt;
    open_keys_[next_key_] = full;
    return next_key_++;
}

void SimRegistry::CloseKey(RegKey key) { open_keys_.erase(key); }

bool SimRegistry::SetValue(RegKey key, const std::string& name, const RegValue& value) {
    if (Fails()) return {};
    auto path = KeyPath(key);
    if (!path) return false;
    desktop_.SetValue(*path, name, value);
    return true;
}

std::optional<RegValue> SimRegistry::QueryValue(RegKey key, const std::string& name) {
    read_failed_ = Fails();
    if (read_failed_) return {};
    auto path = KeyPath(key);
    if (!path) return std::nullopt;
    return desktop_.Value(*path, name);
}

bool SimRegistry::DeleteValue(RegKey key, const std::string& name) {
    if (Fails()) return {};
    auto path = KeyPath(key);
    if (!path) return false;
    auto k = desktop_.keys.find(*path);
    return k != desktop_.keys.end() && k->second.values.erase(Lower(name)) != 0;
}

}  // namespace varlindo::sim
