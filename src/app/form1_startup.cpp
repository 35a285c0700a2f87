// Start-up and shut-down of the main window, and its captions in the interface language.

#include <string>

#include "app/app_messages.h"
#include "app/form1.h"
#include "app/form1_captions.h"
#include "app/prev_instanz.h"
#include "base/number.h"
#include "base/text.h"
#include "core/sound_device_obj.h"
#include "hotkeys/short_cut_fenster.h"
#include "launch/shortcut_wizzard.h"
#include "volume/volume_settings_dialog.h"
#include "tray/system_tray.h"
#include "util/files.h"

namespace varlindo {

namespace {
int SettingAsInt(Registry& registry, const char* key, const char* fallback) {
    auto v = ParseInt16(registry.GetAppSetting("Settings", key, fallback));
    return v ? *v : ParseInt16(fallback).value_or(0);
}
}  // namespace

std::int32_t Form1::MakeStartStamp(const LocalTime& now) {
    // Day, hour, minute and second as decimal texts without leading zeros, joined and read
    // as one number. The longest, "31235959", fits 32 bits.
    const std::string digits = std::to_string(now.day) + std::to_string(now.hour) + std::to_string(now.minute) +
                               std::to_string(now.second);
    return static_cast<std::int32_t>(std::stol(digits));
}

void Form1::Form_Load() {
    Platform& platform = app_.GetPlatform();
    const bool has_command_line = !text::Trim(app_.CommandLine()).empty();

    SetWidth(kWidth);
    HotkeysRegistered = false;
    StartStamp = MakeStartStamp(platform.clock.Now());

    // Both drop targets look alike.
    DragNDrop2.SetPicture(DragDropField.Picture());
    DragNDrop2.SetToolTipText(DragDropField.ToolTipText());

    CurrentDevice.Clear();
    EditedDevice.Clear();
    StartupCombo.Clear();
    FillVolumeCombo(VolumeCombo);
    FillVolumeCombo(VolumeComboShutdown);
    StartupFrame.Move(DeviceFrame.Left(), DeviceFrame.Top(), StartupFrame.Width(), DeviceFrame.Height());
    ProgramPicture.SetPicture(ui::Image::ProgramIcon);

    PlayCheck.SetValue(SettingAsInt(registry_, "PlaybackCheck", "1"));
    RecordCheck.SetValue(SettingAsInt(registry_, "RecordCheck", "1"));

    if (!has_command_line) {
        std::string unused, keys1, keys2;
        ActivatePrevInstance(app_, unused, keys1, keys2);
    }

    DeviceBtn_Click();
    AlwaysOnTop1.SetToTop();
    Hide();
    SetCaption(std::string(kAppTitle) + msg::kVersionCaption);

    StartupCombo.Clear();
    LoadDevices();

    if (has_command_line && CheckCommandline()) {
        platform.ui.EndProgram();
        return;
    }
    ExitConfirmed = false;

    // The start-up card.
    const std::string startup_device = registry_.GetAppSetting("Settings", "StartupDevice", "");
    if (registry_.GetAppSetting("Settings", "SetDefaultOnStartupCheck", "0") != "0" && !startup_device.empty())
        SetStartupDevice(startup_device);
    // From here on the program stays: it follows changes of the default made elsewhere at
    // once, and the timer's check stays as the fallback.
    platform.endpoints.WatchDefaults();
    CurrentDeviceName = CurrentDevice.GetDeviceName();

    DeviceBtn.SetCaption(DeviceBtn.Caption() + "\r\r");
    StartupBtn.SetCaption(StartupBtn.Caption() + "\r\r");

    InitSoundMapperValues();
    // On a first start "Playback" has only just been created: show the card it names, on
    // both pages.
    if (CurrentDeviceName.empty()) LoadDevices();

    // The start-up card is the one the settings page shows.
    if (SetDefaultOnStartupCheck.Value() == 1) {
        StartupCombo.SetVisible(true);
        const std::string device = registry_.GetAppSetting("Settings", "StartupDevice", "");
        if (!device.empty()) {
            CurrentDevice.Load(device);
            EditedDevice.Load(device);
        } else {
            StartupCombo.SetVisible(false);
        }
    }

    if (app_.GetLanguage() == Language::German) ApplyCaptions(*this, kForm1Captions, Language::German);

    HotkeysCheck.SetValue(SettingAsInt(registry_, "EnableHotkeys", "0"));
    if (HotkeysCheck.Value() == 1) RegisterStoredHotkeys();  // nothing when its click did it
    AutoRunCheck.SetValue(registry_.ReadValueByPath(kRunValuePath).empty() ? 0 : 1);

    MarkCurrentDevice(CurrentDeviceName);
    NiknameList.Move(DeviceList.Left(), DeviceList.Top(), DeviceList.Width(), DeviceList.Height());
    NiknameList.SetListIndex(DeviceList.ListIndex());

    AddTrayIcon(CurrentDeviceName);
    CreatePopupMenu();
    TrayIconActive = true;

    ApplyStartupVolumes();

    StartupCombo.SetVisible(true);
    LoadCurrentDefaultObject();
    UpdateSettingsUI();
}

void Form1::AddTrayIcon(const std::string& tooltip) {
    app_.Tray().AddTrayIcon(*this, tooltip, true, *this, "", [this](const std::string& picked) { OnTrayMenu(picked); });
}

void Form1::Form_QueryUnload(bool& cancel, int unload_mode) {
    // The command line's own unload closes without the shut-down work; an instance whose
    // command line did nothing and that stayed resident closes like any other.
    if (CarryingOutCommandLine) return;
    if (!ConfirmExit()) {
        cancel = true;
        return;
    }
    RunShutdownWork(unload_mode == ui::AppWindows);
}

bool Form1::ConfirmExit() {
    if (!Visible() || GetWindowState() == ui::WindowState::Minimized || ExitConfirmed) return true;
    const int answer = app_.GetPlatform().ui.ShowMessageBox(Say(msg::kExitQuestion), Say(msg::kExitQuestionTitle),
                                                            mb::YesNo | mb::IconQuestion);
    if (answer != mb::AnswerNo) return true;
    SetWindowState(ui::WindowState::Minimized);  // back to the tray
    return false;
}

bool Form1::ConfirmSessionEnd() { return CarryingOutCommandLine || ConfirmExit(); }

void Form1::RunShutdownWork(bool session_ends) {
    if (ShutdownWorkDone) return;
    StorePendingEdits();
    ShutdownWorkDone = true;
    UpdatingControls = true;
    if (TrayIconActive) RemoveTray();
    RemoveAllHotkeys();  // whatever the box says now, no key outlives the program
    HotkeysRegistered = false;

    // The shut-down card.
    SetDefaultOnShutdownCheck.SetValue(SettingAsInt(registry_, "SetDefaultOnShutdownCheck", "0"));
    if (SetDefaultOnShutdownCheck.Value() == 1) {
        const std::string shutdown_device = registry_.GetAppSetting("Settings", "ShutdownDevice", "");
        if (session_ends)
            SwitchDevice(shutdown_device);
        else
            SetDevice(shutdown_device);
    }
    // The stored levels of every card that asks for them at exit.
    for (int i = 0; i < DeviceList.ListCount(); ++i) {
        CurrentDevice.Load(DeviceList.List(i));
        if (CurrentDevice.Get_SetOnShutdown()) ApplyStoredVolume(CurrentDevice, CurrentDevice.GetShutdownVolume());
    }
    UpdatingControls = false;
}

void Form1::Form_Unload(bool&) {
    app_.GetPlatform().endpoints.StopWatching();
    StartupRetryTimer.SetEnabled(false);
    if (TrayIconActive) RemoveTray();
    RemoveAllHotkeys();
    HotkeysRegistered = false;
}

void Form1::Form_Resize() {
    if (GetWindowState() == ui::WindowState::Minimized) {
        StorePendingEdits();
        Hide();
        AddTrayIcon(Say(msg::kCurrentCardTip) + CurrentDeviceName);
        CreatePopupMenu();
    }
    SetWidth(kWidth);
}

void Form1::Form_KeyPress(int& key_ascii) {
    if (key_ascii == 27) Command1_Click();
}

void Form1::Command1_Click() { SetWindowState(ui::WindowState::Minimized); }

void Form1::ExitBtn_Click() {
    Platform& platform = app_.GetPlatform();
    const int answer = platform.ui.ShowMessageBox(Say(msg::kExitQuestion), Say(msg::kExitQuestionTitle),
                                                  mb::YesNo | mb::IconQuestion);
    if (answer == mb::AnswerNo) return;
    ExitConfirmed = true;
    CloseTrayAndDialogs();
    // When a close of the window is already under way (its question is open), this unload
    // does not happen; the program ends here all the same, with its shut-down work.
    if (!app_.Unload(*this)) RunShutdownWork();
    platform.ui.EndProgram();
}

void Form1::RemoveTray() {
    TrayIconActive = false;
    if (app_.HasTray()) app_.Unload(app_.Tray());  // which takes the icon away
}

void Form1::CloseTrayAndDialogs() {
    RemoveTray();
    if (app_.IsLoaded<ShortCutFenster>()) app_.Unload(app_.Form<ShortCutFenster>());
    // A volume dialog in settings mode stores its levels as it closes.
    if (app_.IsLoaded<VolumeSettingsDialog>()) app_.Unload(app_.Form<VolumeSettingsDialog>());
    if (app_.IsLoaded<Files>()) app_.Unload(app_.Form<Files>());
    if (app_.IsLoaded<ShortcutWizzard>()) app_.Unload(app_.Form<ShortcutWizzard>());
}

}  // namespace varlindo
