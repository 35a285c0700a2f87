#pragma once
// The main window: the card list, the current card, the switch. It is the hub that the
// other windows and modules call into. Its member functions live in the folder of the
// subsystem that owns them: switching and the command line in core/, start-up and
// shut-down in app/, volume in volume/.

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

    // ---- controls (positions in twips; captions in form1_captions.h) ----
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
    void MarkCurrentDevice(const std::string& name);
    void InitSoundMapperValues();
    std::int32_t getStartTime() const { return StartStamp; }
    // Another instance switched the card: rebuild, unless the notice is our own.
    void OnDeviceChangeNotification(std::int32_t stamp);

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
    // Takes down the tray icon and the hotkeys and sets the shut-down card; once only.
    void RunShutdownWork();
    // Ends the tray icon and the dialogs, at the end of the program.
    void CloseTrayAndDialogs();
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
    // Asks "Shutdown Varlindo?" when the window is shown and the exit was not confirmed;
    // on No the window goes to the tray. False when the user declined.
    bool ConfirmExit();
    // CurrentDevice := the card that "Playback" names.
    void LoadPlaybackCard();
    // Removes the tray icon and unloads the tray window.
    void RemoveTray();
    // Rebuilds the lists and shows this card as the current one (another program or
    // instance changed "Playback").
    void FollowPlayback(const std::string& playback);
    const char* Say(const Text& text) const { return app_.Say(text); }

    App& app_;
    Registry& registry_;
    SoundMapper& mapper_;
};

}  // namespace varlindo
