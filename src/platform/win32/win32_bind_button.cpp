// A push button. A graphical button draws its face itself, in the colours and font the
// model gives it, or only its picture when it has one (greyed while disabled).

#include <algorithm>

#include "platform/win32/win32_binding.h"
#include "platform/win32/win32_form_window.h"
#include "platform/win32/win32_text.h"

namespace varlindo::win32 {
namespace {

class ButtonBinding final : public ControlBinding {
public:
    explicit ButtonBinding(ui::Button& button) : ControlBinding(button), button_(button) {}

    void Create(Win32FormWindow& window, int id) override {
        MakeChild(window, id, L"BUTTON",
                  (button_.Graphical ? BS_OWNERDRAW : BS_PUSHBUTTON) | (button_.TabStop ? WS_TABSTOP : 0));
    }
    void Sync(Win32FormWindow& window) override { SyncCaptioned(window, true); }  // the face follows the model
    void Notify(int code) override {
        if (code == BN_CLICKED) button_.RaiseClick();
    }
    bool Draw(Win32FormWindow& window, const DRAWITEMSTRUCT& item) override;

private:
    void DrawCaption(Win32FormWindow& window, const DRAWITEMSTRUCT& item, RECT r, bool pressed);
    ui::Button& button_;
};

bool ButtonBinding::Draw(Win32FormWindow& window, const DRAWITEMSTRUCT& item) {
    HDC dc = item.hDC;
    RECT r = item.rcItem;
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    FillRect(dc, &r, window.BrushFor(ColorRef(button_.BackColor(), COLOR_BTNFACE)));
    DrawEdge(dc, &r, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);

    if (button_.Picture() != ui::Image::None) {
        RECT inside = r;
        InflateRect(&inside, -3, -3);
        OffsetRect(&inside, pressed ? 1 : 0, pressed ? 1 : 0);
        window.Pictures().Draw(dc, inside, button_.Picture(), (item.itemState & ODS_DISABLED) != 0);
    } else {
        DrawCaption(window, item, r, pressed);
    }

    if (item.itemState & ODS_FOCUS) {
        RECT focus = r;
        InflateRect(&focus, -4, -4);
        DrawFocusRect(dc, &focus);
    }
    return true;
}

void ButtonBinding::DrawCaption(Win32FormWindow& window, const DRAWITEMSTRUCT& item, RECT r, bool pressed) {
    HDC dc = item.hDC;
    const std::wstring text = WideLines(button_.Caption());
    HGDIOBJ old_font = SelectObject(dc, window.Font(button_.FontBold()));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, (item.itemState & ODS_DISABLED) ? GetSysColor(COLOR_GRAYTEXT)
                                                     : ColorRef(button_.ForeColor(), COLOR_BTNTEXT));
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
}

}  // namespace

std::unique_ptr<ControlBinding> BindButton(ui::Button& button) { return std::make_unique<ButtonBinding>(button); }

}  // namespace varlindo::win32
