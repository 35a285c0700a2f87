#pragma once
// The captions of the main window's controls, English (design) and German, in the order
// the German build sets them.

#include "app/captions.h"

namespace varlindo {

inline constexpr Caption kForm1Captions[] = {
    {"HotkeysCheck", "Enable Hotkeys", "Hotkeys aktivieren"},
    {"ConfigureHotKeysBtn", "&Configure Hotkeys", "Hotkeys einstellen.."},
    {"PlayCheck", "For playback", "Wiedergabe"},
    {"RecordCheck", "For record", "Aufnahme"},
    {"SetBtn", "&Set Soundcard", "Soundkarte aktivieren"},
    {"AutoRunCheck", "Autostart with Windows.", "Mit Windows starten"},
    {"MakedefaultTitel", "Reset volume of this card:", "Lautstärke zurücksetzen:"},
    {"SetDefaultOnStartupCheck", "On startup", "bei Programmstart"},
    {"SetDefaultOnShutdownCheck", "On shutdown", "bei Programmende"},
    {"Command1", "&Hide >>", "System Tray >>"},
    {"ShortcutWizzardBtn", "Shortcut wizzard ...", "Verknüpf. Assitent .."},
    {"SetVolumeTitle", "Make this card default..", "Soundkarte zum Standard machen"},
    {"SetVolumeCheck", "On startup", "bei Programmstart"},
    {"SetVolumeCheckShutdown", "On shutdown", "bei Programmende"},
    {"Label2", "Drop program exe  (game / media player..) here, to start the Shortcut wizzard:",
     "Sie können Programme direkt per Drag && Drop\r"
     "auf diesen Dialog ziehen um den Verküpfungs-\r"
     "Assistenten zu starten."},
    {"CardLabel", "Soundcard:", "Soundkarte:"},
    {"ExitBtn", "E&xit", "Beenden"},
    {"NiknameLabel", "Nikname:", "Anzeigename:"},
    {"DeviceBtn", "Device", "Soundkarten"},
    {"StartupBtn", "Settings", "Einstellungen"},
    {"CurrentDeviceTitle", "Current Soundcard:", nullptr},
    {"Label1", "Update", nullptr},
    {"WebPage", "Homepage", nullptr},
};

}  // namespace varlindo
