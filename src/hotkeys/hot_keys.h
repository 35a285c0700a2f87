#pragma once
// The program's system-wide hotkeys: Ctrl plus a key, registered as one set at a time. Each
// key of a set has a row; its id is a global atom named "191" + set number + row, which is
// what the platform reports back when the key is pressed.
//
// The hotkeys and the device-change notice of other instances both arrive at the program's
// own hidden window for the whole life of the program, so nothing has to be hooked into the
// main window: the notice is heard whether or not a hotkey is registered, and every key
// that was registered acts, whichever row it has.

#include <array>
#include <cstdint>

#include "platform/ports.h"

namespace varlindo {

class HotKeys {
public:
    static constexpr int kRows = 256;  // row 0 is never used

    explicit HotKeys(HotkeyPort& port) : port_(port) {}
    ~HotKeys() { RemoveAllHotkeys(); }
    HotKeys(const HotKeys&) = delete;
    HotKeys& operator=(const HotKeys&) = delete;

    // Starts a new set and registers its first key; false when that key is not available.
    bool BeginHotkeySet(int keyCode);
    // Registers one more key (Ctrl + keyCode) in the current set.
    bool AddHotkey(int keyCode);
    // Frees every key of the set and its atoms.
    bool RemoveAllHotkeys();
    // The key code of the pressed hotkey with this id; 0 when no row has it.
    int KeyCodeOf(int id) const;

    std::int16_t SetNumber() const { return set_number_; }
    std::int16_t RegisteredCount() const { return count_; }

private:
    struct Row {
        int id = 0;
        int key_code = 0;
    };

    HotkeyPort& port_;
    std::int16_t set_number_ = 0;
    std::int16_t count_ = 0;
    std::array<Row, kRows> rows_{};
};

}  // namespace varlindo
