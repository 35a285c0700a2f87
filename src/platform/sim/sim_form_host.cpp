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
    const bool is_modal = std::any_of(modal_levels_.begin(), modal_levels_.end(),
                                      [&form](const auto& level) { return level.first == &form; });
    if (!modal_levels_.empty() && !is_modal) modal_levels_.back().second.push_back(&form);
    form.Show();
}

bool SimFormHost::TakesInput(const ui::Form& form) const {
    for (const auto& level : modal_levels_)
        if (std::find(level.second.begin(), level.second.end(), &form) != level.second.end()) return false;
    return true;
}

void SimFormHost::ShowModal(ui::Form& form) {
    log.push_back("modal " + form.Name());
    std::vector<const ui::Form*> waiting;
    for (const ui::Form* other : loaded_)
        if (other != &form && other->Visible()) waiting.push_back(other);
    modal_levels_.emplace_back(&form, std::move(waiting));
    form.Show();
    if (auto script = modal.find(form.Name()); script != modal.end()) {
        auto run = script->second;  // the script may replace itself
        run(form);
    }
    modal_levels_.pop_back();
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
    topmost_.erase(&form);
    log.push_back("close " + form.Name());
}

void SimFormHost::DragWindow(ui::Form& form) { log.push_back("drag " + form.Name()); }

void SimFormHost::ShapeWindowCorners(ui::Form& form, int corner_pixels) {
    log.push_back("corners " + form.Name() + " " + std::to_string(corner_pixels));
}

bool SimFormHost::IsLoaded(const std::string& name) const {
    return std::any_of(loaded_.begin(), loaded_.end(), [&name](const ui::Form* f) { return f->Name() == name; });
}

}  // namespace varlindo::sim
