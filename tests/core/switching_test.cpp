#include <gtest/gtest.h>

#include "support/sim_fixture.h"

namespace varlindo::test {
namespace {

class SwitchingTest : public SimTest {};

// Selects the entry with this text and switches to it, as a double-click does.
void SwitchTo(Form1& form, const std::string& device) {
    for (int i = 0; i < form.DeviceList.ListCount(); ++i)
        if (form.DeviceList.List(i) == device) form.DeviceList.SetListIndex(i);
    form.DeviceList_DblClick();
}

TEST_F(SwitchingTest, FirstStartCreatesTheMissingSoundMapperValues) {
    Form1& form = StartApp().MainForm();
    EXPECT_EQ(desktop.DWord(kMapper, "PreferredOnly"), 1u);
    EXPECT_EQ(desktop.DWord(kMapper, "SetupPreferredAudioDevicesCount"), 3u);
    EXPECT_EQ(Mapper("Record"), "Speakers (Realtek HD Audio)");
    EXPECT_EQ(Mapper("Playback"), "Speakers (Realtek HD Audio)");
    EXPECT_EQ(form.Caption(), "Varlindo Vers. 2.0.1");
    EXPECT_FALSE(form.Visible());  // it lives in the notification area
    EXPECT_TRUE(Sim().tray.icon);
    EXPECT_EQ(Sim().tray.tip, "Speakers (Realtek HD Audio)");
    // The window shows the card that was just made the default.
    EXPECT_EQ(form.CurrentDeviceName, "Speakers (Realtek HD Audio)");
    EXPECT_EQ(form.DeviceList.ListIndex(), 0);
    EXPECT_EQ(form.CurrentDeviceTitle.Caption(), "Speakers (Realtek HD Audio)");
    EXPECT_EQ(form.CurrentCardTxt.Caption(), "Speakers (Realtek HD Audi..");
    EXPECT_TRUE(Sim().ui.boxes.empty());
}

TEST_F(SwitchingTest, StartKeepsExistingValuesAndAStoredZero) {
    desktop.SetDWord(kMapper, "PreferredOnly", 0);
    desktop.SetString(kMapper, "Playback", "USB Headset");
    desktop.SetString(kMapper, "Record", "HDMI Output");
    Form1& form = StartApp().MainForm();
    EXPECT_EQ(desktop.DWord(kMapper, "PreferredOnly"), 0u);
    EXPECT_EQ(desktop.DWord(kMapper, "SetupPreferredAudioDevicesCount"), 3u);
    EXPECT_EQ(Mapper("Playback"), "USB Headset");
    EXPECT_EQ(Mapper("Record"), "HDMI Output");
    EXPECT_EQ(form.DeviceList.ListIndex(), 1);
    EXPECT_EQ(form.NiknameList.ListIndex(), 1);
    EXPECT_EQ(form.CurrentDeviceName, "USB Headset");
}

TEST_F(SwitchingTest, CatalogueListsAnsweringCardsTrimmedWithTheirAliases) {
    desktop.cards[2].name = "  HDMI Output  ";
    desktop.AddCard("Broken Card");
    desktop.cards[3].answers = false;
    desktop.SetString(CardSection("USB Headset"), "AliasName", "Gaming headset");
    desktop.SetString(kMapper, "Playback", "HDMI Output");
    Form1& form = StartApp().MainForm();
    EXPECT_EQ(form.DeviceList.Items(),
              (std::vector<std::string>{"Speakers (Realtek HD Audio)", "USB Headset", "HDMI Output"}));
    EXPECT_EQ(form.NiknameList.Items(),
              (std::vector<std::string>{"Speakers (Realtek HD Audio)", "Gaming headset", "HDMI Output"}));
    EXPECT_EQ(form.StartupCombo.Items(), form.DeviceList.Items());
    EXPECT_EQ(form.StartupCombo.Text(), "HDMI Output");
    EXPECT_EQ(form.DeviceList.ListIndex(), 2);
    EXPECT_EQ(form.CurrentDeviceTitle.Caption(), "HDMI Output");
    EXPECT_EQ(form.GetDefaultID(), 2);
    EXPECT_EQ(form.GetDeviceID("Broken"), std::nullopt);
}

TEST_F(SwitchingTest, SwitchWritesRecordThenPlaybackAndTellsOtherInstances) {
    Form1& form = StartApp().MainForm();
    desktop.writes.clear();
    SwitchTo(form, "USB Headset");
    ASSERT_EQ(desktop.writes.size(), 2u);
    EXPECT_TRUE(desktop.writes[0].ends_with("\\Record"));
    EXPECT_TRUE(desktop.writes[1].ends_with("\\Playback"));
    EXPECT_EQ(Mapper("Playback"), "USB Headset");
    EXPECT_EQ(Mapper("Record"), "USB Headset");
    EXPECT_EQ(form.CurrentDeviceName, "USB Headset");
    EXPECT_EQ(form.CurrentCardTxt.Caption(), "USB Headset\rUSB Headset");
    EXPECT_EQ(form.DeviceList.ListIndex(), 1);
    EXPECT_EQ(desktop.device_notices, std::vector<std::int32_t>{form.getStartTime()});
}

TEST_F(SwitchingTest, OnlyRecordLeavesPlaybackAndTheLabelsOnThePlaybackCard) {
    desktop.SetString(kSettings, "PlaybackCheck", "0");
    Form1& form = StartApp().MainForm();
    EXPECT_EQ(form.PlayCheck.Value(), 0);
    EXPECT_EQ(form.RecordCheck.Value(), 1);
    SwitchTo(form, "HDMI Output");
    EXPECT_EQ(Mapper("Record"), "HDMI Output");
    EXPECT_EQ(Mapper("Playback"), "Speakers (Realtek HD Audio)");
    EXPECT_EQ(form.DeviceList.ListIndex(), 0);
    EXPECT_EQ(form.CurrentDeviceTitle.Caption(), "Speakers (Realtek HD Audio)");
}

TEST_F(SwitchingTest, NeitherBoxTickedWritesNothingAndShowsTheWindow) {
    App& app = StartApp();
    Form1& form = app.MainForm();
    form.PlayCheck.UserToggle();
    form.RecordCheck.UserToggle();
    EXPECT_EQ(desktop.String(kSettings, "PlaybackCheck"), "0");
    EXPECT_EQ(desktop.String(kSettings, "RecordCheck"), "0");
    form.Hide();
    desktop.writes.clear();
    SwitchTo(form, "USB Headset");
    EXPECT_TRUE(desktop.writes.empty());
    ASSERT_EQ(Sim().ui.boxes.size(), 1u);
    EXPECT_EQ(Sim().ui.boxes[0].title, "Please select input/output first!");
    EXPECT_EQ(Sim().ui.boxes[0].text,
              "You have not selected Playback or Record!\r\rYou must select an input and/or output before you "
              "can set the device!");
    EXPECT_EQ(Sim().ui.boxes[0].style, mb::Ok | mb::IconInformation);
    EXPECT_TRUE(form.Visible());
    EXPECT_EQ(form.CurrentDevice.GetDeviceName(), "Speakers (Realtek HD Audio)");
}

TEST_F(SwitchingTest, MessagesFollowTheInterfaceLanguage) {
    Form1& form = StartApp(Language::German).MainForm();
    form.SetDevice("");
    ASSERT_EQ(Sim().ui.boxes.size(), 1u);
    EXPECT_EQ(Sim().ui.boxes[0].title, "Keine Soundkarte ausgewählt");
    EXPECT_EQ(Sim().ui.boxes[0].text, "Bitte wählen Sie eine Soundkarte aus");
}

TEST_F(SwitchingTest, DoubleClickWithoutSelectionAsksForACard) {
    Form1& form = StartApp().MainForm();
    form.DeviceList.SetListIndex(-1);
    desktop.writes.clear();
    form.DeviceList_DblClick();
    EXPECT_TRUE(desktop.writes.empty());
    ASSERT_FALSE(Sim().ui.boxes.empty());
    EXPECT_EQ(Sim().ui.boxes.back().title, "No Soundcard selected");
    EXPECT_EQ(Sim().ui.boxes.back().text, "Please select an device");
}

TEST_F(SwitchingTest, ExactMatchForTheCatalogueLastContainingEntryForTheMark) {
    desktop.cards[0].name = "USB Headset Pro";  // enumerated before "USB Headset"
    desktop.cards[2].name = "USB Headset";
    desktop.cards[1].name = "Speakers";
    desktop.SetString(kMapper, "Playback", "USB Headset");
    Form1& form = StartApp().MainForm();
    form.LoadDevices();
    EXPECT_EQ(form.DeviceList.ListIndex(), 2);  // exact match
    EXPECT_EQ(form.GetDeviceID("USB Headset"), 0);  // first containing device
    desktop.cards[0].name = "USB Headset";
    desktop.cards[2].name = "USB Headset Pro";
    form.LoadDevices();
    form.MarkCurrentDevice("USB Headset");
    EXPECT_EQ(form.DeviceList.ListIndex(), 2);  // the last containing entry
}

TEST_F(SwitchingTest, CurrentCardCaptionIsCutAfter25Characters) {
    desktop.SetString(CardSection("USB Headset"), "AliasName", "Headset");
    Form1& form = StartApp().MainForm();
    form.MarkCurrentDevice("USB Headset");
    EXPECT_EQ(form.CurrentCardTxt.Caption(), "Headset\rUSB Headset");  // 19 characters
    desktop.SetString(CardSection("USB Headset"), "AliasName", "Kopfh\xC3\xB6rer am Tisch");
    form.MarkCurrentDevice("USB Headset");
    EXPECT_EQ(form.CurrentCardTxt.Caption(), "Kopfh\xC3\xB6rer am Tisch\rUSB He..");
}

TEST_F(SwitchingTest, TimerNoticesAnotherProgramsPlaybackChangeOncePerMinute) {
    Form1& form = StartApp().MainForm();
    desktop.SetString(kMapper, "Record", "USB Headset");
    for (int i = 0; i < 6; ++i) form.RefreshTimer.RaiseTick();
    EXPECT_EQ(form.DeviceList.ListIndex(), 0);  // a record change alone is not noticed

    desktop.SetString(kMapper, "Playback", "HDMI Output");
    for (int i = 0; i < 5; ++i) form.RefreshTimer.RaiseTick();
    EXPECT_EQ(form.CurrentDeviceName, "Speakers (Realtek HD Audio)");
    form.RefreshTimer.RaiseTick();
    EXPECT_EQ(form.CurrentDeviceName, "HDMI Output");
    EXPECT_EQ(form.DeviceList.ListIndex(), 2);
    EXPECT_EQ(form.CurrentDeviceTitle.Caption(), "HDMI Output");
    EXPECT_EQ(form.RefreshCounter, 0);
}

TEST_F(SwitchingTest, AnotherInstancesSwitchRebuildsThisOneButNotItsSender) {
    Form1& resident = StartApp().MainForm();
    // A shortcut's start in another second switches the card and tells the resident one.
    next_start_time = LocalTime{7, 0, 38, 13};
    StartWith("D=3");
    EXPECT_EQ(Sim(1).ui.ended, 1);
    EXPECT_EQ(Mapper("Playback"), "HDMI Output");
    EXPECT_EQ(resident.CurrentDeviceName, "HDMI Output");
    EXPECT_EQ(resident.DeviceList.ListIndex(), 2);
    EXPECT_EQ(resident.CurrentDevice.GetDeviceName(), "HDMI Output");
    EXPECT_EQ(resident.CurrentDeviceTitle.Caption(), "HDMI Output");
    EXPECT_EQ(resident.CurrentCardTxt.Caption(), "HDMI Output\rHDMI Output");

    // Started in the same second, the two have equal stamps and take the news as their own.
    next_start_time = LocalTime{7, 0, 38, 12};
    StartWith("D=2");
    EXPECT_EQ(Mapper("Playback"), "USB Headset");
    EXPECT_EQ(resident.CurrentDeviceName, "HDMI Output");
}

TEST_F(SwitchingTest, StartStampJoinsDayHourMinuteSecondWithoutZeros) {
    EXPECT_EQ(Form1::MakeStartStamp(LocalTime{7, 0, 38, 12}), 703812);
    EXPECT_EQ(Form1::MakeStartStamp(LocalTime{31, 23, 59, 59}), 31235959);
    EXPECT_EQ(Form1::MakeStartStamp(LocalTime{1, 0, 0, 0}), 1000);
}

TEST_F(SwitchingTest, NicknameListDrivesTheDeviceListSelection) {
    Form1& form = StartApp().MainForm();
    form.NiknameList.UserSelect(2);
    EXPECT_EQ(form.DeviceList.ListIndex(), 2);
    form.NiknameList.RaiseDblClick();
    EXPECT_EQ(Mapper("Playback"), "HDMI Output");
}

TEST_F(SwitchingTest, NoCardsLeavesEmptyListsAndEmptyValues) {
    desktop.cards.clear();
    Form1& form = StartApp().MainForm();
    EXPECT_EQ(form.DeviceList.ListCount(), 0);
    EXPECT_EQ(Mapper("Playback"), "");
    EXPECT_EQ(Mapper("Record"), "");
}

}  // namespace
}  // namespace varlindo::test
