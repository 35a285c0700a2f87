#include "hotkeys/hot_keys.h"

#include <string>

namespace varlindo {

bool HotKeys::BeginHotkeySet(int keyCode) {
    RemoveAllHotkeys();  // a set still held is freed, never forgotten
    if (set_number_ < INT16_MAX) ++set_number_;
    count_ = 0;
    rows_.fill(Row{});
    return AddHotkey(keyCode);
}

bool HotKeys::AddHotkey(int keyCode) {
    if (count_ >= kRows - 1) return false;  // the table is full
    const int r = ++count_;
    Row& row = rows_[static_cast<size_t>(r)];
    row.id = port_.AddAtom("191" + std::to_string(set_number_) + std::to_string(r));
    if (row.id == 0) return false;
    row.key_code = keyCode;
    return port_.RegisterHotkey(row.id, keyCode);
}

bool HotKeys::RemoveAllHotkeys() {
    for (int r = count_; r >= 1; --r) {
        Row& row = rows_[static_cast<size_t>(r)];
        if (row.id == 0) continue;
        port_.UnregisterHotkey(row.id);
        port_.DeleteAtom(static_cast<std::uint16_t>(row.id));
        row.id = 0;
    }
    count_ = 0;
    return true;
}

int HotKeys::KeyCodeOf(int id) const {
    for (int r = 1; r <= count_; ++r)
        if (rows_[static_cast<size_t>(r)].id == id) return rows_[static_cast<size_t>(r)].key_code;
    return 0;
}

}  // namespace varlindo
