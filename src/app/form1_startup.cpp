// Start-up and shut-down of the main window, and its captions in the interface language.

#include <string>

#include "app/form1.h"
#include "core/prev_instanz.h"
#include "core/sound_device_obj.h"
#include "core/text.h"
#include "tray/system_tray.h"

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

    CurrentDevice.Clear();
    EditedDevice.Clear();
    StartupCombo.Clear();
    StartupFrame.Move(DeviceFrame.Left(), DeviceFrame.Top(), StartupFrame.Width(), DeviceFrame.Height());

    PlayCheck.SetValue(SettingAsInt(registry_, "PlaybackCheck", "1"));
    RecordCheck.SetValue(SettingAsInt(registry_, "RecordCheck", "1"));

    if (!has_command_line) {
        std::string unused, keys1, keys2;
        ActivatePrevInstance(app_, unused, keys1, keys2);
    }

    DeviceBtn_Click();
    Hide();
    SetCaption(std::string(kAppTitle) + " Vers. 2.0.1");

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
        SetDevice(startup_device);
    CurrentDeviceName = CurrentDevice.GetDeviceName();

    DeviceBtn.SetCaption(DeviceBtn.Caption() + "\r\r");
    StartupBtn.SetCaption(StartupBtn.Caption() + "\r\r");

    InitSoundMapperValues();
    // On a first start "Playback" has only just been created: show the card it names.
    if (CurrentDeviceName.empty()) LoadCurrentDefaultObject();

    if (app_.GetLanguage() == Language::German) SetGermanCaptions();

    MarkCurrentDevice(CurrentDeviceName);
    NiknameList.Move(DeviceList.Left(), DeviceList.Top(), DeviceList.Width(), DeviceList.Height());
    NiknameList.SetListIndex(DeviceList.ListIndex());

    AddTrayIcon(CurrentDeviceName);
    TrayIconActive = true;

    StartupCombo.SetVisible(true);
    LoadCurrentDefaultObject();
}

void Form1::AddTrayIcon(const std::string& tooltip) {
    app_.Tray().AddTrayIcon(*this, tooltip, true, *this, "");
}

void Form1::SetGermanCaptions() {
    PlayCheck.SetCaption("Wiedergabe");
    RecordCheck.SetCaption("Aufnahme");
    SetBtn.SetCaption("Soundkarte aktivieren");
    SetDefaultOnStartupCheck.SetCaption("bei Programmstart");
    SetDefaultOnShutdownCheck.SetCaption("bei Programmende");
    Command1.SetCaption("System Tray >>");
    ExitBtn.SetCaption("Beenden");
    DeviceBtn.SetCaption("Soundkarten");
    StartupBtn.SetCaption("Einstellungen");
}

void Form1::Form_QueryUnload(bool& cancel, int) {
    if (!text::Trim(app_.CommandLine()).empty()) return;  // a command-line run closes without shut-down work

    if (Visible() && GetWindowState() != ui::WindowState::Minimized && !ExitConfirmed) {
        const int answer = app_.GetPlatform().ui.ShowMessageBox(
            Say("Shutdown Varlindo?", " Varlindo beenden?"), Say("Exit program?", "Programm beenden?"),
            mb::YesNo | mb::IconQuestion);
        if (answer == mb::AnswerNo) {
            cancel = true;
            SetWindowState(ui::WindowState::Minimized);
            return;
        }
    }

    UpdatingControls = true;
    if (TrayIconActive) RemoveTray();
    HotkeysRegistered = false;

    // The shut-down card.
    SetDefaultOnShutdownCheck.SetValue(SettingAsInt(registry_, "SetDefaultOnShutdownCheck", "0"));
    if (SetDefaultOnShutdownCheck.Value() == 1) SetDevice(registry_.GetAppSetting("Settings", "ShutdownDevice", ""));
    UpdatingControls = false;
}

void Form1::Form_Unload(bool&) {
    if (TrayIconActive) RemoveTray();
    HotkeysRegistered = false;
}

bool Form1::UnloadForm(int unload_mode) {
    bool cancel = false;
    Form_QueryUnload(cancel, unload_mode);
    if (cancel) return false;
    Form_Unload(cancel);
    if (cancel) return false;
    Hide();
    return true;
}

void Form1::Form_Resize() {
    if (GetWindowState() == ui::WindowState::Minimized) {
        Hide();
        AddTrayIcon(Say("current: ", "Standard: ") + CurrentDeviceName);
    }
    SetWidth(kWidth);
}

void Form1::Form_KeyPress(int& key_ascii) {
    if (key_ascii == 27) Command1_Click();
}

void Form1::Command1_Click() { SetWindowState(ui::WindowState::Minimized); }

void Form1::ExitBtn_Click() {
    Platform& platform = app_.GetPlatform();
    const int answer = platform.ui.ShowMessageBox(Say("Shutdown Varlindo?", " Varlindo beenden?"),
                                                  Say("Exit program?", "Programm beenden?"),
                                                  mb::YesNo | mb::IconQuestion);
    if (answer == mb::AnswerNo) return;
    ExitConfirmed = true;
    CloseTrayAndDialogs();
    UnloadForm(kFormCode);
    platform.ui.EndProgram();
}

void Form1::RemoveTray() {
    TrayIconActive = false;
    app_.Tray().RemoveTrayIcon();
    app_.UnloadTray();
}

void Form1::CloseTrayAndDialogs() { RemoveTray(); }

void Form1::BringForward() {
    if (app_.HasTray()) {
        app_.Tray().OnMouseNotification(SystemTray::LeftDouble);  // the same as a double-click on the icon
        return;
    }
    SetWindowState(ui::WindowState::Normal);
    Show();
    Activate();
}

}  // namespace varlindo
