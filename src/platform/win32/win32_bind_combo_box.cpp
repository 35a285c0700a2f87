// A combo box with a drop-down list: entries come from the model, the edit part shows the
// entry whose text the model holds, and the user's choice goes back to the model.

#include <algorithm>

#include "platform/win32/win32_binding.h"
#include "platform/win32/win32_form_window.h"

namespace varlindo::win32 {
namespace {

constexpr int kDropDownHeight = 160;  // pixels at 96 DPI

class ComboBoxBinding final : public ControlBinding {
public:
    explicit ComboBoxBinding(ui::ComboBox& combo) : ControlBinding(combo), combo_(combo) {}

    void Create(Win32FormWindow& window, int id) override {
        MakeChild(window, id, L"COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL | (combo_.TabStop ? WS_TABSTOP : 0));
    }
    void Sync(Win32FormWindow& window) override {
        if (!hwnd_) return;
        ControlBinding::Sync(window);
        int selection = combo_.ListIndex();
        if (selection < 0) {
            const auto& items = combo_.Items();
            auto it = std::find(items.begin(), items.end(), combo_.Text());
            if (it != items.end()) selection = static_cast<int>(it - items.begin());
        }
        SyncItems(combo_.Items(), selection, {CB_RESETCONTENT, CB_ADDSTRING, CB_SETCURSEL});
    }
    void Notify(int code) override {
        switch (code) {
            case CBN_SELCHANGE: UserChose(combo_, CB_GETCURSEL); break;
            case CBN_SETFOCUS: combo_.RaiseGotFocus(); break;
            case CBN_KILLFOCUS: combo_.RaiseLostFocus(); break;
            default: break;
        }
    }
    void Forget() override { ForgetItems(); }

protected:
    RECT Placement(Win32FormWindow& window) const override {
        RECT r = window.ChildRect(combo_);
        r.bottom += MulDiv(kDropDownHeight, static_cast<int>(window.Dpi()), 96);
        return r;
    }

private:
    ui::ComboBox& combo_;
};

}  // namespace

std::unique_ptr<ControlBinding> BindComboBox(ui::ComboBox& combo) { return std::make_unique<ComboBoxBinding>(combo); }

}  // namespace varlindo::win32
