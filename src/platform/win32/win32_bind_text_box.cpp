// A text box: a one-line edit field. What the user types goes to the model as it is typed;
// the model's own changes are written to the field only when they differ from what it
// shows, so the caret never jumps while the user types.

#include "platform/win32/win32_binding.h"
#include "platform/win32/win32_form_window.h"
#include "platform/win32/win32_text.h"

namespace varlindo::win32 {
namespace {

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
        ControlBinding::Sync(window);
    }
    void Notify(int code) override {
        switch (code) {
            case EN_CHANGE: box_.UserEdit(Utf8(Shown())); break;
            case EN_SETFOCUS: box_.RaiseGotFocus(); break;
            case EN_KILLFOCUS: box_.RaiseLostFocus(); break;
            default: break;
        }
    }

private:
    // The text the field shows.
    std::wstring Shown() const {
        const int length = GetWindowTextLengthW(hwnd_);
        std::wstring text(static_cast<size_t>(length) + 1, L'\0');
        text.resize(static_cast<size_t>(GetWindowTextW(hwnd_, text.data(), length + 1)));
        return text;
    }

    ui::TextBox& box_;
};

}  // namespace

std::unique_ptr<ControlBinding> BindTextBox(ui::TextBox& box) { return std::make_unique<TextBoxBinding>(box); }

}  // namespace varlindo::win32
