// A picture box: draws the model's picture at the largest size drawn for it that fits the
// control, on the model's back colour, and reports clicks.

#include "platform/win32/win32_binding.h"
#include "platform/win32/win32_form_window.h"

namespace varlindo::win32 {
namespace {

class PictureBoxBinding final : public ControlBinding {
public:
    explicit PictureBoxBinding(ui::PictureBox& picture) : ControlBinding(picture), picture_(picture) {}

    void Create(Win32FormWindow& window, int id) override {
        MakeChild(window, id, L"STATIC", SS_OWNERDRAW | SS_NOTIFY);
    }
    void Sync(Win32FormWindow& window) override {
        if (!hwnd_) return;
        ControlBinding::Sync(window);
        if (shown_ != picture_.Picture() || shown_back_ != picture_.BackColor()) {
            shown_ = picture_.Picture();
            shown_back_ = picture_.BackColor();
            InvalidateRect(hwnd_, nullptr, TRUE);
        }
    }
    void Notify(int code) override {
        if (code == STN_DBLCLK)
            picture_.RaiseDblClick();
        else if (code == STN_CLICKED)
            picture_.RaiseClick();
    }
    bool Draw(Win32FormWindow& window, const DRAWITEMSTRUCT& item) override {
        FillRect(item.hDC, &item.rcItem, window.BrushFor(ColorRef(picture_.BackColor(), COLOR_BTNFACE)));
        window.Pictures().Draw(item.hDC, item.rcItem, picture_.Picture(), false);
        return true;
    }
    void Forget() override { InvalidateRect(hwnd_, nullptr, TRUE); }

private:
    ui::PictureBox& picture_;
    ui::Image shown_ = ui::Image::None;
    std::optional<ui::Color> shown_back_;
};

}  // namespace

std::unique_ptr<ControlBinding> BindPictureBox(ui::PictureBox& picture) {
    return std::make_unique<PictureBoxBinding>(picture);
}

}  // namespace varlindo::win32
