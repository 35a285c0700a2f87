#pragma once
// Volume and mute of seven mixer lines of one card, in percent (mute 0 or 1). One mixer is
// open at a time; every user opens, works and closes within one operation.

#include <array>
#include <cstdint>
#include <optional>

#include "platform/ports.h"

namespace varlindo {

class SoundMixer {
public:
    // Slots of the control table.
    enum Slot {
        SpeakerVolume = 0, LineInVolume = 1, MicrophoneVolume = 2, MidiVolume = 3, CDAudioVolume = 4,
        WaveVolume = 5, AuxVolume = 6, SpeakerMute = 7, LineInMute = 8, MicrophoneMute = 9, MidiMute = 10,
        CDAudioMute = 11, WaveMute = 12, AuxMute = 13, SlotCount = 21
    };

    explicit SoundMixer(Platform& platform) : platform_(platform) {}

    // Opens the mixer of the card with this wave-out device number and fills the control
    // table; slots of lines the card lacks stay empty.
    bool OpenMixer(std::int32_t device_number);
    std::uint32_t CloseMixer();
    bool SetLineVolume(std::int32_t slot, std::int32_t percent);
    std::int32_t GetLineVolume(std::int32_t slot);
    int SetLineMute(std::int32_t slot, std::int32_t value);
    std::int16_t GetLineMute(std::int32_t slot);

    bool GetMixerControl(MixerHandle h, std::uint32_t component, std::uint32_t control_type, int slot);
    bool SetControlValue(MixerHandle h, int slot, std::int32_t percent);
    std::int32_t GetControlValue(MixerHandle h, int slot);

    // The mixer that belongs to a wave-out device; nothing when the card has none.
    std::optional<int> MixerOfDevice(int device_number);

private:
    const MixerControlInfo* SlotAt(int slot) const;

    Platform& platform_;
    std::optional<MixerHandle> handle_;
    std::array<std::optional<MixerControlInfo>, SlotCount> slots_{};
};

}  // namespace varlindo
