#include "platform/win32/win32_binding.h"

#include <commctrl.h>
#include <windowsx.h>

#include "platform/win32/win32_form_window.h"
#include "platform/win32/win32_text.h"

namespace varlindo::win32 {

std::unique_ptr<ControlBinding> BindControl(ui::Control& control) {
    switch (control.GetKind()) {
        case ui::Kind::Label: return BindLabel(static_cast<ui::Label&>(control));
        case ui::Kind::Button: return BindButton(static_cast<ui::Button&>(control));
        case ui::Kind::CheckBox: return BindCheckBox(static_cast<ui::CheckBox&>(control));
        case ui::Kind::Frame: return BindFrame(static_cast<ui::Frame&>(control));
        case ui::Kind::ListBox: return BindListBox(static_cast<ui::ListBox&>(control));
        case ui::Kind::ComboBox: return BindComboBox(static_cast<ui::ComboBox&>(control));
        case ui::Kind::Timer: return BindTimer(static_cast<ui::Timer&>(control));
        case ui::Kind::TextBox: return BindTextBox(static_cast<ui::TextBox&>(control));
        case ui::Kind::PictureBox: return BindPictureBox(static_cast<ui::PictureBox&>(control));
        case ui::Kind::VScrollBar: return BindVScrollBar(static_cast<ui::VScrollBar&>(control));
        // The file chooser's lists are a drop-down list and list boxes whose models fill them.
        case ui::Kind::DriveListBox: return BindComboBox(static_cast<ui::ComboBox&>(control));
        case ui::Kind::DirListBox:
        case ui::Kind::FileListBox: return BindListBox(static_cast<ui::ListBox&>(control));
    }
    return nullptr;
}

void ControlBinding::MakeChild(Win32FormWindow& window, int id, const wchar_t* window_class, DWORD style,
                               DWORD ex_style) {
    id_ = id;
    style |= WS_CHILD | WS_CLIPSIBLINGS;
    hwnd_ = CreateWindowExW(ex_style, window_class, L"", style, 0, 0, 0, 0, window.Hwnd(),
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), window.Instance(), nullptr);
    window_ = &window;
    if (hwnd_) SetWindowSubclass(hwnd_, &ControlBinding::InputProc, 0, reinterpret_cast<DWORD_PTR>(this));
}

LRESULT CALLBACK ControlBinding::InputProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                                           DWORD_PTR self) {
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(hwnd, &ControlBinding::InputProc, 0);
        return DefSubclassProc(hwnd, message, wparam, lparam);
    }
    try {
        return reinterpret_cast<ControlBinding*>(self)->Input(hwnd, message, wparam, lparam);
    } catch (...) {
        // A fault in one handler must never take the program down.
        OutputDebugStringW(L"Varlindo: an event handler failed\n");
        return 0;
    }
}

bool ControlBinding::RaiseUserEvent(HWND hwnd, const std::function<void()>& handler) {
    // The handler may unload the form: its window object stays until the handler is done.
    const auto keep = window_->weak_from_this().lock();
    window_->UserAction(handler);
    return IsWindow(hwnd) != FALSE;
}

LRESULT ControlBinding::Input(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    ui::Control& control = control_;
    switch (message) {
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_RBUTTONDBLCLK:  // a quick second press of these buttons is a press too
        case WM_MBUTTONDBLCLK:
            if (control.MouseDown) {
                const ui::MouseArgs args =
                    window_->MouseArgsOf(MouseButtonOf(message), wparam, POINT{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)});
                if (!RaiseUserEvent(hwnd, [&control, args] { control.RaiseMouseDown(args); })) return 0;
                // The handler began to move the window: the press belongs to the move, as a
                // press on the title bar would, and the control does not see it (no click).
                if (window_->Dragging()) return 0;
            }
            break;
        case WM_MOUSEMOVE:
            if (control.MouseLeave) {
                TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, hwnd, 0};
                TrackMouseEvent(&track);
            }
            if (control.MouseMove) {
                const ui::MouseArgs args = window_->MouseArgsOf(MouseButtonsHeld(wparam), wparam,
                                                                POINT{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)});
                if (!RaiseUserEvent(hwnd, [&control, args] { control.RaiseMouseMove(args); })) return 0;
            }
            break;
        case WM_MOUSELEAVE:
            if (control.MouseLeave && !RaiseUserEvent(hwnd, [&control] { control.RaiseMouseLeave(); })) return 0;
            break;
        case WM_CHAR:
            if (control.KeyPress) {
                int key = static_cast<int>(wparam);
                if (!RaiseUserEvent(hwnd, [&control, &key] { key = control.RaiseKeyPress(key); })) return 0;
                if (key == 0) return 0;  // discarded: the control never sees it
                wparam = static_cast<WPARAM>(key);
            }
            break;
        default:
            break;
    }
    return DefSubclassProc(hwnd, message, wparam, lparam);
}

RECT ControlBinding::Placement(Win32FormWindow& window) const { return window.ChildRect(control_); }

void ControlBinding::Sync(Win32FormWindow& window) {
    if (!hwnd_) return;
    const RECT want = Placement(window);
    RECT have{};
    GetWindowRect(hwnd_, &have);
    MapWindowPoints(nullptr, window.Hwnd(), reinterpret_cast<POINT*>(&have), 2);
    if (!EqualRect(&want, &have))
        SetWindowPos(hwnd_, nullptr, want.left, want.top, want.right - want.left, want.bottom - want.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);

    HFONT font = window.Font(control_.FontBold());
    if (reinterpret_cast<HFONT>(SendMessageW(hwnd_, WM_GETFONT, 0, 0)) != font)
        SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);

    if ((IsWindowEnabled(hwnd_) != FALSE) != control_.Enabled()) EnableWindow(hwnd_, control_.Enabled());
    const bool shown = (GetWindowLongW(hwnd_, GWL_STYLE) & WS_VISIBLE) != 0;
    if (shown != control_.Shown()) {
        ShowWindow(hwnd_, control_.Shown() ? SW_SHOWNA : SW_HIDE);
        // Shown under a mouse that does not move (a picture that takes another's place):
        // it sees no mouse move, but must still hear when the mouse leaves.
        POINT mouse{};
        if (control_.Shown() && control_.MouseLeave && GetCursorPos(&mouse) && WindowFromPoint(mouse) == hwnd_) {
            TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, hwnd_, 0};
            TrackMouseEvent(&track);
        }
    }

    if (shown_tip_ != control_.ToolTipText()) {
        window.SetToolTip(hwnd_, control_.ToolTipText());
        shown_tip_ = control_.ToolTipText();
    }
}

void ControlBinding::SyncCaption() {
    const std::wstring text = WideLines(control_.Caption());
    const int length = GetWindowTextLengthW(hwnd_);
    std::wstring current(static_cast<size_t>(length) + 1, L'\0');
    GetWindowTextW(hwnd_, current.data(), length + 1);
    current.resize(static_cast<size_t>(length));
    if (current != text) SetWindowTextW(hwnd_, text.c_str());
}

void ControlBinding::SyncCaptioned(Win32FormWindow& window, bool repaint) {
    if (!hwnd_) return;
    SyncCaption();
    ControlBinding::Sync(window);
    if (repaint) InvalidateRect(hwnd_, nullptr, TRUE);
}

void ControlBinding::SyncItems(const std::vector<std::string>& items, int selection, const ListMessages& messages) {
    if (shown_items_ != items) {
        SendMessageW(hwnd_, WM_SETREDRAW, FALSE, 0);
        SendMessageW(hwnd_, messages.reset, 0, 0);
        for (const std::string& item : items)
            SendMessageW(hwnd_, messages.add, 0, reinterpret_cast<LPARAM>(Wide(item).c_str()));
        SendMessageW(hwnd_, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(hwnd_, nullptr, TRUE);
        shown_items_ = items;
        shown_selection_ = -2;
    }
    if (shown_selection_ != selection) {
        SendMessageW(hwnd_, messages.select, static_cast<WPARAM>(selection), 0);
        shown_selection_ = selection;
    }
}

void ControlBinding::UserChose(ui::ListControl& list, UINT get_selection) {
    const int index = static_cast<int>(SendMessageW(hwnd_, get_selection, 0, 0));
    shown_selection_ = index;
    list.UserSelect(index);
}

}  // namespace varlindo::win32
