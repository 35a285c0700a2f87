// The tray menu string ("Open,-,Mute[CHECKED],,Exit"), as DynamicPopupMenu parses and shows it.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "base/text.h"
#include "fuzz_check.h"
#include "tray/dynamic_popup_menu.h"

namespace {

using varlindo::DynamicPopupMenu;
using varlindo::MenuItem;
namespace text = varlindo::text;

// Picks the entry the fuzz input chooses, or dismisses the menu.
class Picker final : public varlindo::MenuPort {
public:
    explicit Picker(std::size_t choice) : choice_(choice) {}
    int TrackPopupMenu(const std::vector<MenuItem>& items) override {
        shown = items;
        if (items.empty() || choice_ % (items.size() + 1) == items.size()) return 0;
        return items[choice_ % (items.size() + 1)].id;
    }
    std::vector<MenuItem> shown;

private:
    std::size_t choice_;
};

std::vector<std::string> Pieces(const std::string& s) {
    std::vector<std::string> pieces;
    std::size_t from = 0;
    for (;;) {
        const std::size_t comma = s.find(',', from);
        pieces.push_back(s.substr(from, comma == std::string::npos ? std::string::npos : comma - from));
        if (comma == std::string::npos) return pieces;
        from = comma + 1;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string menu(reinterpret_cast<const char*>(data), size);
    const std::vector<MenuItem> items = DynamicPopupMenu::Parse(menu);
    const std::vector<std::string> pieces = Pieces(menu);

    int last_id = 0;
    for (const MenuItem& item : items) {
        // Entries are numbered from 1 in the order of the string, at most 999 of them.
        FUZZ_CHECK(item.id > last_id && item.id <= DynamicPopupMenu::kMaxEntries);
        FUZZ_CHECK(static_cast<std::size_t>(item.id) <= pieces.size());
        last_id = item.id;
        // Every item has a text; "-" alone is a separator.
        FUZZ_CHECK(!item.text.empty());
        FUZZ_CHECK(item.separator == (item.text == "-"));
        FUZZ_CHECK(item.text == text::Trim(item.text));
        FUZZ_CHECK(item.text.find(',') == std::string::npos);
        const std::string& piece = pieces[static_cast<std::size_t>(item.id - 1)];
        if (item.checked) FUZZ_CHECK(piece.find("[CHECKED]") != std::string::npos);
        if (item.grayed) {
            // The mark may be in any case, and may close around a "[CHECKED]" taken out.
            std::string unchecked = piece;
            if (const std::size_t at = unchecked.find("[CHECKED]"); at != std::string::npos) unchecked.erase(at, 9);
            FUZZ_CHECK(text::Upper(unchecked).find("[DISABLED]") != std::string::npos);
        }
    }
    // An entry without marks is its trimmed text, and an empty one only uses up its number.
    std::size_t next = 0;
    for (std::size_t i = 0; i < pieces.size() && i < static_cast<std::size_t>(DynamicPopupMenu::kMaxEntries); ++i) {
        const bool listed = next < items.size() && items[next].id == static_cast<int>(i + 1);
        if (pieces[i].find('[') == std::string::npos) {
            FUZZ_CHECK(listed == !text::Trim(pieces[i]).empty());
            if (listed) {
                FUZZ_CHECK(items[next].text == text::Trim(pieces[i]));
                FUZZ_CHECK(!items[next].checked && !items[next].grayed);
            }
        }
        if (listed) ++next;
    }
    FUZZ_CHECK(next == items.size());

    // The menu shown is the parsed one, and the pick comes back as its text.
    Picker picker(size);
    DynamicPopupMenu popup(picker);
    const std::string picked = popup.Popup(menu);
    if (text::Trim(menu).empty()) {
        FUZZ_CHECK(picked.empty());
    } else {
        FUZZ_CHECK(picker.shown.size() == items.size());
        const std::size_t choice = size % (items.size() + 1);
        FUZZ_CHECK(picked == (choice < items.size() ? items[choice].text : std::string()));
    }
    return 0;
}
