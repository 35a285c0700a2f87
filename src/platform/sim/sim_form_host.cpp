#include <algorithm>

#include "platform/sim/sim_platform.h"
#include "ui/widgets.h"

namespace varlindo::sim {

void SimFormHost::Load(ui::Form& form) {
    loaded_.push_back(&form);
    log.push_back("load " + form.Name());
}

void SimFormHost::Show(ui::Form& form) {
    log.push_back("show " + form.Name());
    form.Show();
}

void SimFormHost::ShowModal(ui::Form& form) {
    log.push_back("modal " + form.Name());
    form.Show();
    if (auto script = modal.find(form.Name()); script != modal.end()) {
        auto run = script->second;  // the script may replace itself
        run(form);
    }
    // The form object outlives its modal display (the App destroys unloaded forms only
    // after the event), so it may be looked at here.
    if (form.Visible()) {
        ++modal_left_open;
        form.Hide();
    }
    log.push_back("modal " + form.Name() + " ends");
}

void SimFormHost::Close(ui::Form& form) {
    auto it = std::find(loaded_.begin(), loaded_.end(), &form);
    if (it == loaded_.end()) return;
    loaded_.erase(it);
    log.push_back("close " + form.Name());
}

bool SimFormHost::IsLoaded(const std::string& name) const {
    return std::any_of(loaded_.begin(), loaded_.end(), [&name](const ui::Form* f) { return f->Name() == name; });
}

}  // namespace varlindo::sim
