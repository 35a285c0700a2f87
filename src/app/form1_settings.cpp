// The main window's settings page: one card's nickname, volumes and flags, and the
// program-wide choices (start-up and shut-down card, hotkeys, autostart); the page
// buttons, the home-page link and the window's small interactions.

#include <string>

#include "app/form1.h"
#include "base/path_text.h"
#include "base/text.h"
#include "tray/window_handling.h"

// VARLINDO_HOMEPAGE_URL: the home page, a build setting (CMakeLists.txt).

namespace varlindo {

namespace {
constexpr ui::Color kHintHover = 0x808080;
constexpr ui::Color kHintFaded = 0xE0E0E0;
}  // namespace

void Form1::BindSettingsEvents() {
    StartupBtn.Click = [this] { StartupBtn_Click(); };
    StartupCombo.Change = [this] { StartupCombo_Change(); };
    StartupCombo.Click = [this] { StartupCombo_Click(); };
    StartupCombo.GotFocus = [this] { StartupCombo_GotFocus(); };
    StartupCombo.LostFocus = [this] { StartupCombo_LostFocus(); };
    StartupCombo.KeyPress = [this](int& key) { StartupCombo_KeyPress(key); };
    TextNikname.LostFocus = [this] { TextNikname_LostFocus(); };
    SetVolumeCheck.Click = [this] { SetVolumeCheck_Click(); };
    SetVolumeCheckShutdown.Click = [this] { SetVolumeCheckShutdown_Click(); };
    VolumeCombo.LostFocus = [this] { VolumeCombo_LostFocus(); };
    VolumeComboShutdown.LostFocus = [this] { VolumeComboShutdown_LostFocus(); };
    // The percentage lists are chosen from, not typed into.
    VolumeCombo.KeyPress = [](int& key) { key = 0; };
    VolumeComboShutdown.KeyPress = [](int& key) { key = 0; };
    SetDefaultOnStartupCheck.Click = [this] { SetDefaultOnStartupCheck_Click(); };
    SetDefaultOnShutdownCheck.Click = [this] { SetDefaultOnShutdownCheck_Click(); };
    HotkeysCheck.Click = [this] { HotkeysCheck_Click(); };
    ConfigureHotKeysBtn.Click = [this] { ConfigureHotKeysBtn_Click(); };
    AutoRunCheck.Click = [this] { AutoRunCheck_Click(); };
    WebPage.Click = [this] { WebPage_Click(); };

    SetVolumeBtn.Click = [this] { SetVolumeBtn_Click(); };
    OpenVolumeBrn.Click = [this] { OpenVolumeBrn_Click(); };

    // Forwarding. (The drop fields open the shortcut wizard, which binds them.)
    ProgramPicture.Click = [this] { OpenVolumeBrn_Click(); };
    CurrentCardTxt.DblClick = [this] { StartupBtn_Click(); };
    DeviceFrame.DblClick = [this] { Command1_Click(); };
    DblClick = [this] { Command1_Click(); };

    // Pressing on the window's surface, its frames, labels and pictures moves the window.
    WindowHandling::DragBy(app_.GetPlatform().forms, *this,
                           {&DeviceFrame, &StartupFrame, &CardLabel, &NiknameLabel, &MakedefaultTitel,
                            &SetVolumeTitle, &CurrentDeviceTitle, &CurrentCardTxt, &DeviceIcon, &DragNDrop2,
                            &DragDropField, &Label2});

    // The drop hint darkens while the mouse is over it.
    Label2.MouseMove = [this](const ui::MouseArgs&) { Label2.SetForeColor(kHintHover); };
    DeviceFrame.MouseMove = [this](const ui::MouseArgs&) { Label2.SetForeColor(kHintFaded); };
}

void Form1::FillVolumeCombo(ui::ComboBox& combo) {
    combo.Clear();
    for (int percent = 100; percent >= 0; --percent) combo.AddItem(std::to_string(percent) + "%");
}

void Form1::StartupBtn_Click() {
    StartupFrame.SetVisible(true);
    DeviceFrame.SetVisible(false);
    StartupBtn.SetFontBold(true);
    StartupBtn.SetBackColor(0xFFFFFF);
    DeviceBtn.SetFontBold(false);
    DeviceBtn.SetBackColor(0xEFFFFF);
    Command1.SetFocus();
    UpdateSettingsUI();
}

void Form1::ShowVolumeEntry(ui::ComboBox& combo, std::int16_t volume, std::int16_t reverse) {
    // 1 to 100 select their entry (101 selects nothing); 0 and below take the reverse: 0
    // shows 0%, a negative value 50%.
    if (volume > 0 && volume <= 101)
        combo.SetListIndex(volume == 101 ? -1 : 100 - volume);
    else if (reverse >= 0 && reverse < combo.ListCount())
        combo.SetListIndex(reverse);
}

void Form1::UpdateSettingsUI() {
    const bool was_updating = UpdatingControls;
    UpdatingControls = true;

    StoreEditedDevice();
    TextNikname.SetText(EditedDevice.GetAliasName());
    SetVolumeCheck.SetValue(EditedDevice.Get_SetOnStartup() ? 1 : 0);
    SetVolumeCheckShutdown.SetValue(EditedDevice.Get_SetOnShutdown() ? 1 : 0);
    ShowVolumeEntry(VolumeComboShutdown, EditedDevice.GetShutdownVolume(), EditedDevice.GetShutdownVolumeReverse());
    ShowVolumeEntry(VolumeCombo, EditedDevice.GetStartupVolume(), EditedDevice.GetStartupVolumeReverse());
    shown_ = {TextNikname.Text(), VolumeCombo.ListIndex(), VolumeComboShutdown.ListIndex()};

    // "_" so that a card without a name never matches.
    const std::string shutdown_device = registry_.GetAppSetting("Settings", "ShutdownDevice", "_");
    const std::string startup_device = registry_.GetAppSetting("Settings", "StartupDevice", "_");
    if (registry_.GetAppSetting("Settings", "SetDefaultOnShutdownCheck", "0") == "1")
        SetDefaultOnShutdownCheck.SetValue(EditedDevice.GetDeviceName() == shutdown_device ? 1 : 0);
    if (registry_.GetAppSetting("Settings", "SetDefaultOnStartupCheck", "0") == "1")
        SetDefaultOnStartupCheck.SetValue(EditedDevice.GetDeviceName() == startup_device ? 1 : 0);

    UpdatingControls = was_updating;
}

void Form1::StoreEditedDevice() {
    if (EditedDevice.GetDeviceName().empty() || !EditedDevice.Changed()) return;
    // Over what is stored now: the volume dialog may have stored the card's levels since
    // the page loaded it. The page's own fields go on top.
    SoundDeviceObj stored(registry_);
    stored.Load(EditedDevice.GetDeviceName());
    stored.SetAliasName(EditedDevice.GetAliasName());
    stored.Set_SetOnStartup(EditedDevice.Get_SetOnStartup());
    stored.Set_SetOnShutdown(EditedDevice.Get_SetOnShutdown());
    stored.SetStartupVolume(EditedDevice.GetStartupVolume());
    stored.SetShutdownVolume(EditedDevice.GetShutdownVolume());
    stored.SaveAll();
    EditedDevice = stored;
}

void Form1::StartupCombo_Change() {
    if (UpdatingControls) return;
    EditedDevice.Load(StartupCombo.Text());
    UpdateSettingsUI();
}

void Form1::StartupCombo_Click() {
    StartupCombo_Change();
    if (!UpdatingControls) UpdateSettingsUI();
}

void Form1::StartupCombo_GotFocus() {
    // Pending edits of the card shown are stored before another card is chosen.
    if (!UpdatingControls) StoreEditedDevice();
}

void Form1::TextNikname_LostFocus() {
    if (UpdatingControls) return;
    EditedDevice.SetAliasName(text::Trim(TextNikname.Text()));
    UpdateSettingsUI();  // which stores the changed record
    // The tray menu names the card by its nickname.
    if (TrayIconActive) CreatePopupMenu();
}

void Form1::VolumeFlagClicked(bool flag, void (SoundDeviceObj::*set)(bool)) {
    SetVolumeBtn.SetEnabled(SetVolumeCheck.Value() == 1 || SetVolumeCheckShutdown.Value() == 1);
    if (UpdatingControls) return;
    (EditedDevice.*set)(flag);
    UpdateSettingsUI();
}

void Form1::SetVolumeCheck_Click() { VolumeFlagClicked(SetVolumeCheck.Value() == 1, &SoundDeviceObj::Set_SetOnStartup); }

void Form1::SetVolumeCheckShutdown_Click() {
    VolumeFlagClicked(SetVolumeCheckShutdown.Value() == 1, &SoundDeviceObj::Set_SetOnShutdown);
}

void Form1::VolumeComboLeft(ui::ComboBox& combo, void (SoundDeviceObj::*set)(std::int16_t)) {
    if (combo.ListIndex() < 0 || UpdatingControls) return;
    (EditedDevice.*set)(static_cast<std::int16_t>(100 - combo.ListIndex()));
    StoreEditedDevice();
    (&combo == &VolumeCombo ? shown_.startup_index : shown_.shutdown_index) = combo.ListIndex();
}

void Form1::VolumeCombo_LostFocus() { VolumeComboLeft(VolumeCombo, &SoundDeviceObj::SetStartupVolume); }

void Form1::VolumeComboShutdown_LostFocus() {
    VolumeComboLeft(VolumeComboShutdown, &SoundDeviceObj::SetShutdownVolume);
}

void Form1::StorePendingEdits() {
    if (UpdatingControls || EditedDevice.GetDeviceName().empty()) return;
    // Only fields the user changed since the page showed the record. The percentages
    // first: the nickname's refresh of the page shows the record again.
    if (VolumeCombo.ListIndex() != shown_.startup_index) VolumeCombo_LostFocus();
    if (VolumeComboShutdown.ListIndex() != shown_.shutdown_index) VolumeComboShutdown_LostFocus();
    if (TextNikname.Text() != shown_.nickname) TextNikname_LostFocus();
}

void Form1::DefaultCardBoxClicked(ui::CheckBox& box, const char* option_key, const char* device_key) {
    const bool any = SetDefaultOnStartupCheck.Value() == 1 || SetDefaultOnShutdownCheck.Value() == 1;
    DeviceIcon.SetPicture(any ? ui::Image::ProgramIcon : PictureDisabled.Picture());
    if (UpdatingControls) return;
    registry_.SaveAppSetting("Settings", option_key, box.Value());
    if (box.Value() == 1) registry_.SaveAppSetting("Settings", device_key, EditedDevice.GetDeviceName());
    UpdateSettingsUI();
}

void Form1::SetDefaultOnStartupCheck_Click() {
    DefaultCardBoxClicked(SetDefaultOnStartupCheck, "SetDefaultOnStartupCheck", "StartupDevice");
}

void Form1::SetDefaultOnShutdownCheck_Click() {
    DefaultCardBoxClicked(SetDefaultOnShutdownCheck, "SetDefaultOnShutdownCheck", "ShutdownDevice");
}

std::string Form1::AutostartCommand() const {
    FilePort& files = app_.GetPlatform().files;
    std::string folder = files.ProgramFolder();
    if (!text::EndsWith(folder, "\\")) folder += '\\';
    return QuoteIfSpaces(folder + files.ProgramName() + ".exe");
}

void Form1::AutoRunCheck_Click() {
    if (AutoRunCheck.Value() == 1) {
        // Also when start-up finds the entry: it then follows the program to where it is now.
        registry_.WriteStringValue("HKEY_CURRENT_USER", kRunKeyPath, "Varlindo", AutostartCommand());
    } else if (!registry_.ReadValueByPath(kRunValuePath).empty()) {
        registry_.DeleteRegValue("HKEY_CURRENT_USER", kRunKeyPath, "Varlindo");
    }
}

void Form1::WebPage_Click() { app_.Runner().OpenUrlInBrowser(VARLINDO_HOMEPAGE_URL, 1); }

}  // namespace varlindo
