#pragma once
// The per-user values that tell the multimedia system which cards are the defaults, and
// the enumeration of the wave-out devices that they name.

#include <optional>
#include <string>

#include "platform/ports.h"

namespace varlindo {

inline constexpr const char* kSoundMapperRoot = "HKEY_CURRENT_USER";
inline constexpr const char* kSoundMapperKey = "Software\\Microsoft\\Multimedia\\Sound Mapper";
inline constexpr const char* kPlaybackPath = "HKEY_CURRENT_USER\\Software\\Microsoft\\Multimedia\\Sound Mapper\\Playback";
inline constexpr const char* kRecordPath = "HKEY_CURRENT_USER\\Software\\Microsoft\\Multimedia\\Sound Mapper\\Record";

// The device name of wave-out device N: its product name, trimmed; nothing when the
// device does not answer.
std::optional<std::string> WaveOutDeviceName(WaveOutPort& waveout, int device);

// The first device, in enumeration order, whose name contains `name` (case-sensitive);
// an empty name matches the first device that answers.
std::optional<int> FindWaveOutDevice(WaveOutPort& waveout, const std::string& name);

}  // namespace varlindo
