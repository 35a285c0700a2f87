#include <windows.h>

#include <algorithm>

#include "platform/win32/win32_form_window.h"
#include "platform/win32/win32_platform.h"

namespace varlindo::win32 {

Win32FormHost::Win32FormHost(HINSTANCE instance, EventTarget& events) : instance_(instance), events_(events) {}

Win32FormHost::~Win32FormHost() {
    for (auto& window : windows_) window->Retire();
}

void Win32FormHost::SetIcons(HICON large_icon, HICON small_icon) {
    large_icon_ = large_icon;
    small_icon_ = small_icon;
}

std::shared_ptr<Win32FormWindow> Win32FormHost::Find(const ui::Form& form) const {
    for (const auto& window : windows_)
        if (window->Form() == &form) return window;
    return nullptr;
}

HWND Win32FormHost::WindowOf(const ui::Form& form) const {
    auto window = Find(form);
    return window ? window->Hwnd() : nullptr;
}

void Win32FormHost::Load(ui::Form& form) {
    if (Find(form)) return;
    windows_.push_back(std::make_shared<Win32FormWindow>(form, *this, instance_, large_icon_, small_icon_));
}

void Win32FormHost::Show(ui::Form& form) {
    Load(form);
    form.Show();
    form.Activate();
}

void Win32FormHost::ShowModal(ui::Form& form) {
    Load(form);
    const std::shared_ptr<Win32FormWindow> window = Find(form);
    // The program's other windows take no input while the form is shown.
    std::vector<HWND> disabled;
    for (const auto& other : windows_) {
        HWND h = other->Hwnd();
        if (other != window && h && IsWindowVisible(h) && IsWindowEnabled(h)) {
            EnableWindow(h, FALSE);
            disabled.push_back(h);
        }
    }
    HWND before = GetActiveWindow();
    form.Show();
    form.Activate();
    // Until the form is hidden or closed; the object of a closed form is not touched.
    while (window->Attached() && form.Visible()) {
        if (!PumpOne()) break;
    }
    for (HWND h : disabled)
        if (IsWindow(h)) EnableWindow(h, TRUE);
    if (before && IsWindow(before) && IsWindowVisible(before)) SetForegroundWindow(before);
}

void Win32FormHost::Close(ui::Form& form) {
    auto it = std::find_if(windows_.begin(), windows_.end(),
                           [&form](const auto& window) { return window->Form() == &form; });
    if (it == windows_.end()) return;
    // A handler of this window may still be running: it keeps the object alive.
    (*it)->Retire();
    windows_.erase(it);
}

bool Win32FormHost::PumpOne() {
    MSG msg;
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) {
        PostQuitMessage(static_cast<int>(msg.wParam));  // for the loop below this one
        return false;
    }
    if (got < 0) return false;
    // Tab, Esc and the access keys work in every form.
    HWND root = msg.hwnd ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
    const bool ours = root && std::any_of(windows_.begin(), windows_.end(),
                                          [root](const auto& window) { return window->Hwnd() == root; });
    if (ours && IsDialogMessageW(root, &msg)) return true;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
    return true;
}

int Win32FormHost::Run() {
    MSG msg;
    while (PumpOne()) {
    }
    // The quit message was put back for an outer loop; there is none.
    PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    return static_cast<int>(msg.wParam);
}

void Win32FormHost::DoEvents() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
        if (msg.message == WM_QUIT) return;  // left for the loop that ends
        if (!PumpOne()) return;
    }
}

}  // namespace varlindo::win32
