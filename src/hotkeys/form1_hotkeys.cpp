// The stored hotkey assignments of the main window: which card each Ctrl+F-key switches
// to, and the "Enable Hotkeys" box.

#include <string>

#include "app/form1.h"
#include "base/number.h"
#include "base/text.h"

namespace varlindo {

std::string Form1::GetRegisterdSoundcardHotkey(long KeyValue) {
    const std::string stored = registry_.GetAppSetting("Hotkeys", std::to_string(KeyValue), "");
    if (stored.empty()) return "";
    for (int i = 0; i < DeviceList.ListCount(); ++i) {
        if (text::Contains(DeviceList.List(i), stored)) {
            DeviceList.SetItemData(i, KeyValue);  // the card's key, for the hotkey dialog
            return DeviceList.List(i);
        }
    }
    return "";
}

void Form1::SaveSoundcardHotkey(const std::string& Soundcard, long sValue) {
    registry_.SaveAppSetting("Hotkeys", std::to_string(sValue), Soundcard);
}

std::string Form1::ShortcutMappingGetString(long value) {
    if (value < 111) return "";
    return "F" + std::to_string(value - 111);
}

long Form1::ShortcutMappingGetValue(const std::string& Taste) {
    const std::string trimmed = text::Trim(Taste);
    if (trimmed.empty()) return 0;
    const auto number = ParseInt16(trimmed.substr(1));
    return number ? *number + 111 : 0;
}

void Form1::HotkeysCheck_Click() {
    if (HotkeysCheck.Value() == 1) {
        registry_.SaveAppSetting("Settings", "EnableHotkeys", "1");
    } else {
        registry_.SaveAppSetting("Settings", "EnableHotkeys", "0");
        HotkeysRegistered = false;
    }
    CreatePopupMenu();
}

}  // namespace varlindo
