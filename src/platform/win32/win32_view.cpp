#include "platform/win32/win32_view.h"

#include <algorithm>

#include "platform/win32/win32_text.h"

namespace varlindo::win32 {
namespace {

constexpr wchar_t kClassName[] = L"VarlindoForm";
constexpr UINT kFlushMessage = WM_APP + 1;
constexpr int kFirstId = 100;
constexpr int kComboListHeight = 160;  // pixels at 96 DPI for the drop-down part

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
    if (GetClassInfoExW(instance, kClassName, &wc)) return;
    wc.cbSize = sizeof wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.hIcon = large_icon;
    wc.hIconSm = small_icon;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kClassName;
    RegisterClassExW(&wc);
}

bool IsList(ui::Kind kind) { return kind == ui::Kind::ListBox || kind == ui::Kind::ComboBox; }

}  // namespace

FormView::FormView(ui::Form& form, HINSTANCE instance, HICON large_icon, HICON small_icon)
    : form_(form), instance_(instance), large_icon_(large_icon), small_icon_(small_icon) {
    RegisterClassOnce(instance_, large_icon_, small_icon_, &FormView::Trampoline);
    // No WS_CLIPCHILDREN: the frames (group boxes) rely on the parent painting their inside.
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    CreateWindowExW(0, kClassName, Wide(form_.Caption()).c_str(), style, CW_USEDEFAULT, CW_USEDEFAULT, 100, 100,
                    nullptr, nullptr, instance_, this);
    if (!hwnd_) return;
    dpi_ = WindowDpi(hwnd_);
    MakeFonts();
    CreateChildren();

    // Centre the window in the work area.
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int w = Px(form_.Width());
    const int h = Px(form_.Height());
    SetWindowPos(hwnd_, nullptr, work.left + (work.right - work.left - w) / 2, work.top + (work.bottom - work.top - h) / 2,
                 w, h, SWP_NOZORDER | SWP_NOACTIVATE);
    form_.AttachView(this);
    Flush();
}

FormView::~FormView() {
    form_.AttachView(nullptr);
    if (hwnd_) {
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
}

LRESULT CALLBACK FormView::Trampoline(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_NCCREATE) {
        auto* view = static_cast<FormView*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
        view->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(view));
    }
    auto* view = reinterpret_cast<FormView*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!view) return DefWindowProcW(hwnd, message, wparam, lparam);
    try {
        return view->Handle(message, wparam, lparam);
    } catch (...) {
        // A fault in one handler must never take the program down.
        OutputDebugStringW(L"Varlindo: an event handler failed\n");
        return 0;
    }
}

void FormView::MakeFonts() {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    LOGFONTW lf = metrics.lfMessageFont;
    lf.lfHeight = -MulDiv(9, static_cast<int>(dpi_), 72);
    font_.reset(CreateFontIndirectW(&lf));
    lf.lfWeight = FW_BOLD;
    bold_font_.reset(CreateFontIndirectW(&lf));
}

void FormView::CreateChildren() {
    int id = kFirstId;
    for (ui::Control* control : form_.Controls()) {
        auto child = std::make_unique<Child>();
        child->control = control;
        child->id = id++;
        if (control->GetKind() == ui::Kind::Timer) {
            auto* timer = static_cast<ui::Timer*>(control);
            SetTimer(hwnd_, static_cast<UINT_PTR>(child->id), static_cast<UINT>(timer->Interval()), nullptr);
            children_.push_back(std::move(child));
            continue;
        }
        const wchar_t* cls = L"STATIC";
        DWORD style = WS_CHILD | WS_CLIPSIBLINGS | (control->TabStop ? WS_TABSTOP : 0);
        DWORD ex_style = 0;
        switch (control->GetKind()) {
            case ui::Kind::Label:
                style &= ~static_cast<DWORD>(WS_TABSTOP);
                style |= SS_LEFT | SS_NOTIFY | (static_cast<ui::Label*>(control)->UseMnemonic ? 0 : SS_NOPREFIX);
                break;
            case ui::Kind::Button:
                cls = L"BUTTON";
                style |= static_cast<ui::Button*>(control)->Graphical ? BS_OWNERDRAW : BS_PUSHBUTTON;
                break;
            case ui::Kind::CheckBox:
                cls = L"BUTTON";
                style |= BS_CHECKBOX;
                break;
            case ui::Kind::Frame:
                cls = L"BUTTON";
                style &= ~static_cast<DWORD>(WS_TABSTOP);
                style |= BS_GROUPBOX;
                break;
            case ui::Kind::ListBox:
                cls = L"LISTBOX";
                style |= LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL;
                ex_style = WS_EX_CLIENTEDGE;
                break;
            case ui::Kind::ComboBox:
                cls = L"COMBOBOX";
                style |= CBS_DROPDOWNLIST | WS_VSCROLL;
                break;
            case ui::Kind::Timer:
                break;
        }
        child->hwnd = CreateWindowExW(ex_style, cls, L"", style, 0, 0, 0, 0, hwnd_,
                                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(child->id)), instance_, nullptr);
        children_.push_back(std::move(child));
    }
    // Earlier controls lie on top and come first with Tab; frames lie under everything.
    HWND after = HWND_TOP;
    for (auto& child : children_) {
        if (!child->hwnd || child->control->GetKind() == ui::Kind::Frame) continue;
        SetWindowPos(child->hwnd, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        after = child->hwnd;
    }
    for (auto& child : children_)
        if (child->hwnd && child->control->GetKind() == ui::Kind::Frame)
            SetWindowPos(child->hwnd, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    for (auto& child : children_) dirty_.insert(child->control);
}

RECT FormView::ChildRect(const ui::Control& control) const {
    int left = control.Left();
    int top = control.Top();
    for (const ui::Control* c = control.Container(); c; c = c->Container()) {
        left += c->Left();
        top += c->Top();
    }
    RECT r{Px(left), Px(top), Px(left + control.Width()), Px(top + control.Height())};
    if (control.GetKind() == ui::Kind::ComboBox) r.bottom += MulDiv(kComboListHeight, static_cast<int>(dpi_), 96);
    return r;
}

FormView::Child* FormView::ChildById(int id) {
    const size_t index = static_cast<size_t>(id - kFirstId);
    return id >= kFirstId && index < children_.size() ? children_[index].get() : nullptr;
}

FormView::Child* FormView::ChildOf(const ui::Control& control) {
    for (auto& child : children_)
        if (child->control == &control) return child.get();
    return nullptr;
}

void FormView::ControlChanged(ui::Control& control) {
    dirty_.insert(&control);
    ScheduleFlush();
}

void FormView::FormChanged() {
    form_dirty_ = true;
    ScheduleFlush();
}

void FormView::FocusControl(ui::Control& control) {
    Flush();
    if (Child* child = ChildOf(control); child && child->hwnd && IsWindowVisible(child->hwnd)) SetFocus(child->hwnd);
}

void FormView::ActivateForm() {
    Flush();
    if (!IsWindowVisible(hwnd_)) return;
    if (IsIconic(hwnd_)) ShowWindow(hwnd_, SW_RESTORE);
    SetForegroundWindow(hwnd_);
    BringWindowToTop(hwnd_);
}

void FormView::ScheduleFlush() {
    if (flush_posted_ || !hwnd_) return;
    flush_posted_ = PostMessageW(hwnd_, kFlushMessage, 0, 0) != 0;
}

void FormView::Flush() {
    if (syncing_ || !hwnd_) return;
    syncing_ = true;
    if (form_dirty_) {
        form_dirty_ = false;
        SyncForm();
    }
    auto dirty = std::move(dirty_);
    dirty_.clear();
    for (auto& child : children_)
        if (dirty.count(child->control)) SyncChild(*child);
    syncing_ = false;
}

void FormView::SyncForm() {
    const std::wstring caption = Wide(form_.Caption());
    wchar_t current[256] = {};
    GetWindowTextW(hwnd_, current, 256);
    if (caption != current) SetWindowTextW(hwnd_, caption.c_str());

    RECT r{};
    GetWindowRect(hwnd_, &r);
    if (!IsIconic(hwnd_) && (r.right - r.left != Px(form_.Width()) || r.bottom - r.top != Px(form_.Height())))
        SetWindowPos(hwnd_, nullptr, 0, 0, Px(form_.Width()), Px(form_.Height()),
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

    if (!form_.Visible()) {
        if (IsWindowVisible(hwnd_)) ShowWindow(hwnd_, SW_HIDE);
        return;
    }
    switch (form_.GetWindowState()) {
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

void FormView::SyncChild(Child& child) {
    ui::Control& c = *child.control;
    HWND h = child.hwnd;
    if (!h) return;

    if (c.GetKind() != ui::Kind::ListBox && c.GetKind() != ui::Kind::ComboBox) {
        const std::wstring text = WideLines(c.Caption());
        const int length = GetWindowTextLengthW(h);
        std::wstring current(static_cast<size_t>(length) + 1, L'\0');
        GetWindowTextW(h, current.data(), length + 1);
        current.resize(static_cast<size_t>(length));
        if (current != text) SetWindowTextW(h, text.c_str());
    }

    const RECT want = ChildRect(c);
    RECT have{};
    GetWindowRect(h, &have);
    MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&have), 2);
    if (!EqualRect(&want, &have))
        SetWindowPos(h, nullptr, want.left, want.top, want.right - want.left, want.bottom - want.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);

    HFONT font = c.FontBold() ? bold_font_.get() : font_.get();
    if (reinterpret_cast<HFONT>(SendMessageW(h, WM_GETFONT, 0, 0)) != font)
        SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);

    if (IsList(c.GetKind())) {
        auto& list = static_cast<ui::ListControl&>(c);
        const bool combo = c.GetKind() == ui::Kind::ComboBox;
        if (child.items != list.Items()) {
            SendMessageW(h, WM_SETREDRAW, FALSE, 0);
            SendMessageW(h, combo ? CB_RESETCONTENT : LB_RESETCONTENT, 0, 0);
            for (const std::string& item : list.Items())
                SendMessageW(h, combo ? CB_ADDSTRING : LB_ADDSTRING, 0,
                             reinterpret_cast<LPARAM>(Wide(item).c_str()));
            SendMessageW(h, WM_SETREDRAW, TRUE, 0);
            InvalidateRect(h, nullptr, TRUE);
            child.items = list.Items();
            child.selection = -2;
        }
        int selection = list.ListIndex();
        if (combo && selection < 0) {
            // A drop-down list shows the entry whose text the model holds.
            const auto& items = list.Items();
            auto it = std::find(items.begin(), items.end(), static_cast<ui::ComboBox&>(c).Text());
            if (it != items.end()) selection = static_cast<int>(it - items.begin());
        }
        if (child.selection != selection) {
            SendMessageW(h, combo ? CB_SETCURSEL : LB_SETCURSEL, static_cast<WPARAM>(selection), 0);
            child.selection = selection;
        }
    }
    if (c.GetKind() == ui::Kind::CheckBox)
        SendMessageW(h, BM_SETCHECK, static_cast<ui::CheckBox&>(c).Value() == 1 ? BST_CHECKED : BST_UNCHECKED, 0);

    if ((IsWindowEnabled(h) != FALSE) != c.Enabled()) EnableWindow(h, c.Enabled());
    const bool shown = (GetWindowLongW(h, GWL_STYLE) & WS_VISIBLE) != 0;
    if (shown != c.Shown()) ShowWindow(h, c.Shown() ? SW_SHOWNA : SW_HIDE);
    // Colours and the owner-drawn face are painted from the model.
    if (c.GetKind() == ui::Kind::Button || c.GetKind() == ui::Kind::Label) InvalidateRect(h, nullptr, TRUE);
}

void FormView::LayoutAll() {
    for (auto& child : children_) dirty_.insert(child->control);
    form_dirty_ = true;
    Flush();
}

HBRUSH FormView::BrushFor(COLORREF color) {
    for (auto& [c, brush] : brushes_)
        if (c == color) return brush.get();
    brushes_.emplace_back(color, unique_brush(CreateSolidBrush(color)));
    return brushes_.back().second.get();
}

void FormView::OnCommand(int id, int code) {
    Child* child = ChildById(id);
    if (!child || syncing_) return;
    ui::Control& c = *child->control;
    switch (c.GetKind()) {
        case ui::Kind::Button:
            if (code == BN_CLICKED) c.RaiseClick();
            break;
        case ui::Kind::CheckBox:
            if (code == BN_CLICKED) static_cast<ui::CheckBox&>(c).UserToggle();
            break;
        case ui::Kind::ListBox:
        case ui::Kind::ComboBox: {
            // The list box and combo box notifications that mean the same thing.
            const bool combo = c.GetKind() == ui::Kind::ComboBox;
            if (code == (combo ? CBN_SELCHANGE : LBN_SELCHANGE)) {
                const int index = static_cast<int>(SendMessageW(child->hwnd, combo ? CB_GETCURSEL : LB_GETCURSEL, 0, 0));
                child->selection = index;
                static_cast<ui::ListControl&>(c).UserSelect(index);
            } else if (!combo && code == LBN_DBLCLK) {
                c.RaiseDblClick();
            } else if (code == (combo ? CBN_SETFOCUS : LBN_SETFOCUS)) {
                c.RaiseGotFocus();
            } else if (code == (combo ? CBN_KILLFOCUS : LBN_KILLFOCUS)) {
                c.RaiseLostFocus();
            }
            break;
        }
        case ui::Kind::Label:
            if (code == STN_DBLCLK) c.RaiseDblClick();
            else if (code == STN_CLICKED) c.RaiseClick();
            break;
        default:
            break;
    }
    Flush();
}

bool FormView::DrawButton(const DRAWITEMSTRUCT& item) {
    Child* child = ChildById(static_cast<int>(item.CtlID));
    if (!child) return false;
    const ui::Control& c = *child->control;
    HDC dc = item.hDC;
    RECT r = item.rcItem;
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    FillRect(dc, &r, BrushFor(c.BackColor().value_or(GetSysColor(COLOR_BTNFACE))));
    DrawEdge(dc, &r, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);

    const std::wstring text = WideLines(c.Caption());
    HGDIOBJ old_font = SelectObject(dc, c.FontBold() ? bold_font_.get() : font_.get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor((item.itemState & ODS_DISABLED) ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
    RECT text_rect = r;
    InflateRect(&text_rect, -4, -2);
    RECT measure = text_rect;
    DrawTextW(dc, text.c_str(), -1, &measure, DT_CENTER | DT_WORDBREAK | DT_CALCRECT);
    const int offset = ((text_rect.bottom - text_rect.top) - (measure.bottom - measure.top)) / 2;
    text_rect.top += std::max(0, offset) + (pressed ? 1 : 0);
    text_rect.left += pressed ? 1 : 0;
    DrawTextW(dc, text.c_str(), -1, &text_rect,
              DT_CENTER | DT_WORDBREAK | ((item.itemState & ODS_NOACCEL) ? DT_HIDEPREFIX : 0));
    SelectObject(dc, old_font);

    if (item.itemState & ODS_FOCUS) {
        RECT focus = r;
        InflateRect(&focus, -4, -4);
        DrawFocusRect(dc, &focus);
    }
    return true;
}

LRESULT FormView::Handle(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case kFlushMessage:
            flush_posted_ = false;
            Flush();
            return 0;
        case WM_COMMAND:
            if (lparam) {
                OnCommand(LOWORD(wparam), HIWORD(wparam));
            } else if (LOWORD(wparam) == IDCANCEL && form_.KeyPress) {
                int key = 27;  // Esc, as the dialog manager reports it
                form_.KeyPress(key);
                Flush();
            }
            return 0;
        case WM_TIMER:
            if (Child* child = ChildById(static_cast<int>(wparam)); child && child->control->GetKind() == ui::Kind::Timer) {
                static_cast<ui::Timer*>(child->control)->RaiseTick();
                Flush();
            }
            return 0;
        case WM_DRAWITEM:
            if (DrawButton(*reinterpret_cast<const DRAWITEMSTRUCT*>(lparam))) return TRUE;
            break;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN: {
            for (auto& child : children_) {
                if (child->hwnd != reinterpret_cast<HWND>(lparam)) continue;
                HDC dc = reinterpret_cast<HDC>(wparam);
                if (auto fore = child->control->ForeColor()) SetTextColor(dc, *fore);
                const COLORREF back = child->control->BackColor().value_or(GetSysColor(COLOR_BTNFACE));
                SetBkColor(dc, back);
                return reinterpret_cast<LRESULT>(BrushFor(back));
            }
            break;
        }
        case WM_SIZE:
            if (wparam == SIZE_MINIMIZED && form_.GetWindowState() != ui::WindowState::Minimized) {
                form_.SetWindowState(ui::WindowState::Minimized);
                Flush();
            } else if (wparam == SIZE_RESTORED && form_.GetWindowState() == ui::WindowState::Minimized) {
                form_.SetWindowState(ui::WindowState::Normal);
                Flush();
            }
            return 0;
        case WM_DPICHANGED: {
            dpi_ = HIWORD(wparam);
            MakeFonts();
            const RECT* suggested = reinterpret_cast<const RECT*>(lparam);
            SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                         suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
            for (auto& child : children_) child->selection = -2;
            LayoutAll();
            return 0;
        }
        case WM_CLOSE:
            if (OnClose) OnClose();
            Flush();
            return 0;
        case WM_QUERYENDSESSION:
            return OnQueryEndSession ? OnQueryEndSession() : TRUE;
        case WM_ENDSESSION:
            if (wparam && OnEndSession) OnEndSession();
            return 0;
        default:
            if (OnOtherMessage && (message == 818 || message >= 0xC000)) {
                OnOtherMessage(message, wparam);
                Flush();
                return 0;
            }
            break;
    }
    return DefWindowProcW(hwnd_, message, wparam, lparam);
}

}  // namespace varlindo::win32
