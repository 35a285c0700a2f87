#include <windows.h>
#include <shellapi.h>

#include <vector>

#include "platform/win32/win32_handle.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_text.h"

namespace varlindo::win32 {

bool Files::FileExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(Wide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::optional<bool> Files::IsFolder(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(Wide(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return std::nullopt;
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool Files::WriteTextFile(const std::string& path, const std::string& content) {
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

bool Files::RemoveFile(const std::string& path) { return DeleteFileW(Wide(path).c_str()) != 0; }

std::string Files::CurrentFolder() {
    std::wstring buffer(GetCurrentDirectoryW(0, nullptr), L'\0');
    const DWORD n = GetCurrentDirectoryW(static_cast<DWORD>(buffer.size()), buffer.data());
    buffer.resize(n);
    return Utf8(buffer);
}

bool Files::SetCurrentFolder(const std::string& path) { return SetCurrentDirectoryW(Wide(path).c_str()) != 0; }

bool Files::SetCurrentDrive(char drive) {
    const wchar_t spec[] = {static_cast<wchar_t>(drive), L':', L'\0'};
    return SetCurrentDirectoryW(spec) != 0;
}

std::string Files::TempFolder() {
    wchar_t buffer[MAX_PATH + 2] = {};
    const DWORD n = GetTempPathW(MAX_PATH + 1, buffer);
    return Utf8(std::wstring_view(buffer, n));
}

std::string Files::ProgramFolder() {
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

std::string Files::ProgramName() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring name(path);
    name = name.substr(name.find_last_of(L"\\/") + 1);
    return Utf8(name.substr(0, name.rfind(L'.')));
}

std::string Files::Environment(const std::string& name) {
    const std::wstring wname = Wide(name);
    const DWORD n = GetEnvironmentVariableW(wname.c_str(), nullptr, 0);
    if (n == 0) return {};
    std::wstring buffer(n, L'\0');
    const DWORD got = GetEnvironmentVariableW(wname.c_str(), buffer.data(), n);
    buffer.resize(got);
    return Utf8(buffer);
}

std::optional<std::string> Shell::ShortPath(const std::string& path) {
    // A short form longer than 164 characters is taken as a failure.
    wchar_t buffer[165] = {};
    const DWORD n = GetShortPathNameW(Wide(path).c_str(), buffer, 164);
    if (n == 0 || n > 164) return std::nullopt;
    return Utf8(std::wstring_view(buffer, n));
}

std::string Shell::ExecutableFor(const std::string& file) {
    wchar_t result[MAX_PATH + 1] = {};
    const auto code = reinterpret_cast<INT_PTR>(FindExecutableW(Wide(file).c_str(), nullptr, result));
    if (code <= 32) return {};
    return Utf8(result);
}

bool Shell::StartProgram(const std::string& command_line, int show) {
    std::wstring command = Wide(command_line);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(show);
    PROCESS_INFORMATION process{};
    if (CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        return true;
    }
    // Not a program (a shortcut, a batch file): let the shell start it. The program part
    // is the quoted text at the front, or the text up to the first blank.
    std::wstring program;
    std::wstring arguments;
    if (!command.empty() && command[0] == L'"') {
        const size_t close = command.find(L'"', 1);
        program = command.substr(1, close == std::wstring::npos ? std::wstring::npos : close - 1);
        if (close != std::wstring::npos && close + 1 < command.size()) arguments = command.substr(close + 1);
    } else {
        const size_t blank = command.find(L' ');
        program = command.substr(0, blank);
        if (blank != std::wstring::npos) arguments = command.substr(blank + 1);
    }
    const auto code = reinterpret_cast<INT_PTR>(
        ShellExecuteW(nullptr, nullptr, program.c_str(), arguments.empty() ? nullptr : arguments.c_str(), nullptr, show));
    return code > 32;
}

}  // namespace varlindo::win32
