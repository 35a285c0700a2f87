#include "core/registry.h"

#include <array>
#include <cstring>
#include <utility>

#include "base/text.h"
#include "core/core_messages.h"

namespace varlindo {
namespace {

// Closes the key it holds when it goes out of scope.
class KeyGuard {
public:
    KeyGuard(RegistryPort& port, std::optional<RegKey> key) : port_(port), key_(key) {}
    KeyGuard(const KeyGuard&) = delete;
    KeyGuard& operator=(const KeyGuard&) = delete;
    ~KeyGuard() {
        if (key_) port_.CloseKey(*key_);
    }
    explicit operator bool() const { return key_.has_value(); }
    RegKey operator*() const { return *key_; }

private:
    RegistryPort& port_;
    std::optional<RegKey> key_;
};

std::optional<RegKey> CreateIfRoot(RegistryPort& port, RegKey root, const std::string& key_path) {
    if (root == hkey::None) return std::nullopt;
    return port.CreateKey(root, key_path);
}

std::optional<RegKey> OpenIfRoot(RegistryPort& port, RegKey root, const std::string& key_path) {
    if (root == hkey::None) return std::nullopt;
    return port.OpenKey(root, key_path);
}

}  // namespace

RegKey Registry::RootKeyFromFullName(const std::string& upper_name) {
    static constexpr std::pair<const char*, RegKey> kRoots[] = {
        {"HKEY_CLASSES_ROOT", hkey::ClassesRoot},     {"HKEY_CURRENT_USER", hkey::CurrentUser},
        {"HKEY_LOCAL_MACHINE", hkey::LocalMachine},   {"HKEY_USERS", hkey::Users},
        {"HKEY_PERFORMANCE_DATA", hkey::PerformanceData}, {"HKEY_CURRENT_CONFIG", hkey::CurrentConfig},
        {"HKEY_DYN_DATA", hkey::DynData},
    };
    for (const auto& [name, key] : kRoots)
        if (upper_name == name) return key;
    return hkey::None;
}

RegKey Registry::RootKeyFromName(const std::string& name) {
    static constexpr std::pair<const char*, RegKey> kRoots[] = {
        {"classes_root", hkey::ClassesRoot},     {"hkey_classes_root", hkey::ClassesRoot},
        {"current_user", hkey::CurrentUser},     {"hkey_current_user", hkey::CurrentUser},
        {"local_machine", hkey::LocalMachine},   {"hkey_local_machine", hkey::LocalMachine},
        {"users", hkey::Users},                  {"hkey_users", hkey::Users},
        {"current_config", hkey::CurrentConfig}, {"hkey_current_config", hkey::CurrentConfig},
        {"dyn_data", hkey::DynData},             {"hkey_dyn_data", hkey::DynData},
    };
    const std::string lower = text::Lower(name);
    for (const auto& [n, key] : kRoots)
        if (lower == n) return key;
    return hkey::None;
}

bool Registry::WriteStringValue(const std::string& root, const std::string& key_path,
                                const std::string& value_name, const std::string& text) {
    RegistryPort& port = platform_.registry;
    KeyGuard key(port, CreateIfRoot(port, RootKeyFromName(root), key_path));
    return key && port.SetValue(*key, value_name, RegValue{regtype::Sz, text});
}

void Registry::WriteDWordValue(const std::string& root, const std::string& key_path,
                               const std::string& value_name, std::int32_t number) {
    RegistryPort& port = platform_.registry;
    KeyGuard key(port, CreateIfRoot(port, RootKeyFromName(root), key_path));
    if (!key) return;
    std::string bytes(4, '\0');
    auto u = static_cast<std::uint32_t>(number);
    for (int i = 0; i < 4; ++i) bytes[static_cast<size_t>(i)] = static_cast<char>((u >> (8 * i)) & 0xFF);
    port.SetValue(*key, value_name, RegValue{regtype::DWord, bytes});
}

void Registry::DeleteRegValue(const std::string& root, const std::string& key_path,
                              const std::string& value_name) {
    RegistryPort& port = platform_.registry;
    KeyGuard key(port, OpenIfRoot(port, RootKeyFromName(root), key_path));
    if (key) port.DeleteValue(*key, value_name);
}

std::int32_t Registry::ReadDWordValue(const std::string& root, const std::string& key_path,
                                      const std::string& value_name, std::int32_t default_value) {
    RegistryPort& port = platform_.registry;
    KeyGuard key(port, OpenIfRoot(port, RootKeyFromName(root), key_path));
    if (!key) return default_value;
    auto value = port.QueryValue(*key, value_name);
    if (!value) return default_value;
    // The value lands in a 4-byte buffer that holds the default; the stored type is not
    // examined, and data that does not fit leaves the default.
    std::string bytes = value->data;
    if (value->type == regtype::Sz || value->type == regtype::ExpandSz || value->type == regtype::MultiSz)
        bytes.push_back('\0');
    if (bytes.size() > 4) return default_value;
    std::array<unsigned char, 4> buffer{};
    auto d = static_cast<std::uint32_t>(default_value);
    for (size_t i = 0; i < 4; ++i) buffer[i] = static_cast<unsigned char>((d >> (8 * i)) & 0xFF);
    std::memcpy(buffer.data(), bytes.data(), bytes.size());
    std::uint32_t u = 0;
    for (size_t i = 0; i < 4; ++i) u |= static_cast<std::uint32_t>(buffer[i]) << (8 * i);
    return static_cast<std::int32_t>(u);
}

std::string Registry::ReadStringValue(RegKey root, const std::string& key_path, const std::string& value_name,
                                      const std::string& default_value, bool or_unexpanded) {
    RegistryPort& port = platform_.registry;
    KeyGuard key(port, OpenIfRoot(port, root, key_path));
    if (!key) return default_value;
    auto value = port.QueryValue(*key, value_name);
    if (!value || !(value->type == regtype::Sz || (or_unexpanded && value->type == regtype::ExpandSz)))
        return default_value;
    return value->data.substr(0, value->data.find('\0'));
}

std::string Registry::ReadValueByPath(const std::string& full_path) {
    std::string path = text::Trim(full_path);
    if (!path.empty() && path.back() == '\\') path.pop_back();

    const size_t first = path.find('\\');
    const RegKey root = RootKeyFromFullName(text::Upper(path.substr(0, first)));
    const std::string rest = first == std::string::npos ? std::string() : path.substr(first + 1);

    // The value name follows the last separator; "root\name" reads a value of the root key.
    std::string key_path;
    std::string value_name = rest;
    const size_t last = rest.rfind('\\');
    if (last != std::string::npos) {
        key_path = rest.substr(0, last);
        value_name = rest.substr(last + 1);
    }
    return ReadStringValue(root, key_path, value_name, "");
}

void Registry::CheckAppName() {
    if (!text::Trim(app_title_).empty()) return;
    platform_.ui.ShowMessageBox(msg::kNoAppName, "", mb::Ok);
    platform_.ui.EndProgram();
}

std::string Registry::SectionKeyPath(const std::string& section) const {
    // "Settings" and "Settings\" name the same section.
    std::string path = std::string(kSettingsStoreKey) + "\\" + app_title_;
    std::string s = section;
    while (!s.empty() && s.back() == '\\') s.pop_back();
    if (!s.empty()) path += "\\" + s;
    return path;
}

void Registry::SaveAppSetting(const std::string& section, const std::string& key, const std::string& value) {
    CheckAppName();
    WriteStringValue("HKEY_CURRENT_USER", SectionKeyPath(section), key, value);
}

std::optional<std::string> Registry::ReadAppSetting(const std::string& section, const std::string& key) {
    return SectionReader(*this, section).Read(key);
}

Registry::SectionReader::SectionReader(Registry& registry, const std::string& section)
    : port_(registry.platform_.registry) {
    registry.CheckAppName();
    key_ = port_.OpenKey(hkey::CurrentUser, registry.SectionKeyPath(section));
    unreadable_ = !key_ && port_.ReadFailed();
}

Registry::SectionReader::~SectionReader() {
    if (key_) port_.CloseKey(*key_);
}

std::optional<std::string> Registry::SectionReader::Read(const std::string& key) {
    if (!key_) return unreadable_ ? std::nullopt : std::optional<std::string>("");
    auto value = port_.QueryValue(*key_, key);
    if (!value) return port_.ReadFailed() ? std::nullopt : std::optional<std::string>("");
    if (value->type != regtype::Sz) return "";
    return value->data.substr(0, value->data.find('\0'));
}

std::string Registry::GetAppSetting(const std::string& section, const std::string& key,
                                    const std::string& default_value) {
    const std::string result = ReadAppSetting(section, key).value_or("");
    if (result.empty() && !default_value.empty()) return default_value;
    return result;
}

}  // namespace varlindo
