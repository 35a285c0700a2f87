// Overall volume of one card, in percent.

#include <algorithm>

#include "app/form1.h"
#include "base/number.h"
#include "volume/sound_mixer.h"
#include "volume/volume_messages.h"

namespace varlindo {

void Form1::SetVolume(std::int16_t DeviceNumber, std::int16_t& Volume) {
    Platform& platform = app_.GetPlatform();
    if (DeviceNumber > platform.waveout.DeviceCount() - 1) {
        platform.ui.ShowMessageBox(msg::kDeviceNumberTooLarge, "", mb::Ok);
        return;
    }
    Volume = std::clamp<std::int16_t>(Volume, 0, 100);
    SoundMixer& mixer = app_.Mixer();
    mixer.OpenMixer(DeviceNumber);
    mixer.SetLineVolume(SoundMixer::SpeakerVolume, Volume);
    mixer.SetLineVolume(SoundMixer::WaveVolume, Volume);
    mixer.CloseMixer();
}

std::int16_t Form1::GetVolume(std::int16_t DeviceNumber) {
    Platform& platform = app_.GetPlatform();
    if (DeviceNumber > platform.waveout.DeviceCount() - 1) {
        platform.ui.ShowMessageBox(msg::kDeviceNumberTooLarge, "", mb::Ok);
        return -1;
    }
    if (auto volume = platform.waveout.Volume(DeviceNumber)) {
        const unsigned left = *volume & 0xFFFFu;
        return static_cast<std::int16_t>(RoundHalfEven(left / 655.35));
    }
    // Some drivers cannot report a device's wave-out volume: read the speaker line.
    SoundMixer& mixer = app_.Mixer();
    if (!mixer.OpenMixer(DeviceNumber)) return 0;
    const std::int32_t percent = mixer.GetLineVolume(SoundMixer::SpeakerVolume);
    mixer.CloseMixer();
    return static_cast<std::int16_t>(percent);
}

}  // namespace varlindo
