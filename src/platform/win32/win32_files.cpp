#include <windows.h>

#include <cwchar>

#include "platform/win32/win32_handle.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_text.h"

namespace varlindo::win32 {

bool Win32Files::FileExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(Wide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::optional<bool> Win32Files::IsFolder(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(Wide(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return std::nullopt;
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool Win32Files::WriteTextFile(const std::string& path, const std::string& content) {
    unique_kernel file(CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) {
        file.release();
        return false;
    }
    DWORD written = 0;
    return WriteFile(file.get(), content.data(), static_cast<DWORD>(content.size()), &written, nullptr) &&
           written == content.size();
}

bool Win32Files::RemoveFile(const std::string& path) { return DeleteFileW(Wide(path).c_str()) != 0; }

std::string Win32Files::CurrentFolder() {
    std::wstring buffer(GetCurrentDirectoryW(0, nullptr), L'\0');
    const DWORD n = GetCurrentDirectoryW(static_cast<DWORD>(buffer.size()), buffer.data());
    buffer.resize(n);
    return Utf8(buffer);
}

bool Win32Files::SetCurrentFolder(const std::string& path) { return SetCurrentDirectoryW(Wide(path).c_str()) != 0; }

bool Win32Files::SetCurrentDrive(char drive) {
    const wchar_t drive_name[] = {static_cast<wchar_t>(drive), L':', L'\0'};
    return SetCurrentDirectoryW(drive_name) != 0;
}

std::string Win32Files::TempFolder() {
    wchar_t buffer[MAX_PATH + 2] = {};
    const DWORD n = GetTempPathW(MAX_PATH + 1, buffer);
    return Utf8(std::wstring_view(buffer, n));
}

std::string Win32Files::ProgramFolder() {
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n < buffer.size()) {
            buffer.resize(n);
            break;
        }
        buffer.resize(buffer.size() * 2);
    }
    return Utf8(buffer.substr(0, buffer.find_last_of(L"\\/")));
}

std::string Win32Files::ProgramName() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring name(path);
    name = name.substr(name.find_last_of(L"\\/") + 1);
    return Utf8(name.substr(0, name.rfind(L'.')));
}

std::string Win32Files::Environment(const std::string& name) {
    const std::wstring wname = Wide(name);
    const DWORD n = GetEnvironmentVariableW(wname.c_str(), nullptr, 0);
    if (n == 0) return {};
    std::wstring buffer(n, L'\0');
    const DWORD got = GetEnvironmentVariableW(wname.c_str(), buffer.data(), n);
    buffer.resize(got);
    return Utf8(buffer);
}

std::vector<std::string> Win32Files::Drives() {
    // The roots (C:\ D:\ ...) one after the other, each ended by a NUL, the list by another.
    const DWORD needed = GetLogicalDriveStringsW(0, nullptr);
    std::wstring buffer(static_cast<size_t>(needed) + 1, L'\0');
    const DWORD got = GetLogicalDriveStringsW(needed, buffer.data());
    std::vector<std::string> drives;
    if (got == 0 || got > needed) return drives;
    for (const wchar_t* root = buffer.c_str(); *root; root += std::wcslen(root) + 1)
        drives.push_back(Utf8(std::wstring_view(root, 2)));
    return drives;
}

std::optional<std::vector<FilePort::Entry>> Win32Files::ListFolder(const std::string& folder) {
    if (folder.empty()) return std::nullopt;
    // "C:" stands for the drive's root here, as in the file lists, not for its current folder.
    std::wstring pattern = Wide(folder);
    if (pattern.back() != L'\\' && pattern.back() != L'/') pattern += L'\\';
    pattern += L'*';
    WIN32_FIND_DATAW data{};
    unique_find search(FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr,
                                        FIND_FIRST_EX_LARGE_FETCH));
    std::vector<Entry> entries;
    if (search.get() == INVALID_HANDLE_VALUE) {
        search.release();
        // A root holds no "." and "..": an empty one finds nothing at all, yet it can be read.
        if (GetLastError() == ERROR_FILE_NOT_FOUND && IsFolder(folder) == true) return entries;
        return std::nullopt;
    }
    do {
        const std::wstring_view name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        if (data.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) continue;
        entries.push_back(Entry{Utf8(name), (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
    } while (FindNextFileW(search.get(), &data));
    return entries;
}

}  // namespace varlindo::win32
