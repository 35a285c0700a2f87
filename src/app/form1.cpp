#include "app/form1.h"

#include "app/form1_captions.h"

namespace varlindo {

namespace {
constexpr int kFrameHeight = 5520;
// Tooltip of the two drop targets.
constexpr Text kDropTip{"Drop a program here to make a shortcut for it",
                        "Programm hierher ziehen, um eine Verknüpfung anzulegen"};
}  // namespace

// The window is laid out in twips; the view scales them to the display's DPI.
Form1::Form1(App& app)
    : ui::Form("Form1", "Varlindo", kWidth, 7230),
      DeviceBtn(*this, "DeviceBtn", "", 90, 90, 1380, 450),
      StartupBtn(*this, "StartupBtn", "", 1530, 90, 1380, 450),
      Command1(*this, "Command1", "", 2970, 90, 1380, 450),
      DeviceFrame(*this, "DeviceFrame", "", 90, 630, 4260, kFrameHeight),
      CurrentDeviceTitle(*this, "CurrentDeviceTitle", "", 150, 210, 3360, 255, &DeviceFrame),
      CurrentCardTxt(*this, "CurrentCardTxt", "", 150, 510, 3360, 510, &DeviceFrame),
      ProgramPicture(*this, "ProgramPicture", ui::Image::None, 3630, 300, 480, 480, &DeviceFrame),
      NiknameList(*this, "NiknameList", 150, 1110, 3960, 2070, &DeviceFrame),
      DeviceList(*this, "DeviceList", 150, 1110, 3960, 2070, &DeviceFrame),
      PlayCheck(*this, "PlayCheck", "", 150, 3300, 1700, 300, &DeviceFrame),
      RecordCheck(*this, "RecordCheck", "", 1900, 3300, 1620, 300, &DeviceFrame),
      OpenVolumeBrn(*this, "OpenVolumeBrn", "", 3630, 3240, 480, 420, &DeviceFrame),
      SetBtn(*this, "SetBtn", "", 150, 3720, 3960, 480, &DeviceFrame),
      Label2(*this, "Label2", "", 150, 4290, 3960, 690, &DeviceFrame),
      DragDropField(*this, "DragDropField", ui::Image::DropTarget, 3630, 4980, 480, 480, &DeviceFrame),
      ShortcutWizzardBtn(*this, "ShortcutWizzardBtn", "", 150, 5025, 3360, 390, &DeviceFrame),
      StartupFrame(*this, "StartupFrame", "", 4500, 630, 4260, kFrameHeight),
      CardLabel(*this, "CardLabel", "", 150, 270, 3960, 255, &StartupFrame),
      StartupCombo(*this, "StartupCombo", 150, 540, 3960, 315, &StartupFrame),
      NiknameLabel(*this, "NiknameLabel", "", 150, 990, 3960, 255, &StartupFrame),
      TextNikname(*this, "TextNikname", 150, 1260, 3960, 315, &StartupFrame),
      MakedefaultTitel(*this, "MakedefaultTitel", "", 150, 1770, 3960, 255, &StartupFrame),
      SetVolumeCheck(*this, "SetVolumeCheck", "", 150, 2070, 2040, 300, &StartupFrame),
      VolumeCombo(*this, "VolumeCombo", 2250, 2055, 1020, 315, &StartupFrame),
      SetVolumeCheckShutdown(*this, "SetVolumeCheckShutdown", "", 150, 2445, 2040, 300, &StartupFrame),
      VolumeComboShutdown(*this, "VolumeComboShutdown", 2250, 2430, 1020, 315, &StartupFrame),
      SetVolumeBtn(*this, "SetVolumeBtn", "", 3405, 2055, 690, 690, &StartupFrame),
      SetVolumeTitle(*this, "SetVolumeTitle", "", 150, 2910, 3960, 255, &StartupFrame),
      SetDefaultOnStartupCheck(*this, "SetDefaultOnStartupCheck", "", 150, 3180, 2040, 300, &StartupFrame),
      SetDefaultOnShutdownCheck(*this, "SetDefaultOnShutdownCheck", "", 150, 3480, 2040, 300, &StartupFrame),
      DeviceIcon(*this, "DeviceIcon", ui::Image::ProgramIconDisabled, 3510, 3210, 480, 480, &StartupFrame),
      HotkeysCheck(*this, "HotkeysCheck", "", 150, 3975, 2000, 300, &StartupFrame),
      ConfigureHotKeysBtn(*this, "ConfigureHotKeysBtn", "", 2190, 3930, 1920, 390, &StartupFrame),
      AutoRunCheck(*this, "AutoRunCheck", "", 150, 4455, 3300, 300, &StartupFrame),
      DragNDrop2(*this, "DragNDrop2", ui::Image::None, 3630, 4860, 480, 480, &StartupFrame),
      WebPage(*this, "WebPage", "", 150, 6330, 1020, 255),
      Label1(*this, "Label1", "", 1230, 6330, 900, 255),
      AlwaysOnTop1(*this, app.GetRegistry(), app.GetPlatform().forms, 2520, 6300),
      ExitBtn(*this, "ExitBtn", "", 2970, 6240, 1380, 420),
      PictureDisabled(*this, "PictureDisabled", ui::Image::ProgramIconDisabled, 0, 0, 480, 480),
      RefreshTimer(*this, "RefreshTimer", 10000),
      StartupRetryTimer(*this, "StartupRetryTimer", kStartupRetryMs, false),
      CurrentDevice(app.GetRegistry()),
      EditedDevice(app.GetRegistry()),
      app_(app),
      registry_(app.GetRegistry()),
      mapper_(app.Mapper()) {
    ApplyCaptions(*this, kForm1Captions, Language::English);
    CurrentCardTxt.SetFontBold(true);
    CurrentCardTxt.UseMnemonic = false;  // card names may hold "&"
    CurrentDeviceTitle.UseMnemonic = false;
    DeviceBtn.Graphical = true;
    StartupBtn.Graphical = true;
    DeviceList.TabStop = false;  // covered by the nickname list
    OpenVolumeBrn.Graphical = true;
    OpenVolumeBrn.SetPicture(ui::Image::Volume);
    SetVolumeBtn.Graphical = true;
    SetVolumeBtn.SetPicture(ui::Image::Volume);
    SetVolumeBtn.SetEnabled(false);  // until a volume flag is ticked
    DragDropField.SetToolTipText(Say(kDropTip));
    Label2.SetForeColor(0x808080);
    // Link-style labels.
    WebPage.SetForeColor(0xCC6600);
    Label1.SetForeColor(0xCC6600);
    PictureDisabled.SetVisible(false);  // an image store, never shown

    BindEvents();
    BindSettingsEvents();
    BindShortcutEvents();
}

void Form1::BindEvents() {
    SetBtn.Click = [this] { SetBtn_Click(); };
    DeviceList.DblClick = [this] { DeviceList_DblClick(); };
    NiknameList.Click = [this] { NiknameList_Click(); };
    NiknameList.LostFocus = [this] { NiknameList_Click(); };
    NiknameList.Scroll = [this] { NiknameList_Click(); };
    NiknameList.DblClick = [this] { NiknameList_DblClick(); };
    PlayCheck.Click = [this] { PlayCheck_Click(); };
    RecordCheck.Click = [this] { RecordCheck_Click(); };
    DeviceBtn.Click = [this] { DeviceBtn_Click(); };
    Command1.Click = [this] { Command1_Click(); };
    Label1.Click = [this] { Label1_Click(); };
    ExitBtn.Click = [this] { ExitBtn_Click(); };
    RefreshTimer.Tick = [this] { RefreshTimer_Timer(); };
    StartupRetryTimer.Tick = [this] { StartupRetryTimer_Timer(); };
    Load = [this] { Form_Load(); };
    QueryUnload = [this](bool& cancel, int mode) { Form_QueryUnload(cancel, mode); };
    Unload = [this](bool& cancel) { Form_Unload(cancel); };
    Resize = [this] { Form_Resize(); };
    KeyPress = [this](int& key) { Form_KeyPress(key); };
}

void Form1::NiknameList_Click() {
    // The nickname list lies over the device list; the device list keeps the selection
    // that the switch reads.
    if (DeviceList.ListIndex() != NiknameList.ListIndex()) DeviceList.SetListIndex(NiknameList.ListIndex());
}

void Form1::NiknameList_DblClick() {
    NiknameList_Click();
    DeviceList_DblClick();
}

void Form1::PlayCheck_Click() { registry_.SaveAppSetting("Settings", "PlaybackCheck", PlayCheck.Value()); }

void Form1::RecordCheck_Click() { registry_.SaveAppSetting("Settings", "RecordCheck", RecordCheck.Value()); }

}  // namespace varlindo
