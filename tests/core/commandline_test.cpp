#include <gtest/gtest.h>

#include "core/command_line.h"
#include "support/sim_fixture.h"
#include "tray/system_tray.h"

namespace varlindo::test {
namespace {

class CommandLineTest : public SimTest {
protected:
    CommandLineTest() {
        desktop.folders.insert("c:\\games");
        desktop.files["c:\\games\\game.exe"] = "";
    }
    std::uint32_t WaveRaw(int card) {
        return desktop.CardMixer(card).Control(mixer::SrcWaveOut, mixer::ControlVolume)->value;
    }
    std::uint32_t SpeakerRaw(int card) {
        return desktop.CardMixer(card).Control(mixer::DstSpeakers, mixer::ControlVolume)->value;
    }
};

TEST_F(CommandLineTest, PositionAndVolumeSwitchAndEndWithoutTrayIcon) {
    StartWith("D=2 V=50");
    EXPECT_EQ(Sim().ui.ended, 1);
    EXPECT_EQ(Mapper("Playback"), "USB Headset");
    EXPECT_EQ(Mapper("Record"), "USB Headset");
    EXPECT_EQ(SpeakerRaw(1), 50u * 655);
    EXPECT_EQ(WaveRaw(1), 50u * 655);
    EXPECT_EQ(Sim().tray.adds, 0);
    EXPECT_EQ(Sim().ui.beeps, std::vector<unsigned>{48});
    EXPECT_TRUE(Sim().ui.boxes.empty());
}

TEST_F(CommandLineTest, KeysAndNamesMatchInAnyCaseAndOrderAndTheVolumeGoesToTheSwitchedCard) {
    StartWith("v=30 d=headset");
    EXPECT_EQ(Mapper("Playback"), "USB Headset");
    EXPECT_EQ(WaveRaw(1), 30u * 655);
    EXPECT_EQ(SpeakerRaw(1), 30u * 655);
    EXPECT_EQ(WaveRaw(0), 32768u);  // not the first card, whatever case the name was typed in
}

TEST_F(CommandLineTest, VolumeAloneTakesTheFirstCard) {
    desktop.SetString(kMapper, "Playback", "HDMI Output");
    StartWith("V=30");
    EXPECT_EQ(Sim().ui.ended, 1);
    EXPECT_EQ(Mapper("Playback"), "Speakers (Realtek HD Audio)");
    EXPECT_EQ(WaveRaw(0), 30u * 655);
}

TEST_F(CommandLineTest, NumbersThatSwitchNothing) {
    desktop.SetString(kMapper, "Playback", "HDMI Output");
    App& zero = StartWith("D=0 V=0");
    EXPECT_EQ(Sim(0).ui.ended, 0);  // nothing done: start-up goes on, with the tray icon
    EXPECT_TRUE(Sim(0).tray.icon);
    EXPECT_EQ(Mapper("Playback"), "HDMI Output");
    EXPECT_EQ(WaveRaw(2), 32768u);
    EXPECT_FALSE(zero.MainForm().Visible());

    StartWith("D=12");  // a name search for "12", not position 12
    EXPECT_EQ(Sim(1).ui.ended, 0);
    EXPECT_EQ(Mapper("Playback"), "HDMI Output");

    StartWith("D=x");
    EXPECT_EQ(Mapper("Playback"), "HDMI Output");
}

TEST_F(CommandLineTest, PositionBeyondTheListSwitchesTheSelectedCardAgain) {
    desktop.SetString(kMapper, "Playback", "USB Headset");
    StartWith("D=9");
    EXPECT_EQ(Sim().ui.ended, 1);
    EXPECT_EQ(Mapper("Playback"), "USB Headset");
    EXPECT_EQ(desktop.device_notices.size(), 1u);
}

TEST_F(CommandLineTest, HelpAloneChangesNothing) {
    desktop.SetString(kMapper, "Playback", "HDMI Output");
    desktop.SetString(kMapper, "Record", "USB Headset");
    desktop.writes.clear();
    StartWith("?");
    ASSERT_EQ(Sim().ui.boxes.size(), 1u);
    EXPECT_EQ(Sim().ui.boxes[0].title, "Parameter");
    EXPECT_EQ(Sim().ui.ended, 1);
    for (const std::string& write : desktop.writes) EXPECT_EQ(write.find("Sound Mapper"), std::string::npos) << write;
    EXPECT_TRUE(desktop.device_notices.empty());
    EXPECT_EQ(Mapper("Playback"), "HDMI Output");

    StartWith("? V=40");  // no card named: help only, no volume for a card nobody chose
    EXPECT_EQ(Mapper("Playback"), "HDMI Output");
    for (int card = 0; card < 3; ++card) EXPECT_EQ(WaveRaw(card), 32768u);

    StartWith("D=? V=40");  // a card text that names no card: the help, and no switch
    EXPECT_EQ(Sim(2).ui.boxes.size(), 1u);
    EXPECT_EQ(Mapper("Playback"), "HDMI Output");
}

TEST_F(CommandLineTest, HelpIsShownAndTheCardStillSwitched) {
    StartWith("? D=3");
    ASSERT_EQ(Sim().ui.boxes.size(), 1u);
    EXPECT_EQ(Sim().ui.boxes[0].title, "Parameter");
    EXPECT_EQ(Sim().ui.boxes[0].style, mb::Ok | mb::IconInformation);
    EXPECT_EQ(Sim().ui.boxes[0].text.rfind("Command line parameter: \r\rVarlindo.exe D=[SoundDevice]", 0), 0u);
    EXPECT_NE(Sim().ui.boxes[0].text.find("\r\r\rVarlindo.exe D=SB-Live! Wavedevice V=80 R=C:\\Skype\\Skype.exe"),
              std::string::npos);
    EXPECT_EQ(Mapper("Playback"), "HDMI Output");
    EXPECT_EQ(Sim().ui.ended, 1);

    StartApp(Language::German, "?");
    EXPECT_EQ(Sim(1).ui.boxes[0].text.rfind("Kommandozeilen Parameter:  \r\r", 0), 0u);
    EXPECT_NE(Sim(1).ui.boxes[0].text.find("oder:\r\rVarlindo.exe D=Sound Blaster Live!"), std::string::npos);
}

TEST_F(CommandLineTest, MissingProgramIsReportedAndTheProgramStaysResident) {
    App& app = StartWith("D=2 R=C:\\Games\\missing.exe");
    ASSERT_EQ(Sim().ui.boxes.size(), 1u);
    EXPECT_EQ(Sim().ui.boxes[0].title, "File not found");
    EXPECT_EQ(Sim().ui.boxes[0].text, "File not found:\rC:\\Games\\missing.exe");
    EXPECT_EQ(Sim().ui.ended, 0);
    EXPECT_TRUE(Sim().tray.icon);
    EXPECT_NE(Mapper("Playback"), "USB Headset");  // nothing switched
    EXPECT_TRUE(Sim().shell.started.empty());
    EXPECT_EQ(app.MainForm().DeviceList.ListCount(), 3);  // the window still works
}

TEST_F(CommandLineTest, ProgramStartsWithItsParametersWhateverTheKeyOrder) {
    StartWith("R=C:\\Games\\game.exe D=Headset P=-window -fast");
    EXPECT_EQ(Mapper("Playback"), "USB Headset");
    ASSERT_EQ(Sim().shell.started.size(), 1u);
    EXPECT_EQ(Sim().shell.started[0], "\"C:\\Games\\game.exe\" -window -fast");
    EXPECT_EQ(Sim().files.current_folder, "C:\\Games");
    EXPECT_EQ(Sim().ui.ended, 1);
}

TEST_F(CommandLineTest, ValuesAreCutAtTheNextKey) {
    StartWith("R=C:\\Games\\game.exe P=a=b");  // the last key keeps its "="
    ASSERT_EQ(Sim(0).shell.started.size(), 1u);
    EXPECT_EQ(Sim(0).shell.started[0], "\"C:\\Games\\game.exe\" a=b");

    StartWith("P=-window D=3");  // P= without R= is ignored
    EXPECT_TRUE(Sim(1).shell.started.empty());
    EXPECT_EQ(Mapper("Playback"), "HDMI Output");
}

TEST_F(CommandLineTest, AKeyCountsOnlyAtTheStartOrAfterABlank) {
    // "-fov=90" is the game's own parameter: no volume, and the game gets it whole.
    StartWith("D=2 R=C:\\Games\\game.exe P=-fov=90 -dv=1");
    EXPECT_EQ(Mapper("Playback"), "USB Headset");
    ASSERT_EQ(Sim(0).shell.started.size(), 1u);
    EXPECT_EQ(Sim(0).shell.started[0], "\"C:\\Games\\game.exe\" -fov=90 -dv=1");
    for (int card = 0; card < 3; ++card) EXPECT_EQ(WaveRaw(card), 32768u) << card;

    // A value keeps its "=" also when another key follows it.
    StartWith("R=C:\\Games\\game.exe P=a=b D=3 V=20");
    ASSERT_EQ(Sim(1).shell.started.size(), 1u);
    EXPECT_EQ(Sim(1).shell.started[0], "\"C:\\Games\\game.exe\" a=b");
    EXPECT_EQ(Mapper("Playback"), "HDMI Output");
    EXPECT_EQ(WaveRaw(2), 20u * 655);
}

TEST(CommandLineKeysTest, ValuesRunToTheNextKey) {
    const auto keys = ParseCommandLine("  d=SB-Live! Wavedevice  V=80 r=C:\\My Games\\x.exe p=--name=a b");
    EXPECT_EQ(keys.device, "SB-Live! Wavedevice");
    EXPECT_EQ(keys.volume, "80");
    EXPECT_EQ(keys.program, "C:\\My Games\\x.exe");
    EXPECT_EQ(keys.parameters, "--name=a b");
    EXPECT_FALSE(keys.help);

    const auto inner = ParseCommandLine("D=Card=1 D=2 XV=3 ?");
    EXPECT_EQ(inner.device, "Card=1");  // the first D= counts
    EXPECT_FALSE(inner.volume);         // "XV=" is no key
    EXPECT_TRUE(inner.help);

    const auto empty = ParseCommandLine("V= D=");
    EXPECT_EQ(empty.volume, "");
    EXPECT_EQ(empty.device, "");
    EXPECT_FALSE(ParseCommandLine("=D=2").device);
}

TEST(CommandLineKeysTest, QuotedArgumentsAndTabs) {
    const auto whole = ParseCommandLine("\"D=USB Headset\" \"V=50\"\t\"R=C:\\My Games\\x.exe\" P=\"a b\" -c");
    EXPECT_EQ(whole.device, "USB Headset");
    EXPECT_EQ(whole.volume, "50");
    EXPECT_EQ(whole.program, "C:\\My Games\\x.exe");
    EXPECT_EQ(whole.parameters, "\"a b\" -c");  // the program gets its quotes

    const auto values = ParseCommandLine("D=\"USB Headset\"\tV=\"30\" R=\"C:\\My Games\\x.exe\"");
    EXPECT_EQ(values.device, "USB Headset");
    EXPECT_EQ(values.volume, "30");
    EXPECT_EQ(values.program, "\"C:\\My Games\\x.exe\"");
}

TEST(CommandLineKeysTest, AnArgumentQuotedAsAWholeIsTrimmedInsideItsQuotes) {
    const auto keys = ParseCommandLine("\"R=C:\\My Games\\x.exe \"\t\"P= -x \t\" \"D= USB Headset \"");
    EXPECT_EQ(keys.program, "C:\\My Games\\x.exe");
    EXPECT_EQ(keys.parameters, "-x");
    EXPECT_EQ(keys.device, "USB Headset");
}

TEST_F(CommandLineTest, AQuotedCardNameSwitchesThatCard) {
    StartWith("\"D=USB Headset\" V=50");
    EXPECT_EQ(Sim().ui.ended, 1);
    EXPECT_EQ(Mapper("Playback"), "USB Headset");
    EXPECT_EQ(WaveRaw(1), 50u * 655);
    EXPECT_EQ(WaveRaw(0), 32768u);
}

TEST_F(CommandLineTest, AnInstanceWhoseCommandLineDidNothingClosesLikeAnyOther) {
    desktop.SetString(kSettings, "SetDefaultOnShutdownCheck", "1");
    desktop.SetString(kSettings, "ShutdownDevice", "HDMI Output");
    App& app = StartWith("D=nothing-like-it");
    ASSERT_EQ(Sim().ui.ended, 0);  // resident, in the tray
    EXPECT_TRUE(Sim().tray.icon);
    app.TrayMouse(SystemTray::LeftDouble);
    ASSERT_TRUE(app.MainForm().Visible());
    EXPECT_THROW(app.CloseRequested(app.MainForm()), sim::ProgramEnded);
    ASSERT_EQ(Sim().ui.boxes.size(), 1u);
    EXPECT_EQ(Sim().ui.boxes[0].text, "Shutdown Varlindo?");
    EXPECT_EQ(Mapper("Playback"), "HDMI Output");  // the shut-down card

    App& missing = StartWith("D=2 R=C:\\Games\\missing.exe");
    ASSERT_EQ(Sim(1).ui.ended, 0);
    EXPECT_TRUE(missing.SessionEnding());
    EXPECT_THROW(missing.SessionEnded(true), sim::ProgramEnded);
    EXPECT_EQ(Mapper("Playback"), "HDMI Output");
    EXPECT_FALSE(Sim(1).tray.icon);
}

TEST_F(CommandLineTest, RefusesToStartItself) {
    desktop.folders.insert("c:\\tools");
    desktop.files["c:\\tools\\varlindo.exe"] = "";
    StartWith("D=2 R=C:\\Tools\\Varlindo.exe");
    ASSERT_EQ(Sim().ui.boxes.size(), 1u);
    EXPECT_EQ(Sim().ui.boxes[0].title, "Recursion Error");
    EXPECT_EQ(Sim().ui.boxes[0].text, "Error: can not call myself!\rC:\\Tools\\Varlindo.exe");
    EXPECT_TRUE(Sim().shell.started.empty());
    EXPECT_EQ(Mapper("Playback"), "USB Headset");  // the switch stays done
    EXPECT_EQ(Sim().ui.ended, 1);
    EXPECT_TRUE(Sim().ui.beeps.empty());
}

TEST_F(CommandLineTest, RunsBesideAResidentInstance) {
    StartApp();
    StartWith("D=3");
    EXPECT_EQ(Sim(0).ui.ended, 0);
    EXPECT_EQ(Sim(1).ui.ended, 1);
    EXPECT_TRUE(Sim(0).tray.icon);
    EXPECT_EQ(Mapper("Playback"), "HDMI Output");
}

}  // namespace
}  // namespace varlindo::test
