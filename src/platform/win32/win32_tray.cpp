#include <windows.h>
#include <shellapi.h>

#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_text.h"

namespace varlindo::win32 {
namespace {
constexpr wchar_t kTrayClass[] = L"VarlindoTray";
constexpr UINT kCallbackMessage = WM_APP + 2;
constexpr UINT kIconId = 1;
}  // namespace

Tray::Tray(HINSTANCE instance) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &Tray::WndProc;
    wc.hInstance = instance;
    wc.lpszClassName = kTrayClass;
    RegisterClassExW(&wc);
    hwnd_ = CreateWindowExW(WS_EX_TOOLWINDOW, kTrayClass, L"Varlindo tray", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                            instance, nullptr);
    if (hwnd_) SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    taskbar_created_ = RegisterWindowMessageW(L"TaskbarCreated");
}

Tray::~Tray() {
    if (added_) Notify(NIM_DELETE);
    if (hwnd_) DestroyWindow(hwnd_);
}

bool Tray::Notify(DWORD action) {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = hwnd_;
    data.uID = kIconId;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = kCallbackMessage;
    data.hIcon = icon_;
    lstrcpynW(data.szTip, tip_.c_str(), static_cast<int>(sizeof data.szTip / sizeof data.szTip[0]));
    return Shell_NotifyIconW(action, &data) != FALSE;
}

bool Tray::AddIcon(const std::string& tip) {
    tip_ = Wide(tip);
    added_ = Notify(NIM_ADD);
    return added_;
}

bool Tray::ModifyTip(const std::string& tip) {
    tip_ = Wide(tip);
    return added_ && Notify(NIM_MODIFY);
}

bool Tray::RemoveIcon() {
    if (!added_) return false;
    added_ = false;
    return Notify(NIM_DELETE);
}

int Tray::TrackPopupMenu(const std::vector<MenuItem>& items) {
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
    POINT at{};
    GetCursorPos(&at);
    // The owner must be the foreground window, or the menu would not close when the user
    // clicks elsewhere; the posted message lets the menu loop end cleanly.
    SetForegroundWindow(hwnd_);
    const int picked = static_cast<int>(
        TrackPopupMenuEx(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, hwnd_, nullptr));
    PostMessageW(hwnd_, WM_NULL, 0, 0);
    DestroyMenu(menu);
    return picked;
}

LRESULT CALLBACK Tray::WndProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    auto* tray = reinterpret_cast<Tray*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (tray) {
        try {
            if (message == kCallbackMessage) {
                if (tray->OnNotification) tray->OnNotification(static_cast<int>(LOWORD(lparam)));
                return 0;
            }
            if (message == tray->taskbar_created_ && tray->added_) {
                // Explorer restarted: the icon has to be added again.
                tray->added_ = tray->Notify(NIM_ADD);
                return 0;
            }
        } catch (...) {
            OutputDebugStringW(L"Varlindo: a tray handler failed\n");
            return 0;
        }
    }
    return DefWindowProcW(hwnd, message, wparam, lparam);
}

}  // namespace varlindo::win32
