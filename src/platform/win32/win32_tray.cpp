#include <windows.h>
#include <shellapi.h>

#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_text.h"

namespace varlindo::win32 {
namespace {
constexpr wchar_t kTrayClass[] = L"VarlindoTray";
constexpr UINT kCallbackMessage = WM_APP + 2;
constexpr UINT kDefaultsChangedMessage = WM_APP + 3;
constexpr UINT kIconId = 1;
}  // namespace

Win32Tray::Win32Tray(HINSTANCE instance, EventTarget& events, AppIcons& icons)
    : instance_(instance), events_(events), icons_(icons) {}

void Win32Tray::MakeWindow() {
    if (hwnd_) return;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &Win32Tray::WndProc;
    wc.hInstance = instance_;
    wc.lpszClassName = kTrayClass;
    RegisterClassExW(&wc);
    taskbar_created_ = RegisterWindowMessageW(L"TaskbarCreated");
    hwnd_ = CreateWindowExW(WS_EX_TOOLWINDOW, kTrayClass, L"Varlindo tray", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                            instance_, nullptr);
    if (hwnd_) SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

Win32Tray::~Win32Tray() {
    if (!hwnd_) return;
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
}

bool Win32Tray::Notify(DWORD action) {
    if (!hwnd_ && action != NIM_ADD) return false;  // no window, so no icon of it
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = Window();
    data.uID = kIconId;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = kCallbackMessage;
    data.hIcon = icons_.Small();
    lstrcpynW(data.szTip, tip_.c_str(), static_cast<int>(sizeof data.szTip / sizeof data.szTip[0]));
    return Shell_NotifyIconW(action, &data) != FALSE;
}

// The shell's own answers: an icon that is already there is not added again, and one that
// is not there can be neither changed nor removed.
bool Win32Tray::AddIcon(const std::string& tip) {
    tip_ = Wide(tip);
    return Notify(NIM_ADD);
}

bool Win32Tray::ModifyTip(const std::string& tip) {
    tip_ = Wide(tip);
    return Notify(NIM_MODIFY);
}

bool Win32Tray::RemoveIcon() { return Notify(NIM_DELETE); }

int Win32Tray::TrackPopupMenu(const std::vector<MenuItem>& items) {
    HMENU menu = CreatePopupMenu();
    if (!menu) return 0;
    for (const MenuItem& item : items) {
        if (item.separator) {
            AppendMenuW(menu, MF_SEPARATOR, static_cast<UINT_PTR>(item.id), nullptr);
            continue;
        }
        AppendMenuW(menu, MF_STRING | (item.checked ? MF_CHECKED : 0u), static_cast<UINT_PTR>(item.id),
                    Wide(item.text).c_str());
        if (item.grayed) EnableMenuItem(menu, static_cast<UINT>(item.id), MF_BYCOMMAND | MF_GRAYED);
    }
    HWND owner = Window();
    POINT at{};
    GetCursorPos(&at);
    // The owner must be the foreground window, or the menu would not close when the user
    // clicks elsewhere; the posted message lets the menu loop end cleanly.
    SetForegroundWindow(owner);
    const int picked = static_cast<int>(
        TrackPopupMenuEx(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, owner, nullptr));
    PostMessageW(owner, WM_NULL, 0, 0);
    DestroyMenu(menu);
    return picked;
}

std::uint16_t Win32Tray::AddAtom(const std::string& name) { return GlobalAddAtomW(Wide(name).c_str()); }

void Win32Tray::DeleteAtom(std::uint16_t atom) { GlobalDeleteAtom(atom); }

bool Win32Tray::RegisterHotkey(int id, int key_code) {
    return RegisterHotKey(Window(), id, MOD_CONTROL, static_cast<UINT>(key_code)) != FALSE;
}

void Win32Tray::UnregisterHotkey(int id) {
    if (hwnd_) UnregisterHotKey(hwnd_, id);  // without the window no key was registered
}

void Win32Tray::PostDefaultsChanged() {
    // Called from other threads: the window was made before the watching began.
    if (defaults_notice_waiting_.exchange(true)) return;
    if (!hwnd_ || !PostMessageW(hwnd_, kDefaultsChangedMessage, 0, 0)) defaults_notice_waiting_ = false;
}

LRESULT CALLBACK Win32Tray::WndProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    auto* tray = reinterpret_cast<Win32Tray*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!tray) return DefWindowProcW(hwnd, message, wparam, lparam);
    try {
        return tray->Handle(message, wparam, lparam);
    } catch (...) {
        // A fault in one handler must never take the program down.
        OutputDebugStringW(L"Varlindo: a program event failed\n");
        return 0;
    }
}

LRESULT Win32Tray::Handle(UINT message, WPARAM wparam, LPARAM lparam) {
    ProgramEvents* events = events_.Events();
    if (message == kDefaultsChangedMessage) {
        // Cleared first: a change while the program looks is told again.
        defaults_notice_waiting_ = false;
        if (events) events->DefaultsChanged();
        return 0;
    }
    if (!events) return DefWindowProcW(hwnd_, message, wparam, lparam);
    if (message == kCallbackMessage) {
        events->TrayMouse(static_cast<int>(LOWORD(lparam)));
        return 0;
    }
    if (message == taskbar_created_) {
        events->TaskbarCreated();
        return 0;
    }
    if (message == Win32Instance::kDeviceChangeMessage) {
        events->DeviceChanged(static_cast<std::int32_t>(static_cast<std::uint32_t>(wparam)));
        return 0;
    }
    switch (message) {
        case WM_HOTKEY:
            events->HotkeyPressed(static_cast<int>(wparam));
            return 0;
        case WM_QUERYENDSESSION:
            return events->SessionEnding() ? TRUE : FALSE;
        case WM_ENDSESSION:
            events->SessionEnded(wparam != FALSE);
            return 0;
        default:
            return DefWindowProcW(hwnd_, message, wparam, lparam);
    }
}

}  // namespace varlindo::win32
