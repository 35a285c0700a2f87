#include "volume/sound_mixer.h"

#include <algorithm>
#include <cstdlib>

#include "base/number.h"

namespace varlindo {

std::optional<int> SoundMixer::MixerOfDevice(int device_number) {
    // Mixer N need not belong to wave-out device N: cards without a mixer, and mixers of
    // recording devices, shift the numbering. Only the platform's mapping tells; a card it
    // maps to no mixer has none, and its volume cannot be set.
    if (device_number < 0) return std::nullopt;
    return platform_.mixer.MixerOfWaveOut(device_number);
}

bool SoundMixer::OpenMixer(std::int32_t device_number) {
    // One mixer at a time: one still open (a pass cut short) is closed, so a failed open
    // never leaves another card's mixer to be written.
    if (handle_) CloseMixer();
    const auto number = MixerOfDevice(device_number);
    if (!number || *number < 0 || *number > platform_.mixer.MixerCount() - 1) return false;
    auto h = platform_.mixer.Open(*number);
    if (!h) return false;
    handle_ = *h;
    slots_.fill(std::nullopt);

    struct Entry {
        int slot;
        std::uint32_t component;
    };
    static constexpr Entry kVolumes[] = {
        {SpeakerVolume, mixer::DstSpeakers}, {MicrophoneVolume, mixer::SrcMicrophone},
        {AuxVolume, mixer::SrcAuxiliary},    {CDAudioVolume, mixer::SrcCompactDisc},
        {MidiVolume, mixer::SrcSynthesizer}, {WaveVolume, mixer::SrcWaveOut},
        {LineInVolume, mixer::SrcLine},
    };
    static constexpr Entry kMutes[] = {
        {SpeakerMute, mixer::DstSpeakers}, {MicrophoneMute, mixer::SrcMicrophone},
        {AuxMute, mixer::SrcAuxiliary},    {CDAudioMute, mixer::SrcCompactDisc},
        {MidiMute, mixer::SrcSynthesizer}, {WaveMute, mixer::SrcWaveOut},
        {LineInMute, mixer::SrcLine},
    };
    for (const Entry& e : kVolumes) GetMixerControl(*handle_, e.component, mixer::ControlVolume, e.slot);
    for (const Entry& e : kMutes) GetMixerControl(*handle_, e.component, mixer::ControlMute, e.slot);
    return true;
}

std::uint32_t SoundMixer::CloseMixer() {
    constexpr std::uint32_t kInvalidHandle = 5;  // what the platform answers for no handle
    std::uint32_t result = handle_ ? platform_.mixer.Close(*handle_) : kInvalidHandle;
    handle_.reset();
    slots_.fill(std::nullopt);
    return result;
}

bool SoundMixer::GetMixerControl(MixerHandle h, std::uint32_t component, std::uint32_t control_type, int slot) {
    if (slot < 0 || slot >= SlotCount) return false;
    auto line = platform_.mixer.LineByComponentType(h, component);
    if (!line) return false;
    auto control = platform_.mixer.ControlByType(h, *line, control_type);
    if (!control) return false;
    slots_[static_cast<size_t>(slot)] = *control;
    return true;
}

const MixerControlInfo* SoundMixer::SlotAt(int slot) const {
    if (slot < 0 || slot >= SlotCount || !slots_[static_cast<size_t>(slot)]) return nullptr;
    return &*slots_[static_cast<size_t>(slot)];
}

bool SoundMixer::SetControlValue(MixerHandle h, int slot, std::int32_t percent) {
    const MixerControlInfo* c = SlotAt(slot);
    if (!c) return false;  // an empty slot belongs to no control of this card
    std::int64_t value = percent;
    if (c->maximum > 100) value = static_cast<std::int64_t>(percent) * (c->maximum / 100);
    value = std::clamp<std::int64_t>(value, c->minimum, c->maximum);
    return platform_.mixer.SetValue(h, c->id, static_cast<std::uint32_t>(value));
}

std::int32_t SoundMixer::GetControlValue(MixerHandle h, int slot) {
    const MixerControlInfo* c = SlotAt(slot);
    if (!c) return 0;
    auto raw = platform_.mixer.GetValue(h, c->id);
    if (!raw) return 0;
    if (c->maximum > 100)
        return RoundHalfEven(static_cast<double>(*raw) * 100.0 / c->maximum - c->minimum);
    return static_cast<std::int32_t>(*raw);
}

bool SoundMixer::SetLineVolume(std::int32_t slot, std::int32_t percent) {
    if (!handle_) return false;
    if (percent >= 100) percent = 99;
    return SetControlValue(*handle_, slot, percent);
}

std::int32_t SoundMixer::GetLineVolume(std::int32_t slot) {
    if (!handle_) return 0;
    return GetControlValue(*handle_, slot);
}

int SoundMixer::SetLineMute(std::int32_t slot, std::int32_t value) {
    if (!handle_) return 0;
    return SetControlValue(*handle_, slot, std::abs(value)) ? 1 : 0;
}

std::int16_t SoundMixer::GetLineMute(std::int32_t slot) {
    if (!handle_) return 0;
    return static_cast<std::int16_t>(GetControlValue(*handle_, slot));
}

}  // namespace varlindo
