// Carrying out the command line: D= card, V= volume, R= program to run, P= its
// parameters, ? help (the keys themselves are read in command_line.cpp).

#include "app/form1.h"
#include "base/number.h"
#include "base/path_text.h"
#include "base/text.h"
#include "core/command_line.h"
#include "core/core_messages.h"
#include "core/system_sound.h"
#include "launch/run_file.h"

namespace varlindo {
namespace {

// Set for as long as the command line is being carried out.
class CarryingOut {
public:
    explicit CarryingOut(bool& flag) : flag_(flag) { flag_ = true; }
    ~CarryingOut() { flag_ = false; }
    CarryingOut(const CarryingOut&) = delete;
    CarryingOut& operator=(const CarryingOut&) = delete;

private:
    bool& flag_;
};

}  // namespace

int Form1::CommandLineCardLine(const std::string& device_text) const {
    const std::string wanted = text::Upper(text::Trim(device_text));
    for (int i = 0; i < DeviceList.ListCount(); ++i)
        if (text::Contains(text::Upper(text::Trim(DeviceList.List(i))), wanted)) return i;
    return -1;
}

bool Form1::CheckCommandline() {
    const std::string& line = app_.CommandLine();
    if (line.empty()) return false;
    CarryingOut carrying_out(CarryingOutCommandLine);
    Platform& platform = app_.GetPlatform();
    RunFile& run = app_.Runner();
    const CommandLineKeys keys = ParseCommandLine(line);

    std::string device_text;
    std::string program_text;
    std::string parameter_text;
    std::int16_t volume = -1;
    bool did_something = false;

    if (keys.volume) {
        if (auto number = ParseInt16(*keys.volume)) volume = *number;
    }
    if (keys.device) device_text = *keys.device;
    if (keys.program) {
        program_text = QuoteIfSpaces(*keys.program);
        if (!program_text.empty() && !platform.files.FileExists(StripQuotes(program_text))) {
            platform.ui.ShowMessageBox(msg::kFileNotFound + program_text, msg::kFileNotFoundTitle,
                                       mb::Ok | mb::IconInformation);
            return false;
        }
        if (keys.parameters) parameter_text = " " + *keys.parameters;
    }

    if (keys.help) {
        platform.ui.ShowMessageBox(Say(msg::kHelp), msg::kHelpTitle, mb::Ok | mb::IconInformation);
        did_something = true;
    }

    // Without "D=" the first listed card is meant, unless the line only asks for help.
    const bool choose_card = keys.device || !keys.help;
    if (choose_card && text::CharCount(device_text) == 1) {
        // One character: the card's position in the list, counting from 1.
        const char c = device_text[0];
        const int n = c >= '0' && c <= '9' ? c - '0' : 0;
        if (n > 0) {
            DeviceList.SetListIndex(n - 1);  // a position beyond the list leaves the selection
            device_text = DeviceList.List(DeviceList.ListIndex());
            DeviceList_DblClick();
            did_something = true;
        }
    } else if (choose_card) {
        if (const int line = CommandLineCardLine(device_text); line >= 0) {
            DeviceList.SetListIndex(line);
            // The volume below goes to this card, whatever case the name was typed in.
            device_text = DeviceList.List(line);
            DeviceList_DblClick();
            did_something = true;
        }
    }

    if (volume > 0 && choose_card) {
        const auto device = GetDeviceID(device_text);
        SetVolume(static_cast<std::int16_t>(device.value_or(0)), volume);
    }

    if (!program_text.empty()) {
        platform.ui.DoEvents();
        program_text = run.ShortPathOf(program_text);
        if (text::Lower(FileNameOfPath(program_text)) == text::Lower(platform.files.ProgramName() + ".exe")) {
            platform.ui.ShowMessageBox(msg::kRecursion + program_text, msg::kRecursionTitle,
                                       mb::Ok | mb::IconInformation);
            return true;
        }
        run.StartProgramWithParameters(program_text, parameter_text);
    }

    if (did_something) PlaySystemSound(platform.ui, 3);
    CloseTrayAndDialogs();
    app_.Unload(*this);
    return did_something;
}

}  // namespace varlindo
