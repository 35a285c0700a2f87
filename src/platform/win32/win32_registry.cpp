#include <vector>

#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_text.h"

namespace varlindo::win32 {
namespace {

bool IsPredefined(RegKey key) { return key >= hkey::ClassesRoot && key <= hkey::DynData; }

HKEY ToHkey(RegKey key) {
    // The predefined roots are sign-extended 32-bit values on 64-bit Windows.
    if (IsPredefined(key)) return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(key)));
    return reinterpret_cast<HKEY>(key);
}

RegKey FromHkey(HKEY key) { return reinterpret_cast<RegKey>(key); }

bool IsStringType(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ; }

}  // namespace

std::optional<RegKey> Win32Registry::CreateKey(RegKey parent, const std::string& path) {
    if (parent == hkey::None) return std::nullopt;
    HKEY key = nullptr;
    if (RegCreateKeyExW(ToHkey(parent), Wide(path).c_str(), 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return std::nullopt;
    return FromHkey(key);
}

std::optional<RegKey> Win32Registry::OpenKey(RegKey parent, const std::string& path) {
    read_failed_ = false;
    if (parent == hkey::None) return std::nullopt;
    HKEY key = nullptr;
    if (const LSTATUS status = RegOpenKeyExW(ToHkey(parent), Wide(path).c_str(), 0, MAXIMUM_ALLOWED, &key);
        status != ERROR_SUCCESS && Missed(status))
        return std::nullopt;
    return FromHkey(key);
}

void Win32Registry::CloseKey(RegKey key) {
    if (!IsPredefined(key) && key != hkey::None) RegCloseKey(ToHkey(key));
}

bool Win32Registry::SetValue(RegKey key, const std::string& name, const RegValue& value) {
    if (IsStringType(value.type)) {
        std::wstring data = Wide(value.data);
        data.push_back(L'\0');
        return RegSetValueExW(ToHkey(key), Wide(name).c_str(), 0, value.type,
                              reinterpret_cast<const BYTE*>(data.data()),
                              static_cast<DWORD>(data.size() * sizeof(wchar_t))) == ERROR_SUCCESS;
    }
    return RegSetValueExW(ToHkey(key), Wide(name).c_str(), 0, value.type,
                          reinterpret_cast<const BYTE*>(value.data.data()),
                          static_cast<DWORD>(value.data.size())) == ERROR_SUCCESS;
}

std::optional<RegValue> Win32Registry::QueryValue(RegKey key, const std::string& name) {
    read_failed_ = false;
    const std::wstring wname = Wide(name);
    DWORD type = 0;
    DWORD size = 0;
    if (const LSTATUS status = RegQueryValueExW(ToHkey(key), wname.c_str(), nullptr, &type, nullptr, &size);
        status != ERROR_SUCCESS && Missed(status))
        return std::nullopt;
    std::vector<BYTE> buffer(size + sizeof(wchar_t));
    DWORD got = size;
    if (const LSTATUS status = RegQueryValueExW(ToHkey(key), wname.c_str(), nullptr, &type, buffer.data(), &got);
        status != ERROR_SUCCESS && Missed(status))
        return std::nullopt;
    RegValue value{type, {}};
    if (IsStringType(type)) {
        std::wstring text(reinterpret_cast<const wchar_t*>(buffer.data()), got / sizeof(wchar_t));
        if (!text.empty() && text.back() == L'\0') text.pop_back();
        value.data = Utf8(text);
    } else {
        value.data.assign(reinterpret_cast<const char*>(buffer.data()), got);
    }
    return value;
}

bool Win32Registry::DeleteValue(RegKey key, const std::string& name) {
    return RegDeleteValueW(ToHkey(key), Wide(name).c_str()) == ERROR_SUCCESS;
}

}  // namespace varlindo::win32
