#pragma once
// The main window: the card list, the current card, the switch. It is the hub that the
// other windows and modules call into. Its member functions live in the folder of the
// subsystem that owns them: switching in core/, start-up in app/, volume in volume/.

#include <cstdint>
#include <optional>
#include <string>

#include "app/app.h"
#include "core/sound_device_obj.h"
#include "ui/widgets.h"

namespace varlindo {

class Form1 : public ui::Form {
public:
    explicit Form1(App& app);

    // Window width at run time: one page shows at a time.
    static constexpr int kWidth = 4530;

    // ---- controls (positions in twips) ----
    ui::Button DeviceBtn;
    ui::Button StartupBtn;
    ui::Button Command1;
    ui::Frame DeviceFrame;
    ui::Label CurrentDeviceTitle;
    ui::Label CurrentCardTxt;
    // The nickname list lies exactly over the device list; earlier controls lie on top.
    ui::ListBox NiknameList;
    ui::ListBox DeviceList;
    ui::CheckBox PlayCheck;
    ui::CheckBox RecordCheck;
    ui::Button SetBtn;
    ui::Frame StartupFrame;
    ui::ComboBox StartupCombo;
    ui::CheckBox SetDefaultOnStartupCheck;
    ui::CheckBox SetDefaultOnShutdownCheck;
    ui::Button ExitBtn;
    ui::Timer RefreshTimer;

    // ---- state ----
    SoundDeviceObj CurrentDevice;
    SoundDeviceObj EditedDevice;
    std::string CurrentDeviceName;
    bool UpdatingControls = false;
    int RefreshCounter = 0;
    std::int32_t StartStamp = 0;
    bool ExitConfirmed = false;
    bool HotkeysRegistered = false;
    bool TrayIconActive = false;

    // ---- card catalogue and switching ----
    void LoadDevices();
    bool LoadCurrentDefaultObject();
    std::optional<int> GetDeviceID(const std::string& name);
    std::string GetDefaultDevice() const { return CurrentDevice.GetDeviceName(); }
    std::int16_t GetDefaultID() const { return CurrentDevice.GetDeviceID(); }
    void SetDevice(const std::string& name);
    void MarkCurrentDevice(const std::string& name);
    void InitSoundMapperValues();
    std::int32_t getStartTime() const { return StartStamp; }
    // Another instance switched the card: rebuild, unless the message is our own.
    void OnDeviceChangeNotification(std::uintptr_t stamp);

    void DeviceList_DblClick();
    void SetBtn_Click() { DeviceList_DblClick(); }
    void RefreshTimer_Timer();
    void DeviceBtn_Click();

    // ---- device list and nickname list coupling, playback/record boxes ----
    void NiknameList_Click();
    void NiknameList_DblClick();
    void PlayCheck_Click();
    void RecordCheck_Click();

    // ---- command line ----
    bool CheckCommandline();

    // ---- start-up and shut-down ----
    // Unload modes: how a close was asked for (not examined).
    static constexpr int kFormControlMenu = 0, kFormCode = 1, kAppWindows = 2;
    void Form_Load();
    void Form_QueryUnload(bool& cancel, int unload_mode);
    void Form_Unload(bool& cancel);
    void Form_Resize();
    void Form_KeyPress(int& key_ascii);
    void Command1_Click();
    void ExitBtn_Click();
    // Runs the close events; true when the window was unloaded (hidden; the object stays).
    bool UnloadForm(int unload_mode);
    // Ends the tray icon and the dialogs, at the end of the program.
    void CloseTrayAndDialogs();
    // Another start of the program asks for this window.
    void BringForward();
    // Puts the icon into the notification area with this tooltip.
    void AddTrayIcon(const std::string& tooltip);

    // ---- volume of one card ----
    void SetVolume(std::int16_t DeviceNumber, std::int16_t& Volume);
    std::int16_t GetVolume(std::int16_t DeviceNumber);

    App& GetApp() const { return app_; }
    std::int16_t GetLanguage() const { return static_cast<std::int16_t>(app_.GetLanguage()); }

    // The 32-bit stamp of a start at this local time.
    static std::int32_t MakeStartStamp(const LocalTime& now);

private:
    void BindEvents();
    void SetGermanCaptions();
    // CurrentDevice := the card that "Playback" names.
    void LoadPlaybackCard();
    // Removes the tray icon and unloads the tray window.
    void RemoveTray();
    // Rebuilds the lists and shows this card as the current one (another program or
    // instance changed "Playback").
    void FollowPlayback(const std::string& playback);
    // The text of `english` or `german`, whichever the interface language is.
    const std::string& Say(const std::string& english, const std::string& german) const {
        return Pick(app_.GetLanguage(), english, german);
    }

    App& app_;
    Registry& registry_;
};

}  // namespace varlindo
