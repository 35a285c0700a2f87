#include <windows.h>
#include <bcrypt.h>

#include <algorithm>
#include <cwchar>
#include <vector>

#include "platform/win32/win32_handle.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_text.h"

namespace varlindo::win32 {
namespace {

struct CloseAlgorithm { void operator()(BCRYPT_ALG_HANDLE h) const { BCryptCloseAlgorithmProvider(h, 0); } };
struct DestroyHash { void operator()(BCRYPT_HASH_HANDLE h) const { BCryptDestroyHash(h); } };
using unique_algorithm = unique_handle<BCRYPT_ALG_HANDLE, CloseAlgorithm>;
using unique_hash = unique_handle<BCRYPT_HASH_HANDLE, DestroyHash>;

constexpr DWORD kChunk = 64 * 1024;

// A file opened for reading, shared with readers only (a running program's file can be
// read, one being written cannot); empty when it cannot be opened or is a folder.
unique_kernel OpenForReading(const std::string& path) {
    HANDLE file = CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    return unique_kernel(file == INVALID_HANDLE_VALUE ? nullptr : file);
}

}  // namespace

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

std::optional<std::uint64_t> Win32Files::FileSize(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(Wide(path).c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return std::nullopt;
    return (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

std::optional<std::string> Win32Files::ReadFileStart(const std::string& path, std::size_t count) {
    const unique_kernel file = OpenForReading(path);
    if (!file) return std::nullopt;
    std::string bytes;
    while (bytes.size() < count) {
        const size_t at = bytes.size();
        const DWORD wanted = static_cast<DWORD>(std::min<size_t>(count - at, kChunk));
        bytes.resize(at + wanted);
        DWORD got = 0;
        if (!ReadFile(file.get(), bytes.data() + at, wanted, &got, nullptr)) return std::nullopt;
        bytes.resize(at + got);
        if (got == 0) break;  // the end of the file
    }
    return bytes;
}

std::optional<std::string> Win32Files::FileSha256(const std::string& path) {
    const unique_kernel file = OpenForReading(path);
    if (!file) return std::nullopt;
    BCRYPT_ALG_HANDLE opened = nullptr;
    if (!BCRYPT_SUCCESS(BCryptOpenAlgorithmProvider(&opened, BCRYPT_SHA256_ALGORITHM, nullptr, 0))) return std::nullopt;
    const unique_algorithm algorithm(opened);
    // Windows 7 wants the hash object's memory from the caller.
    DWORD object_size = 0, hash_size = 0, got = 0;
    if (!BCRYPT_SUCCESS(BCryptGetProperty(algorithm.get(), BCRYPT_OBJECT_LENGTH, reinterpret_cast<PUCHAR>(&object_size),
                                          sizeof object_size, &got, 0)) ||
        !BCRYPT_SUCCESS(BCryptGetProperty(algorithm.get(), BCRYPT_HASH_LENGTH, reinterpret_cast<PUCHAR>(&hash_size),
                                          sizeof hash_size, &got, 0)) ||
        hash_size != 32)
        return std::nullopt;
    std::vector<UCHAR> object(object_size);
    BCRYPT_HASH_HANDLE created = nullptr;
    if (!BCRYPT_SUCCESS(BCryptCreateHash(algorithm.get(), &created, object.data(), object_size, nullptr, 0, 0)))
        return std::nullopt;
    const unique_hash hash(created);

    std::vector<UCHAR> chunk(kChunk);
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(file.get(), chunk.data(), kChunk, &read, nullptr)) return std::nullopt;
        if (read == 0) break;
        if (!BCRYPT_SUCCESS(BCryptHashData(hash.get(), chunk.data(), read, 0))) return std::nullopt;
    }
    UCHAR digest[32] = {};
    if (!BCRYPT_SUCCESS(BCryptFinishHash(hash.get(), digest, sizeof digest, 0))) return std::nullopt;
    static constexpr char kHex[] = "0123456789abcdef";
    std::string hex;
    hex.reserve(64);
    for (const UCHAR byte : digest) {
        hex += kHex[byte >> 4];
        hex += kHex[byte & 0x0F];
    }
    return hex;
}

bool Win32Files::RenameFile(const std::string& from, const std::string& to, bool replace) {
    // MoveFileExW renames folders too; the port renames files only.
    if (IsFolder(from) != false) return false;
    const DWORD flags = MOVEFILE_WRITE_THROUGH | (replace ? MOVEFILE_REPLACE_EXISTING : 0);
    return MoveFileExW(Wide(from).c_str(), Wide(to).c_str(), flags) != 0;
}

bool Win32Files::DuplicateFile(const std::string& from, const std::string& to) {
    return CopyFileW(Wide(from).c_str(), Wide(to).c_str(), FALSE) != 0;
}

}  // namespace varlindo::win32
