#pragma once
// The texts of the tray menu. The pieces of the menu string carry their own commas and
// separators; the command texts are what a picked entry returns.

#include "app/language.h"

namespace varlindo::msg {

// ---- pieces of the menu string, in menu order
inline constexpr Text kMenuHomepage{"Homepage ..., -,", "Homepage ..., -,"};
inline constexpr Text kMenuShortcutWizard{"Shortcut wizzard ..., -,", "Verknüpfungs Assistent ..., -,"};
inline constexpr Text kMenuSettings{"Settings ..., ", "Einstellungen ..., "};
inline constexpr Text kMenuHotkeysOn{"Hotkeys [CHECKED], -, ", "Hotkeys [CHECKED], -,"};
inline constexpr Text kMenuHotkeysOff{"Hotkeys, -, ", "Hotkeys, -,"};
inline constexpr Text kMenuAudio{
    "Windows audio settings ..., Audio mixer ...,Reload list of Soundcards , -, Set volume ..., -,",
    "Windows Audio Einstellungen ..., Audio Mixer ..., Soundkarten neu einlesen, -, Lautstärke einstellen ..., -,"};
inline constexpr Text kMenuExit{"-, Exit", "-, Beenden"};

// ---- the default marks of a card entry
inline constexpr Text kMarkPlayAndRecord{" (Play + Rec)[CHECKED]", " (Wiedergabe + Aufnahme)[CHECKED]"};
inline constexpr Text kMarkPlayback{"(Playback)[CHECKED]", "(Wiedergabe)[CHECKED]"};
inline constexpr Text kMarkRecord{"(Record)[CHECKED]", "(Aufnahme)[CHECKED]"};

// ---- the commands as a picked entry reads (both languages are accepted)
inline constexpr Text kCmdHomepage{"Homepage ...", "Homepage ..."};
inline constexpr Text kCmdShortcutWizard{"Shortcut wizzard ...", "Verknüpfungs Assistent ..."};
inline constexpr Text kCmdSettings{"Settings ...", "Einstellungen ..."};
inline constexpr Text kCmdReload{"Reload list of Soundcards", "Soundkarten neu einlesen"};
inline constexpr Text kCmdSetVolume{"Set volume ...", "Lautstärke einstellen ..."};
inline constexpr Text kCmdWindowsAudio{"Windows audio settings ...", "Windows Audio Einstellungen ..."};
inline constexpr Text kCmdAudioMixer{"Audio mixer ...", "Audio Mixer ..."};
inline constexpr Text kCmdExit{"Exit", "Beenden"};

// The platform's sound control panel.
inline constexpr const char* kSoundControlPanel = "rundll32.exe shell32.dll,Control_RunDLL mmsys.cpl,,0";

}  // namespace varlindo::msg
