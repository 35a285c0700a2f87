// The stored hotkey assignments of the main window: which card each Ctrl+F-key switches
// to, and the "Enable Hotkeys" box.

#include <string>

#include "app/form1.h"
#include "base/number.h"
#include "base/text.h"
#include "core/system_sound.h"
#include "hotkeys/short_cut_fenster.h"

namespace varlindo {

std::string Form1::GetRegisterdSoundcardHotkey(long KeyValue) {
    const std::string stored = registry_.GetAppSetting("Hotkeys", std::to_string(KeyValue), "");
    if (stored.empty()) return "";
    // The card of that very name; only when none is listed, the first whose name holds it
    // (a name stored by an older build may be cut short).
    int line = -1;
    for (int i = 0; i < DeviceList.ListCount() && line < 0; ++i)
        if (DeviceList.List(i) == stored) line = i;
    for (int i = 0; i < DeviceList.ListCount() && line < 0; ++i)
        if (text::Contains(DeviceList.List(i), stored)) line = i;
    if (line < 0) return "";
    DeviceList.SetItemData(line, KeyValue);  // the card's key, for the hotkey dialog
    return DeviceList.List(line);
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
        if (!HotkeysRegistered) RegisterStoredHotkeys();
    } else {
        registry_.SaveAppSetting("Settings", "EnableHotkeys", "0");
        if (HotkeysRegistered) RemoveAllHotkeys();
        HotkeysRegistered = false;
    }
    CreatePopupMenu();
}

void Form1::RegisterStoredHotkeys() {
    if (HotkeysRegistered) return;
    HotKeys& keys = app_.Keys();
    bool first = true;
    for (long key = kFirstHotkey; key <= kLastHotkey; ++key) {
        const std::string name = GetRegisterdSoundcardHotkey(key);
        if (name.empty() || GetDeviceLine(name) < 0) continue;  // its card is not here
        // One key after the other, with no events in between: a click on the box meanwhile
        // would find the keys half registered.
        if (first)
            keys.BeginHotkeySet(static_cast<int>(key));
        else
            keys.AddHotkey(static_cast<int>(key));
        first = false;
    }
    HotkeysRegistered = true;
}

void Form1::RemoveAllHotkeys() { app_.Keys().RemoveAllHotkeys(); }

void Form1::HotkeyCallback(long KeyValue) {
    const std::string name = GetRegisterdSoundcardHotkey(KeyValue);
    const int line = name.empty() ? -1 : GetDeviceLine(name);
    if (line < 0) return;
    DeviceList.SetListIndex(line);
    DeviceList_DblClick();
    PlaySystemSound(app_.GetPlatform().ui, 3);
}

void Form1::ConfigureHotKeysBtn_Click() {
    Command1_Click();  // the main window goes to the tray meanwhile
    app_.ShowModal(app_.Form<ShortCutFenster>());
    ShowNormal();
    if (HotkeysCheck.Value() != 1) return;
    // The keys as they are stored now take effect at once.
    if (HotkeysRegistered) {
        RemoveAllHotkeys();
        app_.GetPlatform().ui.DoEvents();
    }
    HotkeysRegistered = false;
    RegisterStoredHotkeys();
}

int Form1::GetDeviceLine(const std::string& name) const {
    for (int i = 0; i < DeviceList.ListCount(); ++i)
        if (DeviceList.List(i) == name) return i;
    return -1;
}

}  // namespace varlindo
