#include <windows.h>

#include <algorithm>
#include <utility>

#include "platform/win32/win32_form_window.h"
#include "platform/win32/win32_platform.h"

namespace varlindo::win32 {

Win32FormHost::Win32FormHost(HINSTANCE instance, EventTarget& events, AppIcons& icons)
    : instance_(instance), events_(events), icons_(icons) {}

Win32FormHost::~Win32FormHost() {
    for (auto& window : windows_) window->Retire();
}

std::shared_ptr<Win32FormWindow> Win32FormHost::Find(const ui::Form& form) {
    if (IsDeferred(form)) MakeWindows();
    for (const auto& window : windows_)
        if (window->Form() == &form) return window;
    return nullptr;
}

bool Win32FormHost::IsDeferred(const ui::Form& form) const {
    return std::any_of(deferred_.begin(), deferred_.end(), [&form](const DeferredForm& d) { return d.form == &form; });
}

void Win32FormHost::MakeWindows() {
    if (deferred_.empty()) return;
    if (before_first_window_) std::exchange(before_first_window_, nullptr)();
    // One at a time: a window being made may run program code (a form that is minimised
    // hears of its size), which may close a form still waiting for its window.
    while (!deferred_.empty()) {
        const DeferredForm d = deferred_.front();
        deferred_.erase(deferred_.begin());
        MakeWindow(*d.form);
        if (d.topmost) SetTopMost(*d.form, *d.topmost);
    }
}

HWND Win32FormHost::WindowOf(const ui::Form& form) {
    auto window = Find(form);
    return window ? window->Hwnd() : nullptr;
}

HWND Win32FormHost::WindowOf(const ui::Control& control) {
    auto window = Find(control.Owner());
    return window ? window->ControlWindow(control) : nullptr;
}

bool Win32FormHost::IsOurs(HWND hwnd) const {
    return hwnd && std::any_of(windows_.begin(), windows_.end(),
                               [hwnd](const auto& window) { return window->Hwnd() == hwnd; });
}

void Win32FormHost::Load(ui::Form& form) {
    if (IsDeferred(form) || std::any_of(windows_.begin(), windows_.end(),
                                        [&form](const auto& window) { return window->Form() == &form; }))
        return;
    if (defer_windows_)
        deferred_.push_back(DeferredForm{&form, std::nullopt});
    else
        MakeWindow(form);
}

void Win32FormHost::MakeWindow(ui::Form& form) {
    windows_.push_back(std::make_shared<Win32FormWindow>(form, *this, instance_, icons_.Large(), icons_.Small()));
}

void Win32FormHost::Show(ui::Form& form) {
    Load(form);
    MakeWindows();
    form.Show();
    form.Activate();
}

void Win32FormHost::ShowModal(ui::Form& form) {
    Load(form);
    MakeWindows();
    const std::shared_ptr<Win32FormWindow> window = Find(form);
    HWND hwnd = window ? window->Hwnd() : nullptr;
    if (!hwnd) {
        form.Hide();  // no window to wait for
        return;
    }
    // Shown modally already (asked again from the tray while it waits for a dialog of its
    // own): the form that takes input now only comes forward. A second modal display would
    // leave no window of the two taking input.
    if (std::any_of(modal_levels_.begin(), modal_levels_.end(),
                    [&window](const ModalLevel& l) { return l.window == window.get(); })) {
        if (const Win32FormWindow* top = modal_levels_.back().window; top && top->Form()) top->Form()->Activate();
        return;
    }
    // The form belongs to the program's window that was active, and stays above it: a
    // window the program has just hidden (the main window going to the tray) is hidden
    // first, so that it owns nothing.
    for (const auto& other : windows_) other->Flush();
    HWND owner = GetActiveWindow();
    if (!IsOurs(owner) || !IsWindowVisible(owner)) owner = nullptr;
    SetWindowLongPtrW(hwnd, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));

    ModalLevel level{window.get(), {}};
    for (const auto& other : windows_) {
        HWND h = other->Hwnd();
        if (other != window && h && IsWindowVisible(h) && IsWindowEnabled(h)) {
            EnableWindow(h, FALSE);
            level.disabled.push_back(h);
        }
    }
    modal_levels_.push_back(std::move(level));

    form.Show();
    form.Activate();
    // Until the form is hidden or closed; the object of a closed form is not touched.
    while (window->Attached() && form.Visible()) {
        if (!PumpOne()) break;
    }
    WindowLeaving(*window);
    modal_levels_.erase(std::find_if(modal_levels_.begin(), modal_levels_.end(),
                                     [&window](const ModalLevel& l) { return l.window == window.get(); }));
    if (window->Hwnd()) SetWindowLongPtrW(window->Hwnd(), GWLP_HWNDPARENT, 0);
}

void Win32FormHost::WindowLeaving(const Win32FormWindow& window) {
    for (ModalLevel& level : modal_levels_) {
        if (level.window != &window) continue;
        for (HWND h : level.disabled)
            if (IsWindow(h)) EnableWindow(h, TRUE);
        level.disabled.clear();
    }
}

void Win32FormHost::WindowShowing(const Win32FormWindow& window) {
    if (modal_levels_.empty()) return;
    for (const ModalLevel& level : modal_levels_)
        if (level.window == &window) return;  // a modal form itself
    // For example the main window, brought forward by another start of the program.
    ModalLevel& top = modal_levels_.back();
    if (HWND h = window.Hwnd(); h && IsWindowEnabled(h)) {
        EnableWindow(h, FALSE);
        top.disabled.push_back(h);
    }
}

void Win32FormHost::Close(ui::Form& form) {
    deferred_.erase(std::remove_if(deferred_.begin(), deferred_.end(), [&form](const DeferredForm& d) { return d.form == &form; }),
                    deferred_.end());
    auto it = std::find_if(windows_.begin(), windows_.end(),
                           [&form](const auto& window) { return window->Form() == &form; });
    if (it == windows_.end()) return;
    // A handler of this window may still be running: it keeps the object alive.
    (*it)->Retire();
    windows_.erase(it);
}

// These act on the window of a loaded form only: a form the program has closed (and may be
// about to destroy) must not come back with a new window.
void Win32FormHost::SetTopMost(ui::Form& form, bool topmost) {
    for (DeferredForm& d : deferred_)
        if (d.form == &form) {
            d.topmost = topmost;  // set when its window is made
            return;
        }
    if (HWND hwnd = WindowOf(form))
        SetWindowPos(hwnd, topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void Win32FormHost::ShapeWindowCorners(ui::Form& form, int corner_pixels) {
    if (auto window = Find(form)) window->ShapeCorners(corner_pixels);
}

FormHostPort::Area Win32FormHost::WorkArea() {
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 96;
    if (screen) ReleaseDC(nullptr, screen);
    auto twips = [dpi](LONG px) { return MulDiv(px, 1440, dpi > 0 ? dpi : 96); };
    return Area{twips(work.left), twips(work.top), twips(work.right), twips(work.bottom)};
}

void Win32FormHost::DragWindow(ui::Form& form) {
    if (auto window = Find(form)) window->BeginDrag();
}

void Win32FormHost::Dispatch(MSG& msg) {
    // Tab, Esc and the access keys work in every form.
    HWND root = msg.hwnd ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
    if (IsOurs(root) && IsDialogMessageW(root, &msg)) return;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

bool Win32FormHost::PumpOne() {
    MSG msg{};
    while (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        if (RunSignalled(INFINITE)) return true;  // the caller looks again whether to go on
    if (msg.message == WM_QUIT) {
        PostQuitMessage(static_cast<int>(msg.wParam));  // for the loop below this one
        return false;
    }
    Dispatch(msg);
    return true;
}

bool Win32FormHost::RunSignalled(DWORD timeout) {
    std::vector<HANDLE> handles;
    for (const auto& watched : watched_) handles.push_back(watched.first);
    const DWORD count = static_cast<DWORD>(handles.size());
    const DWORD woke = MsgWaitForMultipleObjectsEx(count, handles.data(), timeout, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    if (woke == WAIT_FAILED) {
        // A handle that is no longer one: wait for messages alone rather than spin.
        if (timeout) WaitMessage();
        return false;
    }
    if (woke >= WAIT_OBJECT_0 + count) return false;  // a message, or the time is up
    // The handler may stop watching, this handle or another.
    const std::function<void()> signalled = watched_[woke - WAIT_OBJECT_0].second;
    signalled();
    return true;
}

void Win32FormHost::WatchHandle(HANDLE handle, std::function<void()> signalled) {
    StopWatchingHandle(handle);
    watched_.emplace_back(handle, std::move(signalled));
}

void Win32FormHost::StopWatchingHandle(HANDLE handle) {
    watched_.erase(std::remove_if(watched_.begin(), watched_.end(), [handle](const auto& w) { return w.first == handle; }),
                   watched_.end());
}

int Win32FormHost::Run() {
    MakeWindows();
    while (PumpOne()) {
    }
    // The quit message was put back for an outer loop; there is none.
    MSG msg{};
    PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    return static_cast<int>(msg.wParam);
}

void Win32FormHost::DoEvents() {
    MakeWindows();
    while (!watched_.empty() && RunSignalled(0)) {
    }
    MSG msg{};
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));  // left for the loop that ends
            return;
        }
        Dispatch(msg);
    }
}

}  // namespace varlindo::win32
