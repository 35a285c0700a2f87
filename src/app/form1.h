#pragma once
// The main window: the card list, the current card, the switch. It is the hub that the
// other windows and modules call into. Its member functions live in the folder of the
// subsystem that owns them: switching and the command line in core/, start-up and
// shut-down in app/, volume in volume/.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/app.h"
#include "core/sound_device_obj.h"
#include "tray/always_on_top.h"
#include "ui/widgets.h"

namespace varlindo {

class Form1 : public ui::Form {
public:
    explicit Form1(App& app);

    // Window width at run time: one page shows at a time.
    static constexpr int kWidth = 4530;
    // The per-user autostart entry.
    static constexpr const char* kRunKeyPath = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
    static constexpr const char* kRunValuePath =
        "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run\\Varlindo";

    // ---- controls (positions in twips; captions in form1_captions.h). Earlier controls
    // lie on top of later ones.
    ui::Button DeviceBtn;
    ui::Button StartupBtn;
    ui::Button Command1;
    // The device panel: the card list and the switch.
    ui::Frame DeviceFrame;
    ui::Label CurrentDeviceTitle;
    ui::Label CurrentCardTxt;
    ui::PictureBox ProgramPicture;
    // The nickname list lies exactly over the device list.
    ui::ListBox NiknameList;
    ui::ListBox DeviceList;
    ui::CheckBox PlayCheck;
    ui::CheckBox RecordCheck;
    ui::Button OpenVolumeBrn;
    ui::Button SetBtn;
    ui::Label Label2;
    ui::PictureBox DragDropField;
    ui::Button ShortcutWizzardBtn;
    // The settings panel: one card's settings and the program-wide choices. At run time it
    // lies over the device panel; one page shows at a time.
    ui::Frame StartupFrame;
    ui::Label CardLabel;
    ui::ComboBox StartupCombo;
    ui::Label NiknameLabel;
    ui::TextBox TextNikname;
    ui::Label MakedefaultTitel;
    ui::CheckBox SetVolumeCheck;
    ui::ComboBox VolumeCombo;
    ui::CheckBox SetVolumeCheckShutdown;
    ui::ComboBox VolumeComboShutdown;
    ui::Button SetVolumeBtn;
    ui::Label SetVolumeTitle;
    ui::CheckBox SetDefaultOnStartupCheck;
    ui::CheckBox SetDefaultOnShutdownCheck;
    ui::PictureBox DeviceIcon;
    ui::CheckBox HotkeysCheck;
    ui::Button ConfigureHotKeysBtn;
    ui::CheckBox AutoRunCheck;
    ui::PictureBox DragNDrop2;
    // Window-level.
    ui::Label WebPage;
    ui::Label Label1;
    AlwaysOnTop AlwaysOnTop1;
    ui::Button ExitBtn;
    // Holds the greyed program icon.
    ui::PictureBox PictureDisabled;
    ui::Timer RefreshTimer;
    // Tries the start-up card again while the audio service is still starting after logon.
    ui::Timer StartupRetryTimer;

    // ---- state ----
    SoundDeviceObj CurrentDevice;
    SoundDeviceObj EditedDevice;
    std::string CurrentDeviceName;
    bool UpdatingControls = false;
    int RefreshCounter = 0;
    std::int32_t StartStamp = 0;
    // The wave-out device of each line of DeviceList (devices that do not answer have none),
    // and the device of the default card when the system names it (two cards may share a
    // name; the endpoints tell them apart).
    std::vector<int> DeviceNumbers;
    std::optional<int> CurrentDeviceNumber;
    // Tries of the start-up card that are left.
    int StartupRetriesLeft = 0;
    bool ExitConfirmed = false;
    bool HotkeysRegistered = false;
    bool TrayIconActive = false;
    // Set while CheckCommandline carries out the command line.
    bool CarryingOutCommandLine = false;
    // Set once the shut-down work has run.
    bool ShutdownWorkDone = false;

    // ---- card catalogue and switching ----
    void LoadDevices();
    bool LoadCurrentDefaultObject();
    std::optional<int> GetDeviceID(const std::string& name);
    std::string GetDefaultDevice() const { return CurrentDevice.GetDeviceName(); }
    std::int16_t GetDefaultID() const { return CurrentDevice.GetDeviceID(); }
    void SetDevice(const std::string& name);
    // Makes the card the default as the boxes ask, and shows the result; nothing when no
    // card was named or neither Playback nor Record is ticked (the user was told). Says
    // nothing of a failure.
    std::optional<SwitchResult> SwitchDevice(const std::string& name);
    // Tells the user that the card did not become the default, and why.
    void ReportFailedSwitch(const std::string& name, const SwitchResult& result);
    void MarkCurrentDevice(const std::string& name);
    void InitSoundMapperValues();
    std::int32_t getStartTime() const { return StartStamp; }
    // Another instance switched the card: rebuild, unless the notice is our own.
    void OnDeviceChangeNotification(std::int32_t stamp);

    void DeviceList_DblClick();
    void SetBtn_Click() { DeviceList_DblClick(); }
    void RefreshTimer_Timer();
    // The system's default card may have changed: when it is not the card shown, follow it.
    void CheckDefaultCard();
    void StartupRetryTimer_Timer();
    // How often, and how far apart, the start-up card is tried again.
    static constexpr int kStartupRetries = 20;
    static constexpr int kStartupRetryMs = 1000;
    void DeviceBtn_Click();

    // ---- device list and nickname list coupling, playback/record boxes ----
    void NiknameList_Click();
    void NiknameList_DblClick();
    void PlayCheck_Click();
    void RecordCheck_Click();

    // ---- settings panel ----
    void StartupBtn_Click();
    void UpdateSettingsUI();
    void StartupCombo_Change();
    void StartupCombo_Click();
    void StartupCombo_GotFocus();
    void StartupCombo_LostFocus() { StartupCombo_Change(); }
    void StartupCombo_KeyPress(int& key_ascii) { key_ascii = 0; }  // chosen from the list only
    void TextNikname_LostFocus();
    void SetVolumeCheck_Click();
    void SetVolumeCheckShutdown_Click();
    void VolumeCombo_LostFocus();
    void VolumeComboShutdown_LostFocus();
    void SetDefaultOnStartupCheck_Click();
    void SetDefaultOnShutdownCheck_Click();
    void AutoRunCheck_Click();
    void WebPage_Click();
    // A nickname typed or a percentage picked is stored when its field loses the focus; a
    // window that hides or a program that ends stores it first.
    void StorePendingEdits();
    // Stores the page's fields of the card shown, keeping what others stored for it.
    void StoreEditedDevice();
    // The program's full file name as the autostart entry holds it.
    std::string AutostartCommand() const;
    // Volume combo entries: "100%" down to "0%"; entry index = 100 - percentage.
    static void FillVolumeCombo(ui::ComboBox& combo);

    // ---- hotkey assignments ----
    std::string GetRegisterdSoundcardHotkey(long KeyValue);
    void SaveSoundcardHotkey(const std::string& Soundcard, long sValue);
    static std::string ShortcutMappingGetString(long value);
    static long ShortcutMappingGetValue(const std::string& Taste);
    void HotkeysCheck_Click();
    void ConfigureHotKeysBtn_Click();
    // Makes the window visible in its normal state.
    void ShowNormal();
    // Registers Ctrl + the key of every stored assignment whose card is present.
    void RegisterStoredHotkeys();
    // A hotkey was pressed: its card becomes the default.
    void HotkeyCallback(long KeyValue);
    // Takes every hotkey away.
    void RemoveAllHotkeys();
    // The function keys a card can be bound to, F1 to F12.
    static constexpr long kFirstHotkey = 112;
    static constexpr long kLastHotkey = 123;
    // The line of the device list that holds exactly this name, or -1.
    int GetDeviceLine(const std::string& name) const;
    // The line the command line's D= picks for a card name: the first whose name holds the
    // text (blanks around either and letter case ignored), or -1.
    int CommandLineCardLine(const std::string& device_text) const;

    // ---- the shortcut wizard ----
    // Sends the window to the tray while the wizard is open (modally), then brings it back.
    void ShortcutWizzardBtn_Click();
    void DragDropField_DblClick() { ShortcutWizzardBtn_Click(); }
    void Label2_DblClick() { DragDropField_DblClick(); }
    void DragNDrop2_Click() { ShortcutWizzardBtn_Click(); }
    void DragNDrop2_DblClick() { DragDropField_DblClick(); }
    // A file dropped on the device page opens the wizard (not modally) with that program.
    void DragDropField_OLEDragDrop(const ui::DropData& data);
    void DragNDrop2_OLEDragDrop(const ui::DropData& data) { DragDropField_OLEDragDrop(data); }
    // An open wizard (or its chooser) comes to the front; false when none is open.
    bool BringWizardForward();

    // ---- the online update ----
    // "Update": asks, then hands over to the updater; the icon comes back when it cannot.
    void Label1_Click();

    // ---- tray menu ----
    void CreatePopupMenu();
    void OnTrayMenu(const std::string& Selected);
    // The menu string last built.
    const std::string& MenuString() const { return MenuString_; }

    // ---- command line ----
    bool CheckCommandline();

    // ---- start-up and shut-down ----
    void Form_Load();
    void Form_QueryUnload(bool& cancel, int unload_mode);
    void Form_Unload(bool& cancel);
    void Form_Resize();
    void Form_KeyPress(int& key_ascii);
    void Command1_Click();
    void ExitBtn_Click();
    // The session is ending: asks the close question where a close would; false when the
    // user declined. Does none of the shut-down work.
    bool ConfirmSessionEnd();
    // Takes down the tray icon and the hotkeys and sets the shut-down card; once only. When
    // the session ends, a shut-down card that cannot be set is not reported: a box would
    // only hold up the logoff.
    void RunShutdownWork(bool session_ends = false);
    // Ends the tray icon and the dialogs, at the end of the program.
    void CloseTrayAndDialogs();
    // Puts the icon into the notification area with this tooltip.
    void AddTrayIcon(const std::string& tooltip);
    // Takes the icon away and puts it back with the current card as tooltip.
    void RenewTrayIcon();
    // The icon's tooltip names the current card.
    void UpdateTrayTip();

    // ---- volume of one card, and the volume dialog ----
    void ApplyStartupVolumes();
    // The card's stored levels, then this volume, to its mixer.
    void ApplyStoredVolume(const SoundDeviceObj& card, std::int16_t percent);
    void OpenVolumeDialog(const std::string& device_name, bool settings_mode);
    void OpenVolumeBrn_Click();
    void SetVolumeBtn_Click();
    void SetVolume(std::int16_t DeviceNumber, std::int16_t& Volume);
    std::int16_t GetVolume(std::int16_t DeviceNumber);

    App& GetApp() const { return app_; }
    std::int16_t GetLanguage() const { return static_cast<std::int16_t>(app_.GetLanguage()); }

    // The 32-bit stamp of a start at this local time.
    static std::int32_t MakeStartStamp(const LocalTime& now);

private:
    void BindEvents();
    // Asks "Shutdown Varlindo?" when the window is shown and the exit was not confirmed;
    // on No the window goes to the tray. False when the user declined.
    bool ConfirmExit();
    // CurrentDevice := the card that "Playback" names.
    void LoadPlaybackCard();
    // The line of DeviceList that shows the default card, or -1.
    int DefaultCardLine(const DefaultCard& card) const;
    // The system's cards are no longer the ones the list shows.
    bool CardsChanged();
    void StopStartupRetry();
    // Sets the start-up card; when that fails, tries again for a while before it says so.
    void SetStartupDevice(const std::string& name);
    // Removes the tray icon and unloads the tray window.
    void RemoveTray();
    // Rebuilds the lists and shows this card as the current one (another program or
    // instance changed "Playback").
    void FollowPlayback(const std::string& playback);
    const char* Say(const Text& text) const { return app_.Say(text); }
    void BindSettingsEvents();
    void BindShortcutEvents();
    // The card a picked tray entry names, or -1.
    int TrayEntryCard(const std::string& Selected);
    // Switches to the card in line `line` from the tray menu.
    void SwitchFromTray(int line);
    // The default-card boxes: the program-wide start-up or shut-down card.
    void DefaultCardBoxClicked(ui::CheckBox& box, const char* option_key, const char* device_key);
    // The volume-flag boxes.
    void VolumeFlagClicked(bool flag, void (SoundDeviceObj::*set)(bool));
    void VolumeComboLeft(ui::ComboBox& combo, void (SoundDeviceObj::*set)(std::int16_t));
    void ShowVolumeEntry(ui::ComboBox& combo, std::int16_t volume, std::int16_t reverse);


    std::string MenuString_;
    // What the settings page last showed of the record: a field that differs holds an edit
    // not stored yet.
    struct ShownFields {
        std::string nickname;
        int startup_index = -1;
        int shutdown_index = -1;
    } shown_;

    App& app_;
    Registry& registry_;
    SoundMapper& mapper_;
};

}  // namespace varlindo
