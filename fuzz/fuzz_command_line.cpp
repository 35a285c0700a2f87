// The program's command line (D= card, V= volume, R= program, P= parameters, ?), as
// Form1::CheckCommandline reads it through ParseCommandLine.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "core/command_line.h"
#include "fuzz_check.h"

namespace {

using varlindo::CommandLineKeys;
using varlindo::ParseCommandLine;
using varlindo::fuzz::IsTrimmed;

bool IsKeyLetter(char c) {
    for (char k : {'D', 'V', 'R', 'P', 'd', 'v', 'r', 'p'})
        if (c == k) return true;
    return false;
}

// A value ends before the next key: it never holds one that starts an argument.
bool HoldsKeyStart(const std::string& value) {
    for (size_t i = 1; i + 1 < value.size(); ++i)
        if ((value[i - 1] == ' ' || value[i - 1] == '\t' || value[i - 1] == '"') && IsKeyLetter(value[i]) &&
            value[i + 1] == '=')
            return true;
    return false;
}

void CheckValue(const std::optional<std::string>& value, bool keeps_quotes) {
    if (!value) return;
    FUZZ_CHECK(!HoldsKeyStart(*value));
    // A program path and its parameters are trimmed as they stand; a card name or volume
    // loses its quotes after trimming, and what was inside them stays as typed.
    if (keeps_quotes) FUZZ_CHECK(IsTrimmed(*value, true));
}

std::optional<std::string>& Slot(CommandLineKeys& keys, char key) {
    switch (key) {
        case 'D': return keys.device;
        case 'V': return keys.volume;
        case 'R': return keys.program;
        default: return keys.parameters;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string line(reinterpret_cast<const char*>(data), size);
    CommandLineKeys keys = ParseCommandLine(line);

    CheckValue(keys.device, false);
    CheckValue(keys.volume, false);
    CheckValue(keys.program, true);
    CheckValue(keys.parameters, true);
    FUZZ_CHECK(keys.help == (line.find('?') != std::string::npos));

    // A key given twice counts where it first appears: one more at the end changes nothing
    // that was there, and sets the key only when the line lacked it.
    for (char key : {'D', 'V', 'R', 'P'}) {
        CommandLineKeys more = ParseCommandLine(line + " " + key + "=zz9");
        for (char other : {'D', 'V', 'R', 'P'}) {
            const std::optional<std::string>& before = Slot(keys, other);
            const std::optional<std::string>& after = Slot(more, other);
            if (other != key || before)
                FUZZ_CHECK(after == before);
            else
                FUZZ_CHECK(after == std::optional<std::string>("zz9"));
        }
        FUZZ_CHECK(more.help == keys.help);
    }
    return 0;
}
