// The command line: D= card, V= volume, R= program to run, P= its parameters, ? help.

#include <optional>

#include "app/form1.h"
#include "core/sound_device_obj.h"
#include "core/text.h"
#include "launch/run_file.h"

namespace varlindo {
namespace {

const char* const kHelpEnglish =
    "Command line parameter: \r\rVarlindo.exe D=[SoundDevice] V=[Volume] R=[Program] P=[Progr.Parameter]\r\r"
    " D= Device Name - Souncard name / nikname (exact phrase) or device number\r"
    " V= Volume (0 - 100) (optional)\r"
    " R= Run program - full path to of an executable to run on selected soundcard (optional)\r"
    " P= Parameter - Program parameter (optional)\r\r\r"
    "Varlindo.exe D=SB-Live! Wavedevice V=80 R=C:\\Skype\\Skype.exe";

const char* const kHelpGerman =
    "Kommandozeilen Parameter:  \r\rVarlindo.exe D=[Soundkarte] V=[Volume] R=[Programm] P=[Progr.Parameter]\r\r"
    " D= Soundkarte - Name der zu aktivierenden Soundkarte (Schreibweise beachten!).\r"
    "                 alternativ: Nummer der Soundkarte in der Liste (beginnend mit 1).\r"
    " V= Volume (0 - 100) (optional)\r"
    " R= Programm (voller Pfad!) das nach dem Wechsel gestartet werden soll (optional)\r"
    " P= Parameter f\xC3\xBCr Programm (optional)\r\r"
    "Beispiel:\r\rVarlindo.exe D=Sound Blaster Live! D=SB-Live! Wavedevice V=80 R=C:\\Skype\\Skype.exe\r\r"
    "oder:\r\rVarlindo.exe D=Sound Blaster Live!";

// The value of key `key` ("D=" ...): from behind the key up to the next "=", whose letter
// (and for R= and P= the character before it) belongs to the next key. Nothing when the
// key is missing or the cut leaves less than nothing.
std::optional<std::string> KeyValue(const std::string& line, const std::string& upper, const char* key,
                                    size_t drop_before_next) {
    const size_t k = upper.find(key);
    if (k == std::string::npos) return std::nullopt;
    const size_t s = k + 2;
    // The last key on the line takes the rest of it, "=" included.
    bool another_key = false;
    for (const char* next : {"D=", "V=", "R=", "P="}) another_key |= upper.find(next, s) != std::string::npos;
    const size_t e = another_key ? upper.find('=', s) : std::string::npos;
    if (e == std::string::npos) return text::Trim(line.substr(std::min(s, line.size())));
    if (e < s + drop_before_next) return std::nullopt;
    return text::Trim(line.substr(s, e - s - drop_before_next));
}

}  // namespace

bool Form1::CheckCommandline() {
    const std::string& line = app_.CommandLine();
    if (line.empty()) return false;
    Platform& platform = app_.GetPlatform();
    RunFile& run = app_.Runner();
    const std::string upper = text::Upper(line);

    std::string device_text;
    std::string program_text;
    std::string parameter_text;
    std::int16_t volume = -1;
    bool did_something = false;

    if (auto v = KeyValue(line, upper, "V=", 1)) {
        if (auto number = ParseInt16(*v)) volume = *number;
    }
    if (auto d = KeyValue(line, upper, "D=", 1)) device_text = *d;
    const auto r = KeyValue(line, upper, "R=", 2);
    if (r) {
        program_text = RunFile::QuoteIfSpaces(*r);
        if (!program_text.empty() && !platform.files.FileExists(RunFile::StripQuotes(program_text))) {
            platform.ui.ShowMessageBox("File not found:\r" + program_text, "File not found", mb::Ok | mb::IconInformation);
            return false;
        }
    }
    if (r) {
        if (auto p = KeyValue(line, upper, "P=", 2)) parameter_text = " " + *p;
    }

    if (text::Contains(line, "?")) {
        platform.ui.ShowMessageBox(Say(kHelpEnglish, kHelpGerman), "Parameter", mb::Ok | mb::IconInformation);
        did_something = true;
    }

    if (text::CharCount(device_text) == 1) {
        // One character: the card's position in the list, counting from 1.
        const char c = device_text[0];
        const int n = c >= '0' && c <= '9' ? c - '0' : 0;
        if (n > 0) {
            DeviceList.SetListIndex(n - 1);  // a position beyond the list leaves the selection
            device_text = DeviceList.List(n - 1);
            DeviceList_DblClick();
            did_something = true;
        }
    } else {
        const std::string wanted = text::Upper(text::Trim(device_text));
        for (int i = 0; i < DeviceList.ListCount(); ++i) {
            if (text::Contains(text::Upper(text::Trim(DeviceList.List(i))), wanted)) {
                DeviceList.SetListIndex(i);
                DeviceList_DblClick();
                did_something = true;
                break;
            }
        }
    }

    if (volume > 0) {
        const auto device = GetDeviceID(device_text);
        SetVolume(static_cast<std::int16_t>(device.value_or(0)), volume);
    }

    if (!program_text.empty()) {
        platform.ui.DoEvents();
        program_text = run.ShortPathOf(program_text);
        if (text::Lower(RunFile::FileNameOfPath(program_text)) == text::Lower(platform.files.ProgramName() + ".exe")) {
            platform.ui.ShowMessageBox("Error: can not call myself!\r" + program_text, "Recursion Error",
                                       mb::Ok | mb::IconInformation);
            return true;
        }
        run.StartProgramWithParameters(program_text, parameter_text);
    }

    if (did_something) PlaySystemSound(platform.ui, 3);
    CloseTrayAndDialogs();
    UnloadForm(kFormCode);
    return did_something;
}

}  // namespace varlindo
