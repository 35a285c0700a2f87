// The card catalogue of the main window and the switch of the default card.

#include "app/form1.h"
#include "core/sound_mapper.h"
#include "core/text.h"

namespace varlindo {

void Form1::LoadDevices() {
    const bool was_updating = UpdatingControls;
    UpdatingControls = true;

    DeviceList.Clear();
    NiknameList.Clear();
    WaveOutPort& waveout = app_.GetPlatform().waveout;
    const int count = waveout.DeviceCount();
    for (int n = 0; n < count; ++n) {
        if (auto name = WaveOutDeviceName(waveout, n)) DeviceList.AddItem(*name);
    }
    NiknameList.Clear();
    StartupCombo.Clear();

    CurrentDeviceName = registry_.ReadValueByPath(kPlaybackPath);
    DeviceList.SetListIndex(0);

    SoundDeviceObj scratch(registry_);
    for (int i = 0; i < DeviceList.ListCount(); ++i) {
        const std::string entry = DeviceList.List(i);
        scratch.Load(entry);
        NiknameList.AddItem(scratch.GetAliasName());
        if (text::Trim(entry) == text::Trim(CurrentDeviceName)) {
            DeviceList.SetListIndex(i);
            CurrentDevice.Load(entry);
            EditedDevice.Load(entry);
        }
        StartupCombo.AddItem(entry);
    }

    StartupCombo.SetText(CurrentDevice.GetDeviceName());
    CurrentDeviceName = CurrentDevice.GetDeviceName();
    NiknameList.SetListIndex(DeviceList.ListIndex());
    StartupCombo.SetVisible(true);

    UpdatingControls = was_updating;
}

bool Form1::LoadCurrentDefaultObject() {
    CurrentDeviceName = registry_.ReadValueByPath(kPlaybackPath);
    CurrentDevice.Clear();
    DeviceList.SetListIndex(0);
    for (int i = 0; i < DeviceList.ListCount(); ++i) {
        if (text::Trim(DeviceList.List(i)) == text::Trim(CurrentDeviceName)) {
            CurrentDevice.Load(DeviceList.List(i));
            DeviceList.SetListIndex(i);
        }
    }
    return false;
}

std::optional<int> Form1::GetDeviceID(const std::string& name) {
    return FindWaveOutDevice(app_.GetPlatform().waveout, name);
}

void Form1::MarkCurrentDevice(const std::string& name) {
    const std::string wanted = text::Trim(name);
    for (int i = 0; i < DeviceList.ListCount(); ++i) {
        if (text::Contains(DeviceList.List(i), wanted)) DeviceList.SetListIndex(i);
    }
    if (DeviceList.ListIndex() < 0) return;

    SoundDeviceObj scratch(registry_);
    scratch.Load(DeviceList.List(DeviceList.ListIndex()));
    std::string caption = scratch.GetAliasName() + "\r" + name;
    if (text::CharCount(caption) > 25) caption = text::LeftChars(caption, 25) + "..";
    CurrentCardTxt.SetCaption(caption);
    CurrentDeviceTitle.SetCaption(name);
}

void Form1::SetDevice(const std::string& name) {
    UiPort& ui = app_.GetPlatform().ui;
    if (name.empty()) {
        ui.ShowMessageBox(Say("Please select an device", "Bitte w\xC3\xA4hlen Sie eine Soundkarte aus"),
                      Say("No Soundcard selected", "Keine Soundkarte ausgew\xC3\xA4hlt"),
                      mb::Ok | mb::IconInformation);
        return;
    }
    if (PlayCheck.Value() == 0 && RecordCheck.Value() == 0) {
        ui.ShowMessageBox(Say("You have not selected Playback or Record!\r\rYou must select an input and/or output "
                          "before you can set the device!",
                          "Die Einstellungen sind unvollst\xC3\xA4ndig!\r\rSie m\xC3\xBCssen Wiedergabe oder "
                          "Aufnahme ausw\xC3\xA4hlen, bevor die die Soundkarte wechseln k\xC3\xB6nnen!"),
                      Say("Please select input/output first!", "Aufnahme oder Wiedergabe w\xC3\xA4hlen!"),
                      mb::Ok | mb::IconInformation);
        SetWindowState(ui::WindowState::Normal);
        Show();
        LoadPlaybackCard();
        return;
    }

    LoadPlaybackCard();
    // "Record" is always written before "Playback".
    if (RecordCheck.Value() == 1) registry_.WriteStringValue(kSoundMapperRoot, kSoundMapperKey, "Record", name);
    if (PlayCheck.Value() == 1) registry_.WriteStringValue(kSoundMapperRoot, kSoundMapperKey, "Playback", name);

    MarkCurrentDevice(registry_.ReadValueByPath(kPlaybackPath));
    LoadDevices();
}

void Form1::LoadPlaybackCard() {
    // With no "Playback" value yet there is no card to load (and nothing to complain of).
    const std::string playback = text::Trim(registry_.ReadValueByPath(kPlaybackPath));
    if (playback.empty())
        CurrentDevice.Clear();
    else
        CurrentDevice.Load(playback);
}

void Form1::DeviceList_DblClick() {
    CurrentDevice.Clear();
    CurrentDevice.Load(DeviceList.List(DeviceList.ListIndex()));
    SetDevice(CurrentDevice.GetDeviceName());
    app_.GetPlatform().ui.BroadcastMessage(kDeviceChangeMessage, static_cast<std::uint32_t>(StartStamp));
}

void Form1::OnDeviceChangeNotification(std::uintptr_t stamp) {
    if (static_cast<std::int32_t>(static_cast<std::uint32_t>(stamp)) == StartStamp) return;
    // The labels of the current card follow as well, as after the timer's check.
    FollowPlayback(registry_.ReadValueByPath(kPlaybackPath));
}

void Form1::FollowPlayback(const std::string& playback) {
    LoadDevices();
    MarkCurrentDevice(playback);
}

void Form1::RefreshTimer_Timer() {
    if (++RefreshCounter % 6 != 0) return;
    RefreshCounter = 0;
    const std::string playback = registry_.ReadValueByPath(kPlaybackPath);
    if (GetDefaultDevice() != playback) FollowPlayback(playback);
}

void Form1::DeviceBtn_Click() {
    StartupFrame.SetVisible(false);
    DeviceFrame.SetVisible(true);
    DeviceBtn.SetFontBold(true);
    DeviceBtn.SetBackColor(0xFFFFFF);
    StartupBtn.SetFontBold(false);
    StartupBtn.SetBackColor(0xEFFFFF);
    Command1.SetFocus();

    NiknameList.Clear();
    SoundDeviceObj scratch(registry_);
    for (int i = 0; i < DeviceList.ListCount(); ++i) {
        if (CurrentDevice.GetDeviceName() == DeviceList.List(i)) DeviceList.SetListIndex(i);
        scratch.Load(text::Trim(DeviceList.List(i)));
        NiknameList.AddItem(scratch.GetAliasName());
    }
    NiknameList.SetListIndex(DeviceList.ListIndex());
    MarkCurrentDevice(CurrentDevice.GetDeviceName());
}

void Form1::InitSoundMapperValues() {
    if (registry_.ReadDWordValue(kSoundMapperRoot, kSoundMapperKey, "PreferredOnly", -32) == -32)
        registry_.WriteDWordValue(kSoundMapperRoot, kSoundMapperKey, "PreferredOnly", 1);
    if (registry_.ReadDWordValue(kSoundMapperRoot, kSoundMapperKey, "SetupPreferredAudioDevicesCount", -32) == -32)
        registry_.WriteDWordValue(kSoundMapperRoot, kSoundMapperKey, "SetupPreferredAudioDevicesCount", 3);
    if (registry_.ReadValueByPath(kRecordPath).empty())
        registry_.WriteStringValue(kSoundMapperRoot, kSoundMapperKey, "Record", DeviceList.List(0));
    if (registry_.ReadValueByPath(kPlaybackPath).empty())
        registry_.WriteStringValue(kSoundMapperRoot, kSoundMapperKey, "Playback", DeviceList.List(0));
}

}  // namespace varlindo
