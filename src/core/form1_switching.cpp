// The card catalogue of the main window and the switch of the default card.

#include "app/form1.h"
#include "base/text.h"
#include "core/core_messages.h"
#include "core/wave_out_devices.h"

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

    CurrentDeviceName = mapper_.Playback();
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
    UpdateSettingsUI();
    StartupCombo.SetVisible(true);

    UpdatingControls = was_updating;
}

bool Form1::LoadCurrentDefaultObject() {
    CurrentDeviceName = mapper_.Playback();
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
        ui.ShowMessageBox(Say(msg::kNoSoundcardSelected), Say(msg::kNoSoundcardSelectedTitle),
                          mb::Ok | mb::IconInformation);
        return;
    }
    if (PlayCheck.Value() == 0 && RecordCheck.Value() == 0) {
        ui.ShowMessageBox(Say(msg::kSelectInputOutput), Say(msg::kSelectInputOutputTitle),
                          mb::Ok | mb::IconInformation);
        SetWindowState(ui::WindowState::Normal);
        Show();
        LoadPlaybackCard();
        return;
    }

    LoadPlaybackCard();
    mapper_.MakeDefault(name, PlayCheck.Value() == 1, RecordCheck.Value() == 1);

    MarkCurrentDevice(mapper_.Playback());
    LoadDevices();
}

void Form1::LoadPlaybackCard() {
    // With no "Playback" value yet there is no card to load (and nothing to complain of).
    const std::string playback = text::Trim(mapper_.Playback());
    if (playback.empty())
        CurrentDevice.Clear();
    else
        CurrentDevice.Load(playback);
}

void Form1::DeviceList_DblClick() {
    CurrentDevice.Clear();
    CurrentDevice.Load(DeviceList.List(DeviceList.ListIndex()));
    SetDevice(CurrentDevice.GetDeviceName());
    CreatePopupMenu();
    UpdateTrayTip();
    app_.NotifyDeviceChanged(StartStamp);
}

void Form1::OnDeviceChangeNotification(std::int32_t stamp) {
    if (stamp == StartStamp) return;
    // The labels of the current card follow as well, as after the timer's check.
    FollowPlayback(mapper_.Playback());
}

void Form1::FollowPlayback(const std::string& playback) {
    LoadDevices();
    MarkCurrentDevice(playback);
    CreatePopupMenu();
    UpdateTrayTip();
}

void Form1::RefreshTimer_Timer() {
    if (++RefreshCounter % 6 != 0) return;
    RefreshCounter = 0;
    const std::string playback = mapper_.Playback();
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

void Form1::InitSoundMapperValues() { mapper_.CreateMissingValues(DeviceList.List(0)); }

}  // namespace varlindo
