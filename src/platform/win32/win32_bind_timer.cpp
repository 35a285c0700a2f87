// A timer: a window timer of the form's window that runs while the model enables it.

#include "platform/win32/win32_binding.h"
#include "platform/win32/win32_form_window.h"

namespace varlindo::win32 {
namespace {

class TimerBinding final : public ControlBinding {
public:
    explicit TimerBinding(ui::Timer& timer) : ControlBinding(timer), timer_(timer) {}

    void Create(Win32FormWindow&, int id) override { id_ = id; }
    void Sync(Win32FormWindow& window) override {
        const bool run = timer_.Enabled() && timer_.Interval() > 0;
        if (run == running_) return;
        if (run)
            SetTimer(window.Hwnd(), static_cast<UINT_PTR>(id_), static_cast<UINT>(timer_.Interval()), nullptr);
        else
            KillTimer(window.Hwnd(), static_cast<UINT_PTR>(id_));
        running_ = run;
    }
    void Tick() override { timer_.RaiseTick(); }

private:
    ui::Timer& timer_;
    bool running_ = false;
};

}  // namespace

std::unique_ptr<ControlBinding> BindTimer(ui::Timer& timer) { return std::make_unique<TimerBinding>(timer); }

}  // namespace varlindo::win32
