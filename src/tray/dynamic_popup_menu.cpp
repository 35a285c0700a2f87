#include "tray/dynamic_popup_menu.h"

#include "base/text.h"

namespace varlindo {

std::vector<MenuItem> DynamicPopupMenu::Parse(const std::string& mItems) {
    std::vector<MenuItem> items;
    int id = 0;
    size_t from = 0;
    for (;;) {
        const size_t comma = mItems.find(',', from);
        std::string piece = mItems.substr(from, comma == std::string::npos ? std::string::npos : comma - from);
        // A thousandth piece has no item id left: it and all after it are ignored.
        if (++id > kMaxEntries) break;

        MenuItem item;
        item.id = id;
        if (const size_t at = piece.find("[CHECKED]"); at != std::string::npos) {
            item.checked = true;
            piece.erase(at, 9);
        }
        if (const size_t at = text::Upper(piece).find("[DISABLED]"); at != std::string::npos) {
            item.grayed = true;
            piece.erase(at, 10);
        }
        item.text = text::Trim(piece);
        if (!item.text.empty()) {
            item.separator = item.text == "-";
            items.push_back(item);
        }
        if (comma == std::string::npos) break;
        from = comma + 1;
    }
    return items;
}

std::string DynamicPopupMenu::ItemText(int id) const {
    if (id < 0 || id >= static_cast<int>(item_texts_.size())) return "UNKNOWN";
    return item_texts_[static_cast<size_t>(id)];
}

std::string DynamicPopupMenu::Popup(const std::string& mItems) {
    if (text::Trim(mItems).empty()) return {};
    const std::vector<MenuItem> items = Parse(mItems);
    for (const MenuItem& item : items) item_texts_[static_cast<size_t>(item.id)] = item.text;
    return ItemText(menu_.TrackPopupMenu(items));
}

}  // namespace varlindo
