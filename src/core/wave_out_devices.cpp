#include "core/wave_out_devices.h"

#include "base/text.h"

namespace varlindo {

std::optional<std::string> WaveOutDeviceName(WaveOutPort& waveout, int device) {
    auto name = waveout.ProductName(device);
    if (!name) return std::nullopt;
    return text::Trim(*name);
}

std::optional<int> FindWaveOutDevice(WaveOutPort& waveout, const std::string& name) {
    const int count = waveout.DeviceCount();
    for (int n = 0; n < count; ++n) {
        auto device_name = WaveOutDeviceName(waveout, n);
        if (device_name && text::Contains(*device_name, name)) return n;
    }
    return std::nullopt;
}

}  // namespace varlindo
