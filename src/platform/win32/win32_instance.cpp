#include <windows.h>

#include "platform/win32/win32_form_window.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_text.h"

namespace varlindo::win32 {
namespace {

struct Search {
    std::wstring title;
    HWND found = nullptr;
};

BOOL CALLBACK MatchProgramWindow(HWND hwnd, LPARAM lparam) {
    auto* search = reinterpret_cast<Search*>(lparam);
    wchar_t cls[64] = {};
    GetClassNameW(hwnd, cls, 64);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (lstrcmpW(cls, kFormWindowClass) != 0 || pid == GetCurrentProcessId()) return TRUE;
    wchar_t caption[256] = {};
    GetWindowTextW(hwnd, caption, 256);
    if (std::wstring_view(caption).substr(0, search->title.size()) != search->title) return TRUE;
    search->found = hwnd;
    return FALSE;
}

}  // namespace

bool Win32Instance::PreviousInstance() {
    if (lock_) return false;
    // One lock per user and session.
    wchar_t user[256] = L"";
    DWORD size = 256;
    GetUserNameW(user, &size);
    const std::wstring name = std::wstring(L"Local\\Varlindo.Instance.") + user;
    HANDLE mutex = CreateMutexW(nullptr, FALSE, name.c_str());
    const bool exists = GetLastError() == ERROR_ALREADY_EXISTS;
    if (exists) {
        if (mutex) CloseHandle(mutex);
        return true;
    }
    lock_.reset(mutex);
    return false;
}

std::optional<WindowRef> Win32Instance::FindProgramWindow(const std::string& title) {
    Search search{Wide(title)};
    EnumWindows(MatchProgramWindow, reinterpret_cast<LPARAM>(&search));
    if (!search.found) return std::nullopt;
    return reinterpret_cast<WindowRef>(search.found);
}

void Win32Instance::RestoreWindow(WindowRef window) {
    HWND hwnd = reinterpret_cast<HWND>(window);
    if (IsIconic(hwnd)) ShowWindowAsync(hwnd, SW_RESTORE);
}

void Win32Instance::SetTopMost(WindowRef window, bool topmost) {
    SetWindowPos(reinterpret_cast<HWND>(window), topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

UINT Win32Instance::BringForwardMessage() {
    static const UINT message = RegisterWindowMessageW(L"Varlindo.BringForward");
    return message;
}

bool Win32Instance::ActivateProgram(const std::string& title) {
    auto window = FindProgramWindow(title);
    if (!window) return false;
    HWND hwnd = reinterpret_cast<HWND>(*window);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    AllowSetForegroundWindow(pid);  // it may take the foreground from us
    return PostMessageW(hwnd, BringForwardMessage(), 0, 0) != FALSE;
}

void Win32Instance::NotifyDeviceChanged(std::int32_t stamp) {
    // Every top-level window hears it, and none is waited for: a window of another program
    // that hangs or answers late would hold up the switch (a timeout counts per window), and
    // a start that switches and ends would wait for all of them. The lParam carries nothing.
    static const DWORD zero = 0;
    SendNotifyMessageW(HWND_BROADCAST, kDeviceChangeMessage, static_cast<WPARAM>(static_cast<std::uint32_t>(stamp)),
                       reinterpret_cast<LPARAM>(&zero));
}

}  // namespace varlindo::win32
