#include "platform/win32/win32_form_window.h"

#include <algorithm>

#include "platform/win32/win32_binding.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_text.h"

namespace varlindo::win32 {
namespace {

constexpr UINT kFlushMessage = WM_APP + 1;
constexpr int kFirstId = 100;

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

UINT WindowDpi(HWND hwnd) {
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto get_dpi = reinterpret_cast<GetDpiForWindowFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    if (get_dpi && hwnd) {
        if (UINT dpi = get_dpi(hwnd)) return dpi;
    }
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

void RegisterClassOnce(HINSTANCE instance, HICON large_icon, HICON small_icon, WNDPROC proc) {
    WNDCLASSEXW wc{};
    if (GetClassInfoExW(instance, kFormWindowClass, &wc)) return;
    wc.cbSize = sizeof wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.hIcon = large_icon;
    wc.hIconSm = small_icon;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kFormWindowClass;
    RegisterClassExW(&wc);
}

}  // namespace

Win32FormWindow::Win32FormWindow(ui::Form& form, Win32FormHost& host, HINSTANCE instance, HICON large_icon,
                                 HICON small_icon)
    : form_(&form), host_(host), instance_(instance) {
    RegisterClassOnce(instance_, large_icon, small_icon, &Win32FormWindow::Trampoline);
    // No WS_CLIPCHILDREN: the frames (group boxes) rely on the parent painting their inside.
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    CreateWindowExW(0, kFormWindowClass, Wide(form.Caption()).c_str(), style, CW_USEDEFAULT, CW_USEDEFAULT, 100, 100,
                    nullptr, nullptr, instance_, this);
    if (!hwnd_) return;
    dpi_ = WindowDpi(hwnd_);
    MakeFonts();
    CreateChildren();

    // Centre the window in the work area.
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int w = Px(form.Width());
    const int h = Px(form.Height());
    SetWindowPos(hwnd_, nullptr, work.left + (work.right - work.left - w) / 2, work.top + (work.bottom - work.top - h) / 2,
                 w, h, SWP_NOZORDER | SWP_NOACTIVATE);
    form.AttachView(this);
    Flush();
}

Win32FormWindow::~Win32FormWindow() { Retire(); }

void Win32FormWindow::Retire() {
    if (form_) {
        form_->AttachView(nullptr);
        form_ = nullptr;
    }
    if (hwnd_) {
        host_.WindowLeaving(*this);
        HWND hwnd = hwnd_;
        hwnd_ = nullptr;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        DestroyWindow(hwnd);  // its timers and child windows go with it
    }
    dirty_.clear();
}

LRESULT CALLBACK Win32FormWindow::Trampoline(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_NCCREATE) {
        auto* window = static_cast<Win32FormWindow*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
        window->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(window));
    }
    auto* window = reinterpret_cast<Win32FormWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!window || !window->form_) return DefWindowProcW(hwnd, message, wparam, lparam);
    // A handler may unload the form: the window object stays until the handler is done.
    // (While the constructor runs, nothing owns it yet and nothing can unload it.)
    const std::shared_ptr<Win32FormWindow> keep = window->weak_from_this().lock();
    try {
        return window->Handle(message, wparam, lparam);
    } catch (...) {
        // A fault in one handler must never take the program down.
        OutputDebugStringW(L"Varlindo: an event handler failed\n");
        return 0;
    }
}

template <class F>
void Win32FormWindow::UserEvent(F handler) {
    host_.Events().UserEvent([&handler] { handler(); });
    if (form_) Flush();  // unless the event unloaded the form
}

void Win32FormWindow::MakeFonts() {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    LOGFONTW lf = metrics.lfMessageFont;
    lf.lfHeight = -MulDiv(9, static_cast<int>(dpi_), 72);
    font_.reset(CreateFontIndirectW(&lf));
    lf.lfWeight = FW_BOLD;
    bold_font_.reset(CreateFontIndirectW(&lf));
}

void Win32FormWindow::CreateChildren() {
    int id = kFirstId;
    for (ui::Control* control : form_->Controls()) {
        auto binding = BindControl(*control);
        if (!binding) continue;
        binding->Create(*this, id++);
        bindings_.push_back(std::move(binding));
    }
    // Earlier controls lie on top and come first with Tab; frames lie under everything.
    HWND after = HWND_TOP;
    for (auto& binding : bindings_) {
        if (!binding->Hwnd() || binding->LiesBelowOthers()) continue;
        SetWindowPos(binding->Hwnd(), after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        after = binding->Hwnd();
    }
    for (auto& binding : bindings_)
        if (binding->Hwnd() && binding->LiesBelowOthers())
            SetWindowPos(binding->Hwnd(), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    for (auto& binding : bindings_) dirty_.insert(&binding->Control());
}

RECT Win32FormWindow::ChildRect(const ui::Control& control) const {
    int left = control.Left();
    int top = control.Top();
    for (const ui::Control* c = control.Container(); c; c = c->Container()) {
        left += c->Left();
        top += c->Top();
    }
    return RECT{Px(left), Px(top), Px(left + control.Width()), Px(top + control.Height())};
}

ControlBinding* Win32FormWindow::BindingById(int id) const {
    for (const auto& binding : bindings_)
        if (binding->Id() == id) return binding.get();
    return nullptr;
}

ControlBinding* Win32FormWindow::BindingOf(const ui::Control& control) const {
    for (const auto& binding : bindings_)
        if (&binding->Control() == &control) return binding.get();
    return nullptr;
}

ControlBinding* Win32FormWindow::BindingOf(HWND child) const {
    for (const auto& binding : bindings_)
        if (binding->Hwnd() == child) return binding.get();
    return nullptr;
}

void Win32FormWindow::ControlChanged(ui::Control& control) {
    dirty_.insert(&control);
    ScheduleFlush();
}

void Win32FormWindow::FormChanged() {
    form_dirty_ = true;
    ScheduleFlush();
}

void Win32FormWindow::FocusControl(ui::Control& control) {
    Flush();
    if (ControlBinding* binding = BindingOf(control); binding && binding->Hwnd() && IsWindowVisible(binding->Hwnd()))
        SetFocus(binding->Hwnd());
}

void Win32FormWindow::ActivateForm() {
    Flush();
    if (!hwnd_ || !IsWindowVisible(hwnd_)) return;
    if (IsIconic(hwnd_)) ShowWindow(hwnd_, SW_RESTORE);
    SetForegroundWindow(hwnd_);
    BringWindowToTop(hwnd_);
}

void Win32FormWindow::ScheduleFlush() {
    if (flush_posted_ || !hwnd_) return;
    flush_posted_ = PostMessageW(hwnd_, kFlushMessage, 0, 0) != 0;
}

void Win32FormWindow::Flush() {
    if (syncing_ || !hwnd_ || !form_) return;
    syncing_ = true;
    if (form_dirty_) {
        form_dirty_ = false;
        SyncForm();
    }
    auto dirty = std::move(dirty_);
    dirty_.clear();
    for (auto& binding : bindings_)
        if (dirty.count(&binding->Control())) binding->Sync(*this);
    syncing_ = false;
}

void Win32FormWindow::SyncForm() {
    const std::wstring caption = Wide(form_->Caption());
    wchar_t current[256] = {};
    GetWindowTextW(hwnd_, current, 256);
    if (caption != current) SetWindowTextW(hwnd_, caption.c_str());

    RECT r{};
    GetWindowRect(hwnd_, &r);
    if (!IsIconic(hwnd_) && (r.right - r.left != Px(form_->Width()) || r.bottom - r.top != Px(form_->Height())))
        SetWindowPos(hwnd_, nullptr, 0, 0, Px(form_->Width()), Px(form_->Height()),
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

    if (!form_->Visible()) {
        if (IsWindowVisible(hwnd_)) {
            host_.WindowLeaving(*this);
            ShowWindow(hwnd_, SW_HIDE);
        }
        return;
    }
    if (!IsWindowVisible(hwnd_)) host_.WindowShowing(*this);
    switch (form_->GetWindowState()) {
        case ui::WindowState::Minimized:
            if (!IsIconic(hwnd_)) ShowWindow(hwnd_, SW_SHOWMINNOACTIVE);
            break;
        case ui::WindowState::Maximized:
        case ui::WindowState::Normal:
            if (IsIconic(hwnd_)) {
                ShowWindow(hwnd_, SW_RESTORE);
            } else if (!IsWindowVisible(hwnd_)) {
                ShowWindow(hwnd_, SW_SHOW);
                SetForegroundWindow(hwnd_);
            }
            break;
    }
}

void Win32FormWindow::LayoutAll() {
    for (auto& binding : bindings_) dirty_.insert(&binding->Control());
    form_dirty_ = true;
    Flush();
}

HBRUSH Win32FormWindow::BrushFor(COLORREF color) {
    for (auto& [c, brush] : brushes_)
        if (c == color) return brush.get();
    brushes_.emplace_back(color, unique_brush(CreateSolidBrush(color)));
    return brushes_.back().second.get();
}

LRESULT Win32FormWindow::Handle(UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == Win32Instance::BringForwardMessage()) {
        // Another start of the program asks for its main window.
        if (ProgramEvents* events = host_.Events().Events()) events->BringForward();
        return 0;
    }
    switch (message) {
        case kFlushMessage:
            flush_posted_ = false;
            Flush();
            return 0;
        case WM_COMMAND:
            if (syncing_) return 0;  // a change the model made itself, not the user
            if (lparam) {
                if (ControlBinding* binding = BindingById(LOWORD(wparam))) {
                    const int code = HIWORD(wparam);
                    UserEvent([binding, code] { binding->Notify(code); });
                }
            } else if (LOWORD(wparam) == IDCANCEL) {
                // Esc, as the dialog manager reports it.
                ui::Form& form = *form_;
                UserEvent([&form] {
                    int key = 27;
                    if (form.KeyPress) form.KeyPress(key);
                });
            }
            return 0;
        case WM_TIMER:
            if (ControlBinding* binding = BindingById(static_cast<int>(wparam)))
                UserEvent([binding] { binding->Tick(); });
            return 0;
        case WM_DRAWITEM:
            if (ControlBinding* binding = BindingById(static_cast<int>(wparam));
                binding && binding->Draw(*this, *reinterpret_cast<const DRAWITEMSTRUCT*>(lparam)))
                return TRUE;
            break;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
            if (ControlBinding* binding = BindingOf(reinterpret_cast<HWND>(lparam))) {
                HDC dc = reinterpret_cast<HDC>(wparam);
                if (auto fore = binding->Control().ForeColor()) SetTextColor(dc, *fore);
                const COLORREF back = binding->Control().BackColor().value_or(GetSysColor(COLOR_BTNFACE));
                SetBkColor(dc, back);
                return reinterpret_cast<LRESULT>(BrushFor(back));
            }
            break;
        case WM_SIZE: {
            ui::Form& form = *form_;
            if (wparam == SIZE_MINIMIZED && form.GetWindowState() != ui::WindowState::Minimized)
                UserEvent([&form] { form.SetWindowState(ui::WindowState::Minimized); });
            else if (wparam == SIZE_RESTORED && form.GetWindowState() == ui::WindowState::Minimized)
                UserEvent([&form] { form.SetWindowState(ui::WindowState::Normal); });
            return 0;
        }
        case WM_DPICHANGED: {
            dpi_ = HIWORD(wparam);
            MakeFonts();
            const RECT* suggested = reinterpret_cast<const RECT*>(lparam);
            SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                         suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
            for (auto& binding : bindings_) binding->Forget();
            LayoutAll();
            return 0;
        }
        case WM_CLOSE:
            if (ProgramEvents* events = host_.Events().Events()) {
                ui::Form& form = *form_;
                events->CloseRequested(form);
                if (form_) Flush();
            }
            return 0;
        default:
            break;
    }
    return DefWindowProcW(hwnd_, message, wparam, lparam);
}

}  // namespace varlindo::win32
