// A vertical slider: a SCROLLBAR control. The model's range may run either way (a level
// slider has 100 at the top and 0 at the bottom); the control always counts from 0 at the
// top, so its position is the distance from the model's top value. The thumb follows the
// user's arrows, page clicks and drags at once, but the model hears of the move only once,
// when the user is done: at the release of the mouse, or after each key.

#include "platform/win32/win32_binding.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdlib>

#include "platform/win32/win32_form_window.h"

namespace varlindo::win32 {
namespace {

class VScrollBarBinding final : public ControlBinding {
public:
    explicit VScrollBarBinding(ui::VScrollBar& bar) : ControlBinding(bar), bar_(bar) {}

    void Create(Win32FormWindow& window, int id) override {
        MakeChild(window, id, L"SCROLLBAR", SBS_VERT | (bar_.TabStop ? WS_TABSTOP : 0));
        window_ = &window;
        // Keys and focus: the control handles the keys itself and tells the form, but says
        // nothing when a key's move is done, and sends no focus notifications.
        if (hwnd_) SetWindowSubclass(hwnd_, &VScrollBarBinding::KeyProc, 1, reinterpret_cast<DWORD_PTR>(this));
    }

    void Sync(Win32FormWindow& window) override {
        if (!hwnd_) return;
        // While the user holds the thumb or an arrow, the thumb stays where the user put it;
        // the model's value shows once the move is reported.
        if (!(moved_ && bar_.Enabled() && GetCapture() == hwnd_)) Show(PositionOf(bar_.Value()));
        // Enabled after the range is set: setting a range enables the arrows and the thumb
        // again, and a disabled slider shows neither.
        ControlBinding::Sync(window);
    }

    // `thumb` has 16 bits, plenty for a slider's range.
    void Scroll(Win32FormWindow& window, int code, int thumb) override {
        if (!hwnd_) return;
        if (!bar_.Enabled()) {  // a disabled slider takes no move (nor one sent from outside)
            moved_ = false;
            Show(PositionOf(bar_.Value()));
            return;
        }
        const int now = Shown();
        int position = now;
        switch (code) {
            case SB_LINEUP: position -= bar_.SmallChange; break;
            case SB_LINEDOWN: position += bar_.SmallChange; break;
            case SB_PAGEUP: position -= bar_.LargeChange; break;
            case SB_PAGEDOWN: position += bar_.LargeChange; break;
            case SB_TOP: position = 0; break;
            case SB_BOTTOM: position = Span(); break;
            case SB_THUMBTRACK:
            case SB_THUMBPOSITION: position = thumb; break;
            case SB_ENDSCROLL: break;
            default: return;
        }
        position = std::clamp(position, 0, Span());
        if (position != now) {
            Show(position);
            moved_ = true;
        }
        if (code == SB_THUMBPOSITION || code == SB_ENDSCROLL || keying_) Report(window);
    }

private:
    static LRESULT CALLBACK KeyProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                                    DWORD_PTR self) {
        auto* binding = reinterpret_cast<VScrollBarBinding*>(self);
        switch (message) {
            case WM_NCDESTROY:
                RemoveWindowSubclass(hwnd, &VScrollBarBinding::KeyProc, 1);
                break;
            case WM_KEYDOWN: {
                // The move of this key is reported as soon as the control has made it. The
                // form may go meanwhile; its window object, and so this binding, stays.
                const auto keep = binding->window_->weak_from_this().lock();
                const bool outer = !binding->keying_;
                binding->keying_ = true;
                const LRESULT result = DefSubclassProc(hwnd, message, wparam, lparam);
                if (outer) binding->keying_ = false;
                return result;
            }
            case WM_SETFOCUS:
            case WM_KILLFOCUS: {
                const LRESULT result = DefSubclassProc(hwnd, message, wparam, lparam);
                try {
                    binding->RaiseFocus(message == WM_SETFOCUS);
                } catch (...) {
                    // A fault in one handler must never take the program down.
                    OutputDebugStringW(L"Varlindo: an event handler failed\n");
                }
                return result;
            }
            default:
                break;
        }
        return DefSubclassProc(hwnd, message, wparam, lparam);
    }

    void RaiseFocus(bool got) {
        ui::VScrollBar& bar = bar_;
        if (!(got ? bar.GotFocus : bar.LostFocus)) return;
        const auto keep = window_->weak_from_this().lock();
        window_->UserAction([&bar, got] {
            if (got)
                bar.RaiseGotFocus();
            else
                bar.RaiseLostFocus();
        });
    }

    // The user's move, once: the model takes the value the thumb shows.
    void Report(Win32FormWindow& window) {
        if (!moved_) return;
        moved_ = false;
        const int value = ValueOf(Shown());
        if (value == bar_.Value()) return;
        const auto keep = window.weak_from_this().lock();
        ui::VScrollBar& bar = bar_;
        window.UserAction([&bar, value] { bar.UserSet(value); });
        // The model may have kept another value (or the control went with the form).
        if (window.Attached() && IsWindow(hwnd_) && Shown() != PositionOf(bar_.Value())) Show(PositionOf(bar_.Value()));
    }

    // Positions run from 0 at the top to Span() at the bottom.
    int Span() const { return std::abs(bar_.Max() - bar_.Min()); }
    int Direction() const { return bar_.Max() >= bar_.Min() ? 1 : -1; }
    int PositionOf(int value) const { return std::clamp((value - bar_.Min()) * Direction(), 0, Span()); }
    int ValueOf(int position) const { return bar_.Min() + position * Direction(); }

    int Shown() const {
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        info.fMask = SIF_POS;
        GetScrollInfo(hwnd_, SB_CTL, &info);
        return info.nPos;
    }
    void Show(int position) {
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        info.fMask = SIF_POS | SIF_RANGE;
        GetScrollInfo(hwnd_, SB_CTL, &info);
        const bool range = info.nMin != 0 || info.nMax != Span();
        if (!range && info.nPos == position) return;
        // Only a new range is set: setting it enables a disabled slider's arrows again.
        info.fMask = SIF_POS | (range ? SIF_RANGE : 0);
        info.nMin = 0;
        info.nMax = Span();
        info.nPos = position;
        SetScrollInfo(hwnd_, SB_CTL, &info, TRUE);  // no WM_VSCROLL: nothing echoes to the model
    }

    ui::VScrollBar& bar_;
    Win32FormWindow* window_ = nullptr;
    bool moved_ = false;   // the thumb moved and the model has not heard of it yet
    bool keying_ = false;  // inside the control's handling of a key
};

}  // namespace

std::unique_ptr<ControlBinding> BindVScrollBar(ui::VScrollBar& bar) {
    return std::make_unique<VScrollBarBinding>(bar);
}

}  // namespace varlindo::win32
