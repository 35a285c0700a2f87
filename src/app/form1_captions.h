#pragma once
// The captions of the main window's controls, English (design) and German, in the order
// the German build sets them.

#include "app/captions.h"

namespace varlindo {

inline constexpr Caption kForm1Captions[] = {
    {"PlayCheck", "For playback", "Wiedergabe"},
    {"RecordCheck", "For record", "Aufnahme"},
    {"SetBtn", "&Set Soundcard", "Soundkarte aktivieren"},
    {"SetDefaultOnStartupCheck", "On startup", "bei Programmstart"},
    {"SetDefaultOnShutdownCheck", "On shutdown", "bei Programmende"},
    {"Command1", "&Hide >>", "System Tray >>"},
    {"ExitBtn", "E&xit", "Beenden"},
    {"DeviceBtn", "Device", "Soundkarten"},
    {"StartupBtn", "Settings", "Einstellungen"},
    {"CurrentDeviceTitle", "Current Soundcard:", nullptr},
};

}  // namespace varlindo
