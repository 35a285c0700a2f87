#include <string>

#include "app/form1.h"
#include "core/sound_device_obj.h"
#include "core/text.h"

namespace varlindo {

std::int32_t Form1::MakeStartStamp(const LocalTime& now) {
    // Day, hour, minute and second as decimal texts without leading zeros, joined and read
    // as one number. The longest, "31235959", fits 32 bits.
    const std::string digits = std::to_string(now.day) + std::to_string(now.hour) + std::to_string(now.minute) +
                               std::to_string(now.second);
    return static_cast<std::int32_t>(std::stol(digits));
}

void Form1::Form_Load() {
    SetWidth(kWidth);
    HotkeysRegistered = false;
    StartStamp = MakeStartStamp(app_.GetPlatform().clock.Now());

    CurrentDevice.Clear();
    EditedDevice.Clear();
    StartupCombo.Clear();

    StartupFrame.Move(DeviceFrame.Left(), DeviceFrame.Top(), StartupFrame.Width(), DeviceFrame.Height());

    auto read_check = [this](const char* key) {
        auto v = ParseInt16(registry_.GetAppSetting("Settings", key, "1"));
        return v ? *v : 1;
    };
    PlayCheck.SetValue(read_check("PlaybackCheck"));
    RecordCheck.SetValue(read_check("RecordCheck"));

    DeviceBtn_Click();
    SetCaption(Caption() + " Vers. 2.0.1");

    StartupCombo.Clear();
    LoadDevices();
    ExitConfirmed = false;
    CurrentDeviceName = CurrentDevice.GetDeviceName();

    InitSoundMapperValues();
    // On a first start "Playback" has only just been created: show the card it names.
    if (CurrentDeviceName.empty()) LoadCurrentDefaultObject();

    MarkCurrentDevice(CurrentDeviceName);
    NiknameList.Move(DeviceList.Left(), DeviceList.Top(), DeviceList.Width(), DeviceList.Height());
    NiknameList.SetListIndex(DeviceList.ListIndex());

    LoadCurrentDefaultObject();
    // Until the notification-area icon exists the window stays on screen.
    Show();
}

void Form1::Command1_Click() { SetWindowState(ui::WindowState::Minimized); }

void Form1::ExitBtn_Click() { app_.GetPlatform().ui.EndProgram(); }

}  // namespace varlindo
