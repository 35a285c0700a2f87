// A card's stored record ("Volume_<device name>" in the settings store) as
// SoundDeviceObj::Load reads it from a simulated registry that holds fuzzed values: texts,
// numbers in and out of range, values of other types, or nothing.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "base/text.h"
#include "core/registry.h"
#include "core/sound_device_obj.h"
#include "core/wave_out_devices.h"
#include "fuzz_check.h"
#include "platform/sim/sim_platform.h"

namespace {

using namespace varlindo;
using Line = SoundDeviceObj::Line;

// The value a stored number must load as; nothing when the text is a number whose reading
// this target does not work out itself (fractions, long runs of digits).
std::optional<std::int16_t> Expected(const std::optional<RegValue>& stored, std::int16_t fallback) {
    if (!stored || stored->type != regtype::Sz) return fallback;
    const std::string t = text::Trim(stored->data.substr(0, stored->data.find('\0')));
    std::size_t i = 0;
    const bool negative = !t.empty() && t[0] == '-';
    if (!t.empty() && (t[0] == '+' || t[0] == '-')) ++i;
    const std::size_t digits_from = i;
    while (i < t.size() && text::IsDigit(t[i])) ++i;
    const std::size_t digits = i - digits_from;
    if (digits == 0) return fallback;
    if (i < t.size() && t[i] == '.') {
        const std::size_t fraction_from = ++i;
        while (i < t.size() && text::IsDigit(t[i])) ++i;
        if (i == fraction_from || i != t.size()) return fallback;
        return std::nullopt;
    }
    if (i != t.size()) return fallback;
    if (digits > 5) return std::nullopt;
    long n = std::stol(t.substr(digits_from, digits));
    if (negative) n = -n;
    if (n < INT16_MIN || n > INT16_MAX) return fallback;
    return static_cast<std::int16_t>(n);
}

std::optional<RegValue> StoredValue(FuzzedDataProvider& in) {
    switch (in.ConsumeIntegralInRange(0, 4)) {
        case 0: return std::nullopt;
        case 1: {
            // A number as the program writes it, perhaps with blanks around it.
            const auto n = in.ConsumeIntegral<std::int16_t>();
            const std::string before(in.ConsumeIntegralInRange(0, 2), ' ');
            const std::string after(in.ConsumeIntegralInRange(0, 2), ' ');
            return RegValue{regtype::Sz, before + std::to_string(n) + after};
        }
        case 2: return RegValue{regtype::Sz, in.ConsumeRandomLengthString(24)};
        case 3: return RegValue{regtype::DWord, in.ConsumeBytesAsString(4)};
        default: return RegValue{regtype::Binary, in.ConsumeRandomLengthString(8)};
    }
}

struct Record {
    std::optional<RegValue> alias;
    std::optional<RegValue> numbers[4];  // SetVolumeOnStartup, StartupVolume, ShutdownVolume, SetVolumeOnShutdown
    std::optional<RegValue> volume[Line::LineCount];
    std::optional<RegValue> mute[Line::LineCount];
};
constexpr const char* kNumberKeys[] = {"SetVolumeOnStartup", "StartupVolume", "ShutdownVolume",
                                       "SetVolumeOnShutdown"};

void CheckNumber(const std::optional<RegValue>& stored, std::int16_t fallback, std::int16_t loaded) {
    if (const auto expected = Expected(stored, fallback)) FUZZ_CHECK(loaded == *expected);
}

void CheckFlag(const std::optional<RegValue>& stored, bool loaded) {
    if (const auto expected = Expected(stored, 0)) FUZZ_CHECK(loaded == (*expected != 0));
}

void CheckSame(const SoundDeviceObj& a, const SoundDeviceObj& b) {
    FUZZ_CHECK(a.GetDeviceName() == b.GetDeviceName());
    FUZZ_CHECK(a.Get_SetOnStartup() == b.Get_SetOnStartup());
    FUZZ_CHECK(a.Get_SetOnShutdown() == b.Get_SetOnShutdown());
    FUZZ_CHECK(a.GetStartupVolume() == b.GetStartupVolume());
    FUZZ_CHECK(a.GetShutdownVolume() == b.GetShutdownVolume());
    for (int l = 0; l < Line::LineCount; ++l) {
        FUZZ_CHECK(a.GetLineVolume(Line(l)) == b.GetLineVolume(Line(l)));
        FUZZ_CHECK(a.GetLineMute(Line(l)) == b.GetLineMute(Line(l)));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    sim::SimDesktop desktop;
    const int cards = in.ConsumeIntegralInRange(0, 3);
    for (int c = 0; c < cards; ++c) desktop.AddCard(in.ConsumeRandomLengthString(40));
    // Device names come from the system's device list and from stored texts, which end at
    // a NUL.
    std::string device_name = in.ConsumeRandomLengthString(40);
    device_name = device_name.substr(0, device_name.find('\0'));
    Record record;
    record.alias = StoredValue(in);
    for (auto& v : record.numbers) v = StoredValue(in);
    for (int l = 0; l < Line::LineCount; ++l) {
        record.volume[l] = StoredValue(in);
        record.mute[l] = StoredValue(in);
    }

    sim::SimPlatform program(desktop);
    Platform& ports = program.Ports();
    Registry registry(ports);
    const std::string name = text::Trim(device_name);
    if (auto key = ports.registry.CreateKey(hkey::CurrentUser,
                                            std::string(kSettingsStoreKey) + "\\" + kAppTitle + "\\Volume_" + name)) {
        auto put = [&](const char* value_name, const std::optional<RegValue>& v) {
            if (v) ports.registry.SetValue(*key, value_name, *v);
        };
        put("AliasName", record.alias);
        for (int i = 0; i < 4; ++i) put(kNumberKeys[i], record.numbers[i]);
        for (int l = 0; l < Line::LineCount; ++l) {
            put(SoundDeviceObj::VolumeKey(Line(l)), record.volume[l]);
            put(SoundDeviceObj::MuteKey(Line(l)), record.mute[l]);
        }
        ports.registry.CloseKey(*key);
    }

    SoundDeviceObj card(registry);
    card.Load(device_name);
    FUZZ_CHECK(card.GetDeviceName() == name);
    FUZZ_CHECK(!card.Changed());
    // The alias as stored, or the device name when none is.
    std::string alias = name;
    if (record.alias && record.alias->type == regtype::Sz) {
        const std::string stored = record.alias->data.substr(0, record.alias->data.find('\0'));
        if (!stored.empty()) alias = stored;
    }
    FUZZ_CHECK(card.GetAliasName() == alias);
    // A value that is no 16-bit number reads as its key's default; the others still load.
    CheckFlag(record.numbers[0], card.Get_SetOnStartup());
    CheckNumber(record.numbers[1], 0, card.GetStartupVolume());
    CheckNumber(record.numbers[2], 0, card.GetShutdownVolume());
    CheckFlag(record.numbers[3], card.Get_SetOnShutdown());
    for (int l = 0; l < Line::LineCount; ++l) {
        CheckNumber(record.volume[l], 50, card.GetLineVolume(Line(l)));
        CheckNumber(record.mute[l], 0, card.GetLineMute(Line(l)));
    }
    // The card is the first the system lists whose name holds the device name.
    int first = -1;
    for (int n = 0; n < cards && first < 0; ++n)
        if (text::Contains(WaveOutDeviceName(ports.waveout, n).value_or(""), name) &&
            WaveOutDeviceName(ports.waveout, n))
            first = n;
    FUZZ_CHECK(card.GetDeviceID() == first);

    // What is saved loads again as it was; the alias is kept trimmed.
    if (!name.empty()) {
        card.SaveAll();
        FUZZ_CHECK(!card.Changed());
        SoundDeviceObj again(registry);
        again.Load(device_name);
        CheckSame(card, again);
        const std::string trimmed = text::Trim(alias);
        FUZZ_CHECK(again.GetAliasName() == (trimmed.empty() ? name : trimmed));
    }
    FUZZ_CHECK(program.registry.OpenKeys() == 0);
    return 0;
}
