// A label: a static text that reports clicks, and whose colours the model chooses.

#include "platform/win32/win32_binding.h"
#include "platform/win32/win32_form_window.h"

namespace varlindo::win32 {
namespace {

class LabelBinding final : public ControlBinding {
public:
    explicit LabelBinding(ui::Label& label) : ControlBinding(label), label_(label) {}

    void Create(Win32FormWindow& window, int id) override {
        MakeChild(window, id, L"STATIC", SS_LEFT | SS_NOTIFY | (label_.UseMnemonic ? 0 : SS_NOPREFIX));
    }
    void Sync(Win32FormWindow& window) override { SyncCaptioned(window, true); }  // colours from the model
    void Notify(int code) override {
        if (code == STN_DBLCLK)
            label_.RaiseDblClick();
        else if (code == STN_CLICKED)
            label_.RaiseClick();
    }

private:
    ui::Label& label_;
};

}  // namespace

std::unique_ptr<ControlBinding> BindLabel(ui::Label& label) { return std::make_unique<LabelBinding>(label); }

}  // namespace varlindo::win32
