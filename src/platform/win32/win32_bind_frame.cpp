// A frame: a group box that holds other controls and lies under them.

#include "platform/win32/win32_binding.h"
#include "platform/win32/win32_form_window.h"

namespace varlindo::win32 {
namespace {

class FrameBinding final : public ControlBinding {
public:
    explicit FrameBinding(ui::Frame& frame) : ControlBinding(frame) {}

    void Create(Win32FormWindow& window, int id) override { MakeChild(window, id, L"BUTTON", BS_GROUPBOX); }
    void Sync(Win32FormWindow& window) override { SyncCaptioned(window, false); }
    bool LiesBelowOthers() const override { return true; }
};

}  // namespace

std::unique_ptr<ControlBinding> BindFrame(ui::Frame& frame) { return std::make_unique<FrameBinding>(frame); }

}  // namespace varlindo::win32
