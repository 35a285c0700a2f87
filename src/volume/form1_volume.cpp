// Overall volume of one card, in percent.

#include <algorithm>

#include "app/form1.h"
#include "base/number.h"
#include "volume/sound_mixer.h"
#include "volume/volume_messages.h"
#include "volume/volume_settings_dialog.h"

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

void Form1::ApplyStartupVolumes() {
    if (DeviceList.ListCount() == 0) {
        app_.GetPlatform().ui.ShowMessageBox(msg::kNoSoundcardFound, "", mb::Ok);
        return;
    }
    SoundDeviceObj card(registry_);
    for (int i = 0; i < DeviceList.ListCount(); ++i) {
        card.Load(DeviceList.List(i));
        if (card.Get_SetOnStartup()) ApplyStoredVolume(card, card.GetStartupVolume());
    }
}

void Form1::ApplyStoredVolume(const SoundDeviceObj& card, std::int16_t percent) {
    // Taken first: applying the levels lets events run, which may reload the card records.
    const std::string name = card.GetDeviceName();
    const std::int16_t number = card.GetDeviceID();
    app_.Form<VolumeSettingsDialog>().ApplySettingsToSoundcard(name);
    // Then the card's volume as the settings page sets it. 0 is what every card has stored
    // before anyone picked a percentage, so it means "none chosen" (a card would otherwise
    // fall silent at every start); a value above 100 was never chosen either.
    if (percent > 0 && percent <= 100 && number >= 0) {
        std::int16_t volume = percent;
        SetVolume(number, volume);
    }
}

void Form1::OpenVolumeDialog(const std::string& device_name, bool settings_mode) {
    VolumeSettingsDialog& dialog = app_.Form<VolumeSettingsDialog>();
    dialog.SetDialog(device_name, settings_mode);
    app_.Show(dialog);
}

void Form1::OpenVolumeBrn_Click() {
    OpenVolumeBrn.SetEnabled(false);
    OpenVolumeDialog(DeviceList.List(DeviceList.ListIndex()), false);
    OpenVolumeBrn.SetEnabled(true);
}

void Form1::SetVolumeBtn_Click() {
    SetVolumeBtn.SetEnabled(false);
    OpenVolumeDialog(EditedDevice.GetDeviceName(), true);
    SetVolumeBtn.SetEnabled(true);
}

}  // namespace varlindo
