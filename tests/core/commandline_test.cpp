#include <gtest/gtest.h>

#include "support/sim_fixture.h"

namespace varlindo::test {
namespace {

class CommandLineTest : public SimTest {
protected:
    CommandLineTest() {
        desktop.folders.insert("c:\\games");
        desktop.files["c:\\games\\game.exe"] = "";
    }
    std::uint32_t WaveRaw(int card) {
        return desktop.mixers[static_cast<size_t>(card)].Control(mixer::SrcWaveOut, mixer::ControlVolume)->value;
    }
    std::uint32_t SpeakerRaw(int card) {
        return desktop.mixers[static_cast<size_t>(card)].Control(mixer::DstSpeakers, mixer::ControlVolume)->value;
    }
};

TEST_F(CommandLineTest, PositionAndVolumeSwitchAndEndWithoutTrayIcon) {
    StartWith("D=2 V=50");
    EXPECT_EQ(Sim().ended, 1);
    EXPECT_EQ(Mapper("Playback"), "USB Headset");
    EXPECT_EQ(Mapper("Record"), "USB Headset");
    EXPECT_EQ(SpeakerRaw(1), 50u * 655);
    EXPECT_EQ(WaveRaw(1), 50u * 655);
    EXPECT_EQ(Sim().tray_adds, 0);
    EXPECT_EQ(Sim().beeps, std::vector<unsigned>{48});
    EXPECT_TRUE(Sim().boxes.empty());
}

TEST_F(CommandLineTest, KeysAndNamesMatchInAnyCaseAndOrder) {
    StartWith("v=30 d=headset");
    EXPECT_EQ(Mapper("Playback"), "USB Headset");
    // GetDeviceID compares case-sensitively with the text as typed: card 0 gets the volume.
    EXPECT_EQ(WaveRaw(0), 30u * 655);
    EXPECT_EQ(WaveRaw(1), 32768u);
}

TEST_F(CommandLineTest, VolumeAloneTakesTheFirstCard) {
    desktop.SetString(kMapper, "Playback", "HDMI Output");
    StartWith("V=30");
    EXPECT_EQ(Sim().ended, 1);
    EXPECT_EQ(Mapper("Playback"), "Speakers (Realtek HD Audio)");
    EXPECT_EQ(WaveRaw(0), 30u * 655);
}

TEST_F(CommandLineTest, NumbersThatSwitchNothing) {
    desktop.SetString(kMapper, "Playback", "HDMI Output");
    App& zero = StartWith("D=0 V=0");
    EXPECT_EQ(Sim(0).ended, 0);  // nothing done: start-up goes on, with the tray icon
    EXPECT_TRUE(Sim(0).tray_icon);
    EXPECT_EQ(Mapper("Playback"), "HDMI Output");
    EXPECT_EQ(WaveRaw(2), 32768u);
    EXPECT_FALSE(zero.MainForm().Visible());

    StartWith("D=12");  // a name search for "12", not position 12
    EXPECT_EQ(Sim(1).ended, 0);
    EXPECT_EQ(Mapper("Playback"), "HDMI Output");

    StartWith("D=x");
    EXPECT_EQ(Mapper("Playback"), "HDMI Output");
}

TEST_F(CommandLineTest, PositionBeyondTheListSwitchesTheSelectedCardAgain) {
    desktop.SetString(kMapper, "Playback", "USB Headset");
    StartWith("D=9");
    EXPECT_EQ(Sim().ended, 1);
    EXPECT_EQ(Mapper("Playback"), "USB Headset");
    EXPECT_EQ(desktop.broadcasts.size(), 1u);
}

TEST_F(CommandLineTest, HelpIsShownAndTheCardStillSwitched) {
    StartWith("? D=3");
    ASSERT_EQ(Sim().boxes.size(), 1u);
    EXPECT_EQ(Sim().boxes[0].title, "Parameter");
    EXPECT_EQ(Sim().boxes[0].style, mb::Ok | mb::IconInformation);
    EXPECT_EQ(Sim().boxes[0].text.rfind("Command line parameter: \r\rVarlindo.exe D=[SoundDevice]", 0), 0u);
    EXPECT_NE(Sim().boxes[0].text.find("\r\r\rVarlindo.exe D=SB-Live! Wavedevice V=80 R=C:\\Skype\\Skype.exe"),
              std::string::npos);
    EXPECT_EQ(Mapper("Playback"), "HDMI Output");
    EXPECT_EQ(Sim().ended, 1);

    StartApp(Language::German, "?");
    EXPECT_EQ(Sim(1).boxes[0].text.rfind("Kommandozeilen Parameter:  \r\r", 0), 0u);
    EXPECT_NE(Sim(1).boxes[0].text.find("oder:\r\rVarlindo.exe D=Sound Blaster Live!"), std::string::npos);
}

TEST_F(CommandLineTest, MissingProgramIsReportedAndTheProgramStaysResident) {
    App& app = StartWith("D=2 R=C:\\Games\\missing.exe");
    ASSERT_EQ(Sim().boxes.size(), 1u);
    EXPECT_EQ(Sim().boxes[0].title, "File not found");
    EXPECT_EQ(Sim().boxes[0].text, "File not found:\rC:\\Games\\missing.exe");
    EXPECT_EQ(Sim().ended, 0);
    EXPECT_TRUE(Sim().tray_icon);
    EXPECT_NE(Mapper("Playback"), "USB Headset");  // nothing switched
    EXPECT_TRUE(Sim().started.empty());
    EXPECT_EQ(app.MainForm().DeviceList.ListCount(), 3);  // the window still works
}

TEST_F(CommandLineTest, ProgramStartsWithItsParametersWhateverTheKeyOrder) {
    StartWith("R=C:\\Games\\game.exe D=Headset P=-window -fast");
    EXPECT_EQ(Mapper("Playback"), "USB Headset");
    ASSERT_EQ(Sim().started.size(), 1u);
    EXPECT_EQ(Sim().started[0], "\"C:\\Games\\game.exe\" -window -fast");
    EXPECT_EQ(Sim().current_folder, "C:\\Games");
    EXPECT_EQ(Sim().ended, 1);
}

TEST_F(CommandLineTest, ValuesAreCutAtTheNextKey) {
    StartWith("R=C:\\Games\\game.exe P=a=b");  // the last key keeps its "="
    ASSERT_EQ(Sim(0).started.size(), 1u);
    EXPECT_EQ(Sim(0).started[0], "\"C:\\Games\\game.exe\" a=b");

    StartWith("P=-window D=3");  // P= without R= is ignored
    EXPECT_TRUE(Sim(1).started.empty());
    EXPECT_EQ(Mapper("Playback"), "HDMI Output");
}

TEST_F(CommandLineTest, RefusesToStartItself) {
    desktop.folders.insert("c:\\tools");
    desktop.files["c:\\tools\\varlindo.exe"] = "";
    StartWith("D=2 R=C:\\Tools\\Varlindo.exe");
    ASSERT_EQ(Sim().boxes.size(), 1u);
    EXPECT_EQ(Sim().boxes[0].title, "Recursion Error");
    EXPECT_EQ(Sim().boxes[0].text, "Error: can not call myself!\rC:\\Tools\\Varlindo.exe");
    EXPECT_TRUE(Sim().started.empty());
    EXPECT_EQ(Mapper("Playback"), "USB Headset");  // the switch stays done
    EXPECT_EQ(Sim().ended, 1);
    EXPECT_TRUE(Sim().beeps.empty());
}

TEST_F(CommandLineTest, RunsBesideAResidentInstance) {
    StartApp();
    StartWith("D=3");
    EXPECT_EQ(Sim(0).ended, 0);
    EXPECT_EQ(Sim(1).ended, 1);
    EXPECT_TRUE(Sim(0).tray_icon);
    EXPECT_EQ(Mapper("Playback"), "HDMI Output");
}

}  // namespace
}  // namespace varlindo::test
