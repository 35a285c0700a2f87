// Runs the port expectations against the simulation.
#include <algorithm>
#include <cstdlib>

#include "contract.h"
#include "platform/sim/sim_platform.h"
#include "ui/widgets.h"

namespace varlindo::contract {
namespace {

struct World {
    World() : platform(desktop), second(desktop) {
        for (const char* f : {"c:", "c:\\users", "c:\\users\\test", "c:\\users\\test\\appdata",
                              "c:\\users\\test\\appdata\\local", "c:\\users\\test\\appdata\\local\\temp",
                              "c:\\scratch"})
            desktop.folders.insert(f);
        desktop.AddCard("Speakers");
        desktop.AddCard("USB Headset");
    }
    sim::SimDesktop desktop;
    sim::SimPlatform platform;
    sim::SimPlatform second;
};

World& TheWorld() {
    static World world;
    return world;
}

class SimOtherProgram final : public OtherProgram {
public:
    explicit SimOtherProgram(const std::string& caption)
        : platform_(TheWorld().desktop),
          recorder_([this](const std::string& line) { events_.push_back(line); }),
          form_("Form1", caption, 3000, 2000) {
        platform_.Connect(recorder_);
        platform_.forms.Load(form_);
    }
    ~SimOtherProgram() override { platform_.forms.Close(form_); }
    std::vector<std::string> Events() override { return events_; }

private:
    sim::SimPlatform platform_;
    EventRecorder recorder_;
    ui::Form form_;
    std::vector<std::string> events_;
};

}  // namespace

Platform& Ports() { return TheWorld().platform.Ports(); }
Platform& SecondPorts() { return TheWorld().second.Ports(); }
std::string ScratchFolder() { return "C:\\scratch\\"; }

void AnswerNextMenu(int position) {
    TheWorld().platform.tray.pick = [position](const std::vector<MenuItem>& items) {
        int seen = 0;
        for (const MenuItem& item : items) {
            if (item.separator) continue;
            if (seen++ == position) return item.id;
        }
        return 0;
    };
}

std::vector<MenuItem> LastMenuShown() { return TheWorld().platform.tray.last_menu; }

void DuringNextModal(const std::string& form_name, std::function<void()> action) {
    auto& scripts = TheWorld().platform.forms.modal;
    scripts[form_name] = [&scripts, form_name, action](ui::Form&) {
        auto keep = action;
        scripts.erase(form_name);  // once
        keep();
    };
}

bool TakesInput(const ui::Form& form) { return TheWorld().platform.forms.TakesInput(form); }
bool IsTopMost(const ui::Form& form) { return TheWorld().platform.forms.IsTopMost(form); }

// Without a view the runner stands in for one: a thumb counts from the slider's top end, and
// the user's moves reach the model the way the Win32 view reports them.
int ThumbPosition(const ui::VScrollBar& bar) {
    return bar.Max() >= bar.Min() ? bar.Value() - bar.Min() : bar.Min() - bar.Value();
}

void UserDragsThumb(const ui::VScrollBar& bar, int steps_from_top) {
    auto& slider = const_cast<ui::VScrollBar&>(bar);
    slider.UserSet(bar.Min() + (bar.Max() >= bar.Min() ? steps_from_top : -steps_from_top));
}

void UserPressesKey(const ui::VScrollBar& bar, const std::string& key) {
    const int span = std::abs(bar.Max() - bar.Min());
    int position = ThumbPosition(bar);
    if (key == "up") position -= bar.SmallChange;
    if (key == "down") position += bar.SmallChange;
    if (key == "page up") position -= bar.LargeChange;
    if (key == "page down") position += bar.LargeChange;
    if (key == "home") position = 0;
    if (key == "end") position = span;
    UserDragsThumb(bar, std::clamp(position, 0, span));
}

std::unique_ptr<OtherProgram> StartOtherProgram(const std::string& caption) {
    return std::make_unique<SimOtherProgram>(caption);
}

}  // namespace varlindo::contract
