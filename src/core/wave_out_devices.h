#pragma once
// The system's wave-out devices by number and by name.

#include <optional>
#include <string>

#include "platform/ports.h"

namespace varlindo {

// The device name of wave-out device N: its product name, trimmed; nothing when the
// device does not answer.
std::optional<std::string> WaveOutDeviceName(WaveOutPort& waveout, int device);

// The first device, in enumeration order, whose name contains `name` (case-sensitive);
// an empty name matches the first device that answers.
std::optional<int> FindWaveOutDevice(WaveOutPort& waveout, const std::string& name);

}  // namespace varlindo
