// Hotkey key names ("F1" ... "F12", as the hotkey dialog shows and stores them) and the key
// codes they stand for: Form1::ShortcutMappingGetString and ShortcutMappingGetValue.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "app/form1.h"
#include "fuzz_check.h"

namespace {

using varlindo::Form1;

// Key code 112 is F1: the names count from the code before it, which is the first with a name.
constexpr long kBeforeF1 = Form1::kFirstHotkey - 1;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const long code = in.ConsumeIntegral<long>();
    const std::size_t before = in.ConsumeIntegralInRange<std::size_t>(0, 3);
    const std::size_t after = in.ConsumeIntegralInRange<std::size_t>(0, 3);
    const std::string typed = in.ConsumeRemainingBytesAsString();

    // A code has a name from there on; the name gives the code back, blanks around it or not.
    const std::string name = Form1::ShortcutMappingGetString(code);
    if (code < kBeforeF1) {
        FUZZ_CHECK(name.empty());
    } else {
        FUZZ_CHECK(name.size() > 1 && name[0] == 'F');
        if (code - kBeforeF1 <= INT16_MAX) {
            FUZZ_CHECK(Form1::ShortcutMappingGetValue(name) == code);
            FUZZ_CHECK(Form1::ShortcutMappingGetValue(std::string(before, ' ') + name + std::string(after, ' ')) == code);
        }
    }
    for (long key = Form1::kFirstHotkey; key <= Form1::kLastHotkey; ++key)
        FUZZ_CHECK(Form1::ShortcutMappingGetString(key) == "F" + std::to_string(key - kBeforeF1));

    // Any text: no code, or one whose name reads as that code again.
    const long value = Form1::ShortcutMappingGetValue(typed);
    if (value != 0) {
        FUZZ_CHECK(value >= kBeforeF1 + INT16_MIN && value <= kBeforeF1 + INT16_MAX);
        if (value >= kBeforeF1) FUZZ_CHECK(Form1::ShortcutMappingGetValue(Form1::ShortcutMappingGetString(value)) == value);
    }
    return 0;
}
