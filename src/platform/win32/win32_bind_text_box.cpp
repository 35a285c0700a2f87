// A text box: a one-line edit field. What the user types goes to the model as it is typed;
// the model's own changes are written to the field only when they differ from what it
// shows, so the caret never jumps while the user types. The caret moves only when the
// model places it (SetSelStart), and the field scrolls to show it.

#include <algorithm>
#include <optional>

#include "platform/win32/win32_binding.h"
#include "platform/win32/win32_form_window.h"
#include "platform/win32/win32_text.h"

namespace varlindo::win32 {
namespace {

// The number of UTF-16 units in the first `bytes` bytes of a UTF-8 text; a place inside a
// character counts as the place before it.
int WideLength(const std::string& text, int bytes) {
    size_t end = std::min(text.size(), static_cast<size_t>(std::max(bytes, 0)));
    while (end > 0 && end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    return static_cast<int>(Wide(std::string_view(text).substr(0, end)).size());
}

class TextBoxBinding final : public ControlBinding {
public:
    explicit TextBoxBinding(ui::TextBox& box) : ControlBinding(box), box_(box) {}

    void Create(Win32FormWindow& window, int id) override {
        MakeChild(window, id, L"EDIT", ES_LEFT | ES_AUTOHSCROLL | (box_.TabStop ? WS_TABSTOP : 0), WS_EX_CLIENTEDGE);
    }
    void Sync(Win32FormWindow& window) override {
        if (!hwnd_) return;
        const std::wstring text = Wide(box_.Text());
        if (Shown() != text) SetWindowTextW(hwnd_, text.c_str());
        ControlBinding::Sync(window);  // placed and sized first, so that the caret scrolls in view
        if (placements_ != box_.SelPlacements()) {
            placements_ = box_.SelPlacements();
            const int at = WideLength(box_.Text(), box_.SelStart());
            SendMessageW(hwnd_, EM_SETSEL, static_cast<WPARAM>(at), static_cast<LPARAM>(at));
            SendMessageW(hwnd_, EM_SCROLLCARET, 0, 0);
        }
        // The field asks for its colours each time it paints (WM_CTLCOLOREDIT).
        if (shown_fore_ != box_.ForeColor() || shown_back_ != box_.BackColor()) {
            shown_fore_ = box_.ForeColor();
            shown_back_ = box_.BackColor();
            InvalidateRect(hwnd_, nullptr, TRUE);
        }
    }
    void Notify(int code) override {
        switch (code) {
            case EN_CHANGE: box_.UserEdit(Utf8(Shown())); break;
            case EN_SETFOCUS: box_.RaiseGotFocus(); break;
            case EN_KILLFOCUS: box_.RaiseLostFocus(); break;
            default: break;
        }
    }
    void Forget() override { InvalidateRect(hwnd_, nullptr, TRUE); }

private:
    // The text the field shows.
    std::wstring Shown() const {
        const int length = GetWindowTextLengthW(hwnd_);
        std::wstring text(static_cast<size_t>(length) + 1, L'\0');
        text.resize(static_cast<size_t>(GetWindowTextW(hwnd_, text.data(), length + 1)));
        return text;
    }

    ui::TextBox& box_;
    int placements_ = 0;  // the model's caret placements the field has followed
    std::optional<ui::Color> shown_fore_, shown_back_;
};

}  // namespace

std::unique_ptr<ControlBinding> BindTextBox(ui::TextBox& box) { return std::make_unique<TextBoxBinding>(box); }

}  // namespace varlindo::win32
