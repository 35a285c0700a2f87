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
    DeviceNumbers.clear();
    NiknameList.Clear();
    WaveOutPort& waveout = app_.GetPlatform().waveout;
    const int count = waveout.DeviceCount();
    for (int n = 0; n < count; ++n) {
        if (auto name = WaveOutDeviceName(waveout, n)) {
            DeviceList.AddItem(*name);
            DeviceNumbers.push_back(n);
        }
    }
    NiknameList.Clear();
    StartupCombo.Clear();

    const DefaultCard current = mapper_.PlaybackCard();
    CurrentDeviceName = current.name;
    CurrentDeviceNumber = current.device;
    const int current_line = DefaultCardLine(current);
    DeviceList.SetListIndex(0);
    // No line is the default card: none is shown as the current one.
    if (current_line < 0) CurrentDevice.Clear();

    SoundDeviceObj scratch(registry_);
    for (int i = 0; i < DeviceList.ListCount(); ++i) {
        const std::string entry = DeviceList.List(i);
        scratch.Load(entry);
        NiknameList.AddItem(scratch.GetAliasName());
        if (i == current_line) {
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

int Form1::DefaultCardLine(const DefaultCard& card) const {
    // The endpoints name the device, which tells two cards of one name apart; the Sound
    // Mapper value names only the card (the last line of that name is taken).
    int line = -1;
    for (int i = 0; i < DeviceList.ListCount(); ++i) {
        if (card.device ? DeviceNumbers[static_cast<size_t>(i)] == *card.device
                        : text::Trim(DeviceList.List(i)) == text::Trim(card.name))
            line = i;
    }
    return line;
}

bool Form1::LoadCurrentDefaultObject() {
    const DefaultCard current = mapper_.PlaybackCard();
    CurrentDeviceName = current.name;
    CurrentDeviceNumber = current.device;
    CurrentDevice.Clear();
    DeviceList.SetListIndex(0);
    if (const int line = DefaultCardLine(current); line >= 0) {
        CurrentDevice.Load(DeviceList.List(line));
        DeviceList.SetListIndex(line);
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
    // Of two cards of this name, the one the system reports.
    if (const int exact = DefaultCardLine({name, CurrentDeviceNumber});
        CurrentDeviceNumber && exact >= 0 && text::Trim(DeviceList.List(exact)) == wanted)
        DeviceList.SetListIndex(exact);
    if (DeviceList.ListIndex() < 0) return;

    SoundDeviceObj scratch(registry_);
    scratch.Load(DeviceList.List(DeviceList.ListIndex()));
    std::string caption = scratch.GetAliasName() + "\r" + name;
    if (text::CharCount(caption) > 25) caption = text::LeftChars(caption, 25) + "..";
    CurrentCardTxt.SetCaption(caption);
    CurrentDeviceTitle.SetCaption(name);
}

void Form1::SetDevice(const std::string& name) {
    if (auto result = SwitchDevice(name); result && !result->Done()) ReportFailedSwitch(name, *result);
}

std::optional<SwitchResult> Form1::SwitchDevice(const std::string& name) {
    UiPort& ui = app_.GetPlatform().ui;
    if (name.empty()) {
        ui.ShowMessageBox(Say(msg::kNoSoundcardSelected), Say(msg::kNoSoundcardSelectedTitle),
                          mb::Ok | mb::IconInformation);
        return std::nullopt;
    }
    if (PlayCheck.Value() == 0 && RecordCheck.Value() == 0) {
        ui.ShowMessageBox(Say(msg::kSelectInputOutput), Say(msg::kSelectInputOutputTitle),
                          mb::Ok | mb::IconInformation);
        SetWindowState(ui::WindowState::Normal);
        Show();
        LoadPlaybackCard();
        return std::nullopt;
    }

    // The line picked in the list names the very device (two cards may share a name).
    std::optional<int> device;
    const int line = DeviceList.ListIndex();
    if (line >= 0 && line < static_cast<int>(DeviceNumbers.size()) && text::Trim(DeviceList.List(line)) == text::Trim(name))
        device = DeviceNumbers[static_cast<size_t>(line)];

    LoadPlaybackCard();
    const SwitchResult result = mapper_.MakeDefault(name, PlayCheck.Value() == 1, RecordCheck.Value() == 1, device);

    MarkCurrentDevice(mapper_.Playback());
    LoadDevices();
    return result;
}

void Form1::ReportFailedSwitch(const std::string& name, const SwitchResult& result) {
    std::string why;
    switch (result.fault) {
        case SwitchResult::Fault::None: return;
        case SwitchResult::Fault::NotWritten: why = Say(msg::kSwitchNotWritten); break;
        case SwitchResult::Fault::CardMissing: why = Say(msg::kSwitchCardMissing); break;
        case SwitchResult::Fault::NoPlaybackEndpoint: why = Say(msg::kSwitchNoPlaybackEndpoint); break;
        case SwitchResult::Fault::NoRecordEndpoint: why = Say(msg::kSwitchNoRecordEndpoint); break;
        case SwitchResult::Fault::Refused: why = Say(msg::kSwitchRefused) + result.reason; break;
    }
    app_.GetPlatform().ui.ShowMessageBox("\"" + name + "\"" + Say(msg::kSwitchFailed) + "\r\n\r\n" + why,
                                         Say(msg::kSwitchFailedTitle), mb::Ok | mb::IconExclamation);
}

void Form1::SetStartupDevice(const std::string& name) {
    auto result = SwitchDevice(name);
    if (!result || result->Done()) return;
    if (!result->MayComeLater()) {
        ReportFailedSwitch(name, *result);
        return;
    }
    // Right after logon the audio service may not be up yet: the card may be missing or its
    // endpoint not active. Try again for a while, and say so only if it never works.
    StartupRetriesLeft = kStartupRetries;
    StartupRetryTimer.SetEnabled(true);
}

void Form1::StartupRetryTimer_Timer() {
    const std::string name = registry_.GetAppSetting("Settings", "StartupDevice", "");
    // Until it works, nothing the user sees changes.
    const SwitchResult result = mapper_.MakeDefault(name, PlayCheck.Value() == 1, RecordCheck.Value() == 1);
    if (!result.Done() && result.MayComeLater() && --StartupRetriesLeft > 0) return;
    StopStartupRetry();
    if (!result.Done()) {
        ReportFailedSwitch(name, result);
        return;
    }
    FollowPlayback(mapper_.Playback());
    app_.NotifyDeviceChanged(StartStamp);
}

void Form1::StopStartupRetry() {
    StartupRetryTimer.SetEnabled(false);
    StartupRetriesLeft = 0;
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
    StopStartupRetry();  // the user's choice stands
    CurrentDevice.Clear();
    CurrentDevice.Load(DeviceList.List(DeviceList.ListIndex()));
    SetDevice(CurrentDevice.GetDeviceName());
    CreatePopupMenu();
    UpdateTrayTip();
    app_.NotifyDeviceChanged(StartStamp);
}

void Form1::OnDeviceChangeNotification(std::int32_t stamp) {
    if (stamp == StartStamp) return;
    StopStartupRetry();  // another instance switched: its choice stands
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
    CheckDefaultCard();
}

void Form1::CheckDefaultCard() {
    const DefaultCard card = mapper_.PlaybackCard();
    const bool moved = GetDefaultDevice() != card.name || CurrentDeviceNumber != card.device;
    if (moved || CardsChanged()) FollowPlayback(card.name);
}

bool Form1::CardsChanged() {
    WaveOutPort& waveout = app_.GetPlatform().waveout;
    std::vector<std::string> names;
    const int count = waveout.DeviceCount();
    for (int n = 0; n < count; ++n)
        if (auto name = WaveOutDeviceName(waveout, n)) names.push_back(*name);
    return names != DeviceList.Items();
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
