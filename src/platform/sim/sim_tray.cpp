#include "platform/sim/sim_platform.h"

namespace varlindo::sim {

bool SimTray::AddIcon(const std::string& new_tip) {
    if (Fails()) return {};
    if (icon) return false;  // one icon per window and id
    if (refuse_adds > 0) {
        --refuse_adds;
        return false;
    }
    icon = true;
    tip = new_tip;
    ++adds;
    return true;
}

bool SimTray::ModifyTip(const std::string& new_tip) {
    if (Fails()) return {};
    if (!icon) return false;
    tip = new_tip;
    return true;
}

bool SimTray::RemoveIcon() {
    if (Fails()) return {};
    const bool was = icon;
    icon = false;
    return was;
}

int SimTray::TrackPopupMenu(const std::vector<MenuItem>& items) {
    if (Fails()) return {};
    last_menu = items;
    ++menus_shown;
    return pick ? pick(items) : 0;
}

}  // namespace varlindo::sim
