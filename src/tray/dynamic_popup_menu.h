#pragma once
// Turns a menu string into a popup menu at the mouse position and hands back the text of
// the picked entry.
//
// A menu string is a comma-separated list of entries, numbered from 1. An entry may carry
// "[CHECKED]" (this case only) and "[DISABLED]" (any case); "-" is a separator, and an
// empty entry is skipped but uses up its number. 'Open,-,Mute[CHECKED],,Exit' gives item 1
// 'Open', a separator, item 3 'Mute' checked, and item 5 'Exit'.

#include <array>
#include <string>
#include <vector>

#include "platform/ports.h"

namespace varlindo {

class DynamicPopupMenu {
public:
    static constexpr int kMaxEntries = 999;

    explicit DynamicPopupMenu(MenuPort& menu) : menu_(menu) {}

    // Shows the menu and returns the picked entry's text, "" when dismissed or blank.
    std::string Popup(const std::string& mItems);

    // The menu items a menu string describes (pieces beyond the 999th are ignored).
    static std::vector<MenuItem> Parse(const std::string& mItems);
    // The text recorded for an item id; "UNKNOWN" outside 0 to 999.
    std::string ItemText(int id) const;

private:
    MenuPort& menu_;
    std::array<std::string, 1000> item_texts_;  // slot 0 is never written
};

}  // namespace varlindo
