// Runs the port expectations against the simulation.
#include <algorithm>
#include <cstdlib>

#include "contract.h"
#include "platform/sim/sim_paths.h"
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
        // The device API of Windows Vista and later, but no policy object, as under Wine.
        desktop.UseEndpoints();
        desktop.policy_object = false;
        desktop.AddFolder("C:\\Users\\test\\Desktop");
        desktop.AddFolder("C:\\Users\\test\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu");
        platform.shell.user_folders[SpecialFolder::Desktop] = "C:\\Users\\test\\Desktop";
        platform.shell.user_folders[SpecialFolder::StartMenu] =
            "C:\\Users\\test\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu";
    }
    sim::SimDesktop desktop;
    sim::SimPlatform platform;
    sim::SimPlatform second;
};

World& TheWorld() {
    static World world;
    return world;
}

class SimListeningProgram final : public ListeningProgram {
public:
    SimListeningProgram()
        : platform_(TheWorld().desktop), recorder_([this](const std::string& line) { events_.push_back(line); }) {
        platform_.Connect(recorder_);
    }
    Platform& Ports() override { return platform_.Ports(); }
    // The notices wait for nothing but their delivery.
    std::vector<std::string> EventsWithin(std::chrono::milliseconds, std::size_t) override {
        TheWorld().desktop.DeliverDefaultsNotices();
        return events_;
    }

private:
    sim::SimPlatform platform_;
    EventRecorder recorder_;
    std::vector<std::string> events_;
};

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

void MakeFolder(const std::string& path) { TheWorld().desktop.AddFolder(path); }

void MakeHidden(const std::string& path) { TheWorld().desktop.hidden.insert(sim::NormalPath(path)); }

void SetReadOnly(const std::string& path, bool read_only) {
    auto& locked = TheWorld().desktop.read_only;
    if (read_only)
        locked.insert(sim::NormalPath(path));
    else
        locked.erase(sim::NormalPath(path));
}

std::string Publish(const std::string& path, const WebPage& page) {
    sim::SimDesktop& desktop = TheWorld().desktop;
    const std::string url = "http://127.0.0.1:18990" + path;
    desktop.web.erase(url);
    desktop.cut_off.erase(url);
    desktop.redirects.erase(url);
    if (!page.redirect_to.empty()) {
        desktop.redirects[url] = page.redirect_to;
        return url;
    }
    desktop.web[url] = {page.status, page.body};
    if (page.cut_off) desktop.cut_off.insert(url);
    return url;
}

std::string AddressNobodyServes() { return "http://127.0.0.1:18991/nothing"; }

std::optional<ShellLink> ReadShortcut(const std::string& path) {
    const sim::SimDesktop& desktop = TheWorld().desktop;
    auto found = desktop.shortcuts.find(sim::NormalPath(path));
    if (found == desktop.shortcuts.end() || !desktop.HasFile(path)) return std::nullopt;
    return found->second;
}

// Without a view the runner stands in for one: a drop lands on the innermost shown control
// at the point that is no frame, else on the innermost frame there, else on the form.
void UserDropsFiles(ui::Form& form, int x, int y, const std::vector<std::string>& files) {
    if (!TakesInput(form)) return;
    ui::Control* control_at = nullptr;
    ui::Control* frame_at = nullptr;
    int control_depth = -1, frame_depth = -1;
    for (ui::Control* c : form.Controls()) {
        if (c->GetKind() == ui::Kind::Timer || !c->Shown()) continue;
        int left = c->Left(), top = c->Top(), depth = 0;
        for (const ui::Control* in = c->Container(); in; in = in->Container(), ++depth) {
            left += in->Left();
            top += in->Top();
        }
        if (x < left || y < top || x >= left + c->Width() || y >= top + c->Height()) continue;
        if (c->GetKind() == ui::Kind::Frame && depth >= frame_depth) {
            frame_at = c;
            frame_depth = depth;
        } else if (c->GetKind() != ui::Kind::Frame && depth > control_depth) {
            control_at = c;
            control_depth = depth;
        }
    }
    form.Drop(control_at ? control_at : frame_at, ui::DropData{files, std::nullopt});
}

// Enter clicks a push button with the focus; elsewhere the control's key handler hears it,
// or the form's when the control has none.
void UserPressesEnter(ui::Control& control) {
    control.SetFocus();
    if (control.GetKind() == ui::Kind::Button) {
        control.RaiseClick();
        return;
    }
    int key = 13;
    if (control.KeyPress)
        control.RaiseKeyPress(key);
    else if (control.Owner().KeyPress)
        control.Owner().KeyPress(key);
}

int CaretPosition(const ui::TextBox& box) { return box.SelStart(); }

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

void AnotherProgramWrites(const std::string& key, const std::string& name, const std::string& text) {
    TheWorld().desktop.SetString("HKCU\\" + key, name, text);
}

void SystemMakesDefault(EndpointFlow flow, const std::string& id) { TheWorld().desktop.SetDefaultEndpoint(flow, id); }

void SetPolicyObject(bool present) { TheWorld().desktop.policy_object = present; }

std::unique_ptr<ListeningProgram> StartListeningProgram() { return std::make_unique<SimListeningProgram>(); }

}  // namespace varlindo::contract
