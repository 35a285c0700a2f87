#pragma once
// The texts that the card catalogue, the switch, the card record, the settings store and
// the command line show, in both languages where both exist.

#include "app/language.h"

namespace varlindo::msg {

// ---- the switch
inline constexpr Text kNoSoundcardSelectedTitle{"No Soundcard selected", "Keine Soundkarte ausgewählt"};
inline constexpr Text kNoSoundcardSelected{"Please select an device", "Bitte wählen Sie eine Soundkarte aus"};
inline constexpr Text kSelectInputOutputTitle{"Please select input/output first!",
                                              "Aufnahme oder Wiedergabe wählen!"};
inline constexpr Text kSelectInputOutput{
    "You have not selected Playback or Record!\r\r"
    "You must select an input and/or output before you can set the device!",
    "Die Einstellungen sind unvollständig!\r\r"
    "Sie müssen Wiedergabe oder Aufnahme auswählen, bevor die die Soundkarte wechseln können!"};
// A switch that did not reach the system: "<card>" + kSwitchFailed, a blank line, the reason.
inline constexpr Text kSwitchFailedTitle{"Sound card not switched", "Soundkarte nicht umgeschaltet"};
inline constexpr Text kSwitchFailed{" could not be made the default sound card.",
                                    " konnte nicht als Standard-Soundkarte gesetzt werden."};
inline constexpr Text kSwitchNotWritten{"The setting could not be written to the registry.",
                                        "Die Einstellung konnte nicht in die Registry geschrieben werden."};
inline constexpr Text kSwitchCardMissing{"Windows does not list a sound card of this name.",
                                         "Windows kennt keine Soundkarte dieses Namens."};
inline constexpr Text kSwitchNoPlaybackEndpoint{"The card has no active playback device.",
                                                "Die Karte hat kein aktives Wiedergabegerät."};
inline constexpr Text kSwitchNoRecordEndpoint{"The card has no active recording device.",
                                              "Die Karte hat kein aktives Aufnahmegerät."};
inline constexpr Text kSwitchRefused{"Windows refused: ", "Windows hat abgelehnt: "};

// ---- the card record (one language only)
inline constexpr const char* kNoDevicenameFound = "No Devicename found!";
inline constexpr const char* kEmptyDevice = "Fehler-Leerer Device übergeben";

// ---- the settings store (German only)
inline constexpr const char* kNoAppName =
    "Der Programm-Name wurde nicht festgelegt\r(Wird für Registry etc. benötigt)\r"
    "Bitte die AppDefOps.Initialize - Funktion aufrufen!";

// ---- the command line
inline constexpr const char* kHelpTitle = "Parameter";
inline constexpr Text kHelp{
    "Command line parameter: \r\rVarlindo.exe D=[SoundDevice] V=[Volume] R=[Program] P=[Progr.Parameter]\r\r"
    " D= Device Name - Souncard name / nikname (exact phrase) or device number\r"
    " V= Volume (0 - 100) (optional)\r"
    " R= Run program - full path to of an executable to run on selected soundcard (optional)\r"
    " P= Parameter - Program parameter (optional)\r\r\r"
    "Varlindo.exe D=SB-Live! Wavedevice V=80 R=C:\\Skype\\Skype.exe",
    "Kommandozeilen Parameter:  \r\rVarlindo.exe D=[Soundkarte] V=[Volume] R=[Programm] P=[Progr.Parameter]\r\r"
    " D= Soundkarte - Name der zu aktivierenden Soundkarte (Schreibweise beachten!).\r"
    "                 alternativ: Nummer der Soundkarte in der Liste (beginnend mit 1).\r"
    " V= Volume (0 - 100) (optional)\r"
    " R= Programm (voller Pfad!) das nach dem Wechsel gestartet werden soll (optional)\r"
    " P= Parameter für Programm (optional)\r\r"
    "Beispiel:\r\rVarlindo.exe D=Sound Blaster Live! D=SB-Live! Wavedevice V=80 R=C:\\Skype\\Skype.exe\r\r"
    "oder:\r\rVarlindo.exe D=Sound Blaster Live!"};
inline constexpr const char* kFileNotFoundTitle = "File not found";
inline constexpr const char* kFileNotFound = "File not found:\r";             // + the program
inline constexpr const char* kRecursionTitle = "Recursion Error";
inline constexpr const char* kRecursion = "Error: can not call myself!\r";   // + the program

}  // namespace varlindo::msg
