#include "platform/win32/win32_form_window.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>

#include "platform/win32/win32_binding.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_text.h"

namespace varlindo::win32 {
namespace {

constexpr UINT kFlushMessage = WM_APP + 1;
constexpr int kFirstId = 100;

// A drop of files is the receiver's to end.
struct FinishDrop {
    void operator()(HDROP drop) const { DragFinish(drop); }
};

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
    // The first form window: the common controls its children are made of are loaded now.
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
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

COLORREF ColorRef(ui::Color color) {
    if (color & ui::kSystemColor) return GetSysColor(static_cast<int>(color & 0xFF));
    return static_cast<COLORREF>(color);
}

COLORREF ColorRef(const std::optional<ui::Color>& color, int fallback) {
    return color ? ColorRef(*color) : GetSysColor(fallback);
}

int MouseButtonOf(UINT message) {
    switch (message) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK: return 1;
        case WM_RBUTTONDOWN:
        case WM_RBUTTONDBLCLK: return 2;
        case WM_MBUTTONDOWN:
        case WM_MBUTTONDBLCLK: return 4;
        default: return 0;
    }
}

int MouseButtonsHeld(WPARAM keys) {
    return ((keys & MK_LBUTTON) ? 1 : 0) | ((keys & MK_RBUTTON) ? 2 : 0) | ((keys & MK_MBUTTON) ? 4 : 0);
}

Win32FormWindow::Win32FormWindow(ui::Form& form, Win32FormHost& host, HINSTANCE instance, HICON large_icon,
                                 HICON small_icon)
    : form_(&form), host_(host), instance_(instance), pictures_(instance) {
    RegisterClassOnce(instance_, large_icon, small_icon, &Win32FormWindow::Trampoline);
    // No WS_CLIPCHILDREN: the frames (group boxes) rely on the parent painting their inside.
    // A borderless window (the volume slider) has no title bar and no taskbar button.
    const DWORD style = form.Borderless ? (WS_POPUP | WS_BORDER)
                                        : (WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX);
    const DWORD ex_style = form.Borderless ? WS_EX_TOOLWINDOW : 0;
    CreateWindowExW(ex_style, kFormWindowClass, Wide(form.Caption()).c_str(), style, CW_USEDEFAULT, CW_USEDEFAULT,
                    100, 100, nullptr, nullptr, instance_, this);
    if (!hwnd_) return;
    dpi_ = WindowDpi(hwnd_);
    MakeFonts();
    CreateChildren();
    // Files may be dropped where the form or one of its controls takes them (checked again
    // whenever the form changes, for handlers bound later).
    accepts_drops_ = form.AcceptsDrops();
    if (accepts_drops_) DragAcceptFiles(hwnd_, TRUE);

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
    if (tooltip_) {
        DestroyWindow(tooltip_);
        tooltip_ = nullptr;
        tools_.clear();
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

void Win32FormWindow::UserAction(const std::function<void()>& handler) {
    if (form_) UserEvent(handler);
}

ui::MouseArgs Win32FormWindow::MouseArgsOf(int button, WPARAM keys, POINT point) const {
    ui::MouseArgs args;
    args.button = button;
    args.shift = ((keys & MK_SHIFT) ? 1 : 0) | ((keys & MK_CONTROL) ? 2 : 0) | (GetKeyState(VK_MENU) < 0 ? 4 : 0);
    args.x = MulDiv(point.x, 1440, static_cast<int>(dpi_));
    args.y = MulDiv(point.y, 1440, static_cast<int>(dpi_));
    return args;
}

void Win32FormWindow::SetToolTip(HWND child, const std::string& text) {
    if (!hwnd_ || !child) return;
    if (!tooltip_) {
        if (text.empty()) return;
        INITCOMMONCONTROLSEX classes{sizeof classes, ICC_BAR_CLASSES};
        InitCommonControlsEx(&classes);
        // Owned by no window: under Wine a window with an owned popup can no longer be kept
        // on top. The form's window destroys it when it goes (Retire).
        tooltip_ = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, TOOLTIPS_CLASSW, nullptr,
                                   WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                                   CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance_, nullptr);
        if (!tooltip_) return;
        SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, Px(5000));  // long tips wrap
    }
    std::wstring wide = WideLines(text);
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;  // understood by every version of the common controls
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = hwnd_;
    tool.uId = reinterpret_cast<UINT_PTR>(child);
    tool.lpszText = wide.data();
    const bool known = tools_.count(child) != 0;
    if (text.empty()) {
        if (known) SendMessageW(tooltip_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        tools_.erase(child);
    } else if (known) {
        SendMessageW(tooltip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    } else if (SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool))) {
        tools_.insert(child);
    }
}

void Win32FormWindow::BeginDrag() {
    if (!hwnd_ || !IsWindowVisible(hwnd_) || IsIconic(hwnd_)) return;
    // The button that is down, as the message being handled saw it. The classic caption
    // drag (WM_NCLBUTTONDOWN with HTCAPTION) follows only the left button and needs a
    // window manager under X, so the window follows the mouse itself while it holds the
    // capture.
    static constexpr struct {
        int key;
        UINT release;
    } kButtons[] = {{VK_LBUTTON, WM_LBUTTONUP}, {VK_RBUTTON, WM_RBUTTONUP}, {VK_MBUTTON, WM_MBUTTONUP}};
    for (const auto& button : kButtons) {
        if (!(GetKeyState(button.key) & 0x8000)) continue;
        const DWORD at = GetMessagePos();  // where the press was, as the move will read it
        const POINT mouse{GET_X_LPARAM(at), GET_Y_LPARAM(at)};
        RECT r{};
        GetWindowRect(hwnd_, &r);
        SetCapture(hwnd_);
        drag_ = Drag{true, button.key, button.release, POINT{mouse.x - r.left, mouse.y - r.top}};
        return;
    }
}

void Win32FormWindow::DragToMouse() {
    if (!(GetKeyState(drag_.key) & 0x8000)) {  // released where we did not see it
        ReleaseCapture();
        return;
    }
    const DWORD at = GetMessagePos();
    SetWindowPos(hwnd_, nullptr, GET_X_LPARAM(at) - drag_.offset.x, GET_Y_LPARAM(at) - drag_.offset.y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32FormWindow::ShapeCorners(int corner_pixels) {
    corners_ = std::max(0, corner_pixels);
    ApplyCorners();
}

void Win32FormWindow::ApplyCorners() {
    if (!hwnd_ || corners_ < 0) return;
    RECT r{};
    GetWindowRect(hwnd_, &r);
    shaped_ = SIZE{r.right - r.left, r.bottom - r.top};
    const int corner = MulDiv(corners_, static_cast<int>(dpi_), 96);  // as round at every scaling
    HRGN region = CreateRoundRectRgn(0, 0, shaped_.cx + 1, shaped_.cy + 1, corner, corner);
    if (region && !SetWindowRgn(hwnd_, region, TRUE)) DeleteObject(region);  // else the window owns it
}

ui::Control* Win32FormWindow::FrameAt(POINT point, RECT& where) const {
    ui::Control* found = nullptr;
    int found_depth = -1;
    for (ui::Control* control : form_->Controls()) {
        if (control->GetKind() != ui::Kind::Frame || !control->Shown()) continue;
        const RECT r = ChildRect(*control);
        if (!PtInRect(&r, point)) continue;
        int depth = 0;
        for (const ui::Control* c = control->Container(); c; c = c->Container()) ++depth;
        if (depth >= found_depth) {  // a frame inside another, or the later of two that overlap
            found = control;
            found_depth = depth;
            where = r;
        }
    }
    return found;
}

ui::Control* Win32FormWindow::ControlAt(POINT point) const {
    ui::Control* found = nullptr;
    int found_depth = -1;
    for (ui::Control* control : form_->Controls()) {
        const ui::Kind kind = control->GetKind();
        if (kind == ui::Kind::Frame || kind == ui::Kind::Timer || !control->Shown()) continue;
        const RECT r = ChildRect(*control);
        if (!PtInRect(&r, point)) continue;
        int depth = 0;
        for (const ui::Control* c = control->Container(); c; c = c->Container()) ++depth;
        if (depth > found_depth) {  // of two that overlap at one depth, the earlier lies on top
            found = control;
            found_depth = depth;
        }
    }
    if (found) return found;
    RECT where{};
    return FrameAt(point, where);
}

void Win32FormWindow::DropFiles(HDROP drop) {
    ui::DropData data;
    POINT point{};
    {
        // The drop is let go before the program handles it (a handler may show a message).
        unique_handle<HDROP, FinishDrop> owned(drop);
        const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
        for (UINT i = 0; i < count; ++i) {
            const UINT length = DragQueryFileW(drop, i, nullptr, 0);
            std::wstring name(static_cast<size_t>(length) + 1, L'\0');
            name.resize(DragQueryFileW(drop, i, name.data(), length + 1));
            data.files.push_back(Utf8(name));
        }
        DragQueryPoint(drop, &point);  // in the client area
    }
    // A window held by a modal form takes no input, drops included.
    if (data.files.empty() || !IsWindowEnabled(hwnd_)) return;
    ui::Control* target = ControlAt(point);
    ui::Form& form = *form_;
    UserEvent([&form, target, &data] { form.Drop(target, data); });
}

void Win32FormWindow::EnterPressed() {
    // A push button with the focus is clicked, as in a dialog. (The dialog manager clicks
    // only a default push button itself, and a window that is no dialog has none.) Else the
    // control with the focus hears the key when it takes keys, or the form does.
    HWND focus = GetFocus();
    ControlBinding* binding = nullptr;
    for (HWND h = focus; h && h != hwnd_ && !binding; h = GetParent(h)) binding = BindingOf(h);
    ui::Control* control = binding ? &binding->Control() : nullptr;
    ui::Form& form = *form_;
    UserEvent([&form, control] {
        if (control && control->GetKind() == ui::Kind::Button) {
            if (control->Enabled()) control->RaiseClick();
            return;
        }
        int key = 13;
        if (control && control->KeyPress)
            control->RaiseKeyPress(key);
        else if (form.KeyPress)
            form.KeyPress(key);
    });
}

LRESULT Win32FormWindow::ControlColors(ControlBinding& binding, HDC dc, int back) {
    const ui::Control& control = binding.Control();
    if (auto fore = control.ForeColor()) SetTextColor(dc, ColorRef(*fore));
    const COLORREF background = ColorRef(control.BackColor(), back);
    SetBkColor(dc, background);
    return reinterpret_cast<LRESULT>(BrushFor(background));
}

void Win32FormWindow::SurfaceMouse(UINT message, WPARAM wparam, LPARAM lparam) {
    POINT point{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
    RECT where{};
    ui::Control* frame = FrameAt(point, where);
    point.x -= where.left;
    point.y -= where.top;
    ui::Form& form = *form_;

    if (message == WM_MOUSELEAVE || message == WM_MOUSEMOVE) {
        ui::Control* left = hover_frame_;
        hover_frame_ = message == WM_MOUSEMOVE ? frame : nullptr;
        if (left && left != hover_frame_ && left->MouseLeave) UserEvent([left] { left->RaiseMouseLeave(); });
        if (message == WM_MOUSELEAVE || !form_) return;
        if (hover_frame_ && hover_frame_->MouseLeave) {
            TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, hwnd_, 0};
            TrackMouseEvent(&track);
        }
    }
    switch (message) {
        case WM_MOUSEMOVE:
            if (frame ? !frame->MouseMove : !form.MouseMove) return;
            UserEvent([frame, &form, args = MouseArgsOf(MouseButtonsHeld(wparam), wparam, point)] {
                if (frame)
                    frame->RaiseMouseMove(args);
                else
                    form.MouseMove(args);
            });
            return;
        case WM_LBUTTONDBLCLK:
            if (frame ? !frame->DblClick : !form.DblClick) return;
            UserEvent([frame, &form] {
                if (frame)
                    frame->RaiseDblClick();
                else
                    form.DblClick();
            });
            return;
        default:
            if (frame ? !frame->MouseDown : !form.MouseDown) return;
            UserEvent([frame, &form, args = MouseArgsOf(MouseButtonOf(message), wparam, point)] {
                if (frame)
                    frame->RaiseMouseDown(args);
                else
                    form.MouseDown(args);
            });
            return;
    }
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

HWND Win32FormWindow::ControlWindow(const ui::Control& control) const {
    ControlBinding* binding = BindingOf(control);
    return binding ? binding->Hwnd() : nullptr;
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
    // A place the program gave the window (in twips of the screen); once, so that a window
    // the user moved stays where it went.
    if (form_->Placed() && (form_->Left() != placed_.x || form_->Top() != placed_.y)) {
        placed_ = POINT{form_->Left(), form_->Top()};
        SetWindowPos(hwnd_, nullptr, Px(placed_.x), Px(placed_.y), 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    if (const bool accepts = form_->AcceptsDrops(); accepts != accepts_drops_) {
        DragAcceptFiles(hwnd_, accepts ? TRUE : FALSE);
        accepts_drops_ = accepts;
    }

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
            } else if (LOWORD(wparam) == IDOK) {
                EnterPressed();
            }
            return 0;
        case WM_DROPFILES:
            DropFiles(reinterpret_cast<HDROP>(wparam));
            return 0;
        case WM_VSCROLL:
            // From a scroll bar control (lparam); the binding decides when the model hears of
            // the move, and reports it as a user event itself.
            if (syncing_ || !lparam) break;
            if (ControlBinding* binding = BindingOf(reinterpret_cast<HWND>(lparam)))
                binding->Scroll(*this, LOWORD(wparam), HIWORD(wparam));
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
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
            // Text boxes and lists keep the usual window colours unless the model colours them.
            if (ControlBinding* binding = BindingOf(reinterpret_cast<HWND>(lparam));
                binding && (binding->Control().BackColor() || binding->Control().ForeColor()))
                return ControlColors(*binding, reinterpret_cast<HDC>(wparam), COLOR_WINDOW);
            break;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
            if (ControlBinding* binding = BindingOf(reinterpret_cast<HWND>(lparam)))
                return ControlColors(*binding, reinterpret_cast<HDC>(wparam), COLOR_BTNFACE);
            break;
        case WM_MOUSEMOVE:
            if (drag_.active)
                DragToMouse();
            else
                SurfaceMouse(message, wparam, lparam);
            return 0;
        case WM_MOUSELEAVE:
            SurfaceMouse(message, wparam, lparam);
            return 0;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDBLCLK:
            if (!drag_.active) SurfaceMouse(message, wparam, lparam);
            return 0;
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP:
            if (drag_.active && message == drag_.release) {
                DragToMouse();
                ReleaseCapture();  // ends the drag (WM_CAPTURECHANGED)
            }
            return 0;
        case WM_CAPTURECHANGED:
            drag_.active = false;
            return 0;
        case WM_SIZE: {
            if (corners_ >= 0 && wparam != SIZE_MINIMIZED) {
                RECT r{};
                GetWindowRect(hwnd_, &r);
                if (r.right - r.left != shaped_.cx || r.bottom - r.top != shaped_.cy) ApplyCorners();
            }
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
        case WM_ACTIVATE:
            // Like a dialog: the control that had the focus gets it back, else the first
            // one the Tab key reaches.
            if (LOWORD(wparam) == WA_INACTIVE) {
                HWND focus = GetFocus();
                if (focus && IsChild(hwnd_, focus)) last_focus_ = focus;
            } else if (!IsIconic(hwnd_)) {
                HWND target = last_focus_ && IsChild(hwnd_, last_focus_) && IsWindowVisible(last_focus_) &&
                                      IsWindowEnabled(last_focus_)
                                  ? last_focus_
                                  : GetNextDlgTabItem(hwnd_, nullptr, FALSE);
                if (target && SetFocus(target)) return 0;
            }
            break;
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
