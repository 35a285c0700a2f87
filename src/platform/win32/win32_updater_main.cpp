// wWinMain of Update.exe, the updater that lies beside the program: it needs the files and
// the shell, nothing of the program's windows.
#include <windows.h>
#include <tlhelp32.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/win32/win32_handle.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_text.h"
#include "util/updater.h"

namespace {

using varlindo::win32::unique_kernel;

constexpr DWORD kLongestWaitMs = 30000;

// The command line after the updater's own name, which the shell writes first: in quotes
// when it holds blanks, else up to the first blank.
std::wstring ArgumentsAfterProgramName(const wchar_t* command_line) {
    const wchar_t* at = command_line ? command_line : L"";
    if (*at == L'"') {
        ++at;
        while (*at && *at != L'"') ++at;
        if (*at) ++at;
    } else {
        while (*at && *at != L' ' && *at != L'\t') ++at;
    }
    while (*at == L' ' || *at == L'\t') ++at;
    return at;
}

// The full path in its long form, so that two spellings of one file compare equal.
std::wstring LongPath(const std::wstring& path) {
    std::wstring full(MAX_PATH, L'\0');
    DWORD n = GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (n >= full.size()) {
        full.resize(n);
        n = GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    }
    full.resize(n < full.size() ? n : 0);
    if (full.empty()) full = path;
    std::wstring long_form(MAX_PATH, L'\0');
    n = GetLongPathNameW(full.c_str(), long_form.data(), static_cast<DWORD>(long_form.size()));
    if (n >= long_form.size()) {
        long_form.resize(n);
        n = GetLongPathNameW(full.c_str(), long_form.data(), static_cast<DWORD>(long_form.size()));
    }
    if (n == 0 || n >= long_form.size()) return full;  // gone already: as it was written
    long_form.resize(n);
    return long_form;
}

bool SamePath(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()), TRUE) ==
           CSTR_EQUAL;
}

// The processes that run this program file, to wait on; nothing when the system did not
// list the processes.
std::optional<std::vector<unique_kernel>> ProcessesRunning(const std::wstring& program) {
    HANDLE taken = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (taken == INVALID_HANDLE_VALUE) return std::nullopt;
    const unique_kernel snapshot(taken);
    std::vector<unique_kernel> running;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more; more = Process32NextW(snapshot.get(), &entry)) {
        if (entry.th32ProcessID == GetCurrentProcessId() || entry.th32ProcessID == 0) continue;
        // A process of another user, or a protected one, cannot be opened: it is not the
        // one that started the updater.
        unique_kernel process(
            OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, entry.th32ProcessID));
        if (!process) continue;
        std::wstring image(32768, L'\0');
        DWORD size = static_cast<DWORD>(image.size());
        if (!QueryFullProcessImageNameW(process.get(), 0, image.data(), &size)) continue;
        image.resize(size);
        if (SamePath(LongPath(image), program)) running.push_back(std::move(process));
    }
    return running;
}

// Waits until no process runs the program any more; false when one still does after a while.
bool WaitForExit(const std::string& program_path) {
    const std::wstring program = LongPath(varlindo::win32::Wide(program_path));
    const ULONGLONG deadline = GetTickCount64() + kLongestWaitMs;
    for (;;) {
        auto running = ProcessesRunning(program);
        if (running && running->empty()) return true;
        if (GetTickCount64() >= deadline) return false;
        if (!running) {
            Sleep(250);
            continue;
        }
        for (const unique_kernel& process : *running) {
            const ULONGLONG now = GetTickCount64();
            if (now >= deadline) break;
            WaitForSingleObject(process.get(), static_cast<DWORD>(deadline - now));
        }
        // Looked at again: another start of the program may have come meanwhile.
    }
}

void Tell(const std::string& text) {
    MessageBoxW(nullptr, varlindo::win32::WideLines(text).c_str(), L"Varlindo Update",
                MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    using namespace varlindo;
    try {
        win32::ComApartment com;  // the shell may start a program through COM
        win32::Win32Files files;
        win32::Win32Shell shell;
        // Only the program beside this updater is ever replaced.
        UpdaterHost host{files, shell, files.ProgramFolder(), WaitForExit, Tell};
        return RunUpdater(host, win32::Utf8(ArgumentsAfterProgramName(GetCommandLineW())));
    } catch (...) {
        OutputDebugStringW(L"Varlindo Update: stopped by a fault\n");
        return 5;
    }
}
