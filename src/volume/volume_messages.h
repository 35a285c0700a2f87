#pragma once
// The texts that the volume operations show.

namespace varlindo::msg {

// A device number beyond the cards (German only).
inline constexpr const char* kDeviceNumberTooLarge = "Devicenummer stimmt nicht (zu groß!)";
// Start-up found no card at all (English only).
inline constexpr const char* kNoSoundcardFound = "No Soundcard found";

}  // namespace varlindo::msg

#include "app/language.h"

namespace varlindo::msg {

inline constexpr Text kVolumeDialogTitle{"Dirov Ezudiv Ureze", "Vodov Edidazezuvi Razad ..."};
inline constexpr Text kSetupInfo{"Startup and shutdown settings...", "Standard Lautstärke einstellen"};
inline constexpr Text kVolumeClose{"&Close", "Schließen"};
inline constexpr Text kVolumeSave{"&Save", "&Speichern"};
inline constexpr Text kMute{"Mute", "Ton aus"};
// The platform's volume mixer.
inline constexpr const char* kVolumeMixerProgram = "sndvol32.exe";

}  // namespace varlindo::msg
