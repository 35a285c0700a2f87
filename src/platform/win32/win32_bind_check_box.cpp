// A check box: the model keeps the tick, so a click toggles the model, not the control.

#include "platform/win32/win32_binding.h"
#include "platform/win32/win32_form_window.h"

namespace varlindo::win32 {
namespace {

class CheckBoxBinding final : public ControlBinding {
public:
    explicit CheckBoxBinding(ui::CheckBox& box) : ControlBinding(box), box_(box) {}

    void Create(Win32FormWindow& window, int id) override {
        MakeChild(window, id, L"BUTTON", BS_CHECKBOX | (box_.TabStop ? WS_TABSTOP : 0));
    }
    void Sync(Win32FormWindow& window) override {
        if (!hwnd_) return;
        SendMessageW(hwnd_, BM_SETCHECK, box_.Value() == 1 ? BST_CHECKED : BST_UNCHECKED, 0);
        SyncCaptioned(window, true);
    }
    void Notify(int code) override {
        if (code == BN_CLICKED) box_.UserToggle();
    }

private:
    ui::CheckBox& box_;
};

}  // namespace

std::unique_ptr<ControlBinding> BindCheckBox(ui::CheckBox& box) { return std::make_unique<CheckBoxBinding>(box); }

}  // namespace varlindo::win32
