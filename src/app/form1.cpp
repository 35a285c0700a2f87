#include "app/form1.h"

#include "app/form1_captions.h"

namespace varlindo {

// The window is laid out in twips; the view scales them to the display's DPI.
Form1::Form1(App& app)
    : ui::Form("Form1", "Varlindo", kWidth, 6480),
      DeviceBtn(*this, "DeviceBtn", "", 90, 90, 1380, 450),
      StartupBtn(*this, "StartupBtn", "", 1530, 90, 1380, 450),
      Command1(*this, "Command1", "", 2970, 90, 1380, 450),
      DeviceFrame(*this, "DeviceFrame", "", 90, 630, 4260, 4650),
      CurrentDeviceTitle(*this, "CurrentDeviceTitle", "", 150, 210, 3960, 255, &DeviceFrame),
      CurrentCardTxt(*this, "CurrentCardTxt", "", 150, 510, 3960, 510, &DeviceFrame),
      NiknameList(*this, "NiknameList", 150, 1110, 3960, 2310, &DeviceFrame),
      DeviceList(*this, "DeviceList", 150, 1110, 3960, 2310, &DeviceFrame),
      PlayCheck(*this, "PlayCheck", "", 150, 3540, 1920, 300, &DeviceFrame),
      RecordCheck(*this, "RecordCheck", "", 2190, 3540, 1920, 300, &DeviceFrame),
      SetBtn(*this, "SetBtn", "", 150, 4020, 3960, 480, &DeviceFrame),
      StartupFrame(*this, "StartupFrame", "", 4500, 630, 4260, 4650),
      StartupCombo(*this, "StartupCombo", 150, 510, 3960, 315, &StartupFrame),
      SetDefaultOnStartupCheck(*this, "SetDefaultOnStartupCheck", "", 150, 3000, 1920, 300, &StartupFrame),
      SetDefaultOnShutdownCheck(*this, "SetDefaultOnShutdownCheck", "", 2190, 3000, 1920, 300, &StartupFrame),
      ExitBtn(*this, "ExitBtn", "", 2970, 5370, 1380, 420),
      RefreshTimer(*this, "RefreshTimer", 10000),
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
    // The settings page is not part of this window yet.
    StartupBtn.SetEnabled(false);
    BindEvents();
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
    ExitBtn.Click = [this] { ExitBtn_Click(); };
    RefreshTimer.Tick = [this] { RefreshTimer_Timer(); };
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
