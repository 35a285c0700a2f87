#include <gtest/gtest.h>

#include "support/sim_fixture.h"
#include "core/system_sound.h"
#include "tray/system_tray.h"

namespace varlindo::test {
namespace {

class LifecycleTest : public SimTest {
protected:
    // A program that makes this card the default when it ends.
    App& StartWithShutdownCard(const char* card) {
        desktop.SetString(kSettings, "SetDefaultOnShutdownCheck", "1");
        desktop.SetString(kSettings, "ShutdownDevice", card);
        return StartApp();
    }
    void AnswerNo(size_t i = 0) {
        Sim(i).ui.answer = [](const sim::SimUi::Box& b) {
            return (b.style & 0xF) == mb::YesNo ? mb::AnswerNo : mb::AnswerOk;
        };
    }
};

TEST_F(LifecycleTest, StartUpMakesTheStartupCardTheDefaultAndHidesInTheTray) {
    desktop.SetString(kSettings, "SetDefaultOnStartupCheck", "1");
    desktop.SetString(kSettings, "StartupDevice", "HDMI Output");
    desktop.SetString(kMapper, "Playback", "USB Headset");
    Form1& form = StartApp().MainForm();
    EXPECT_EQ(Mapper("Playback"), "HDMI Output");
    EXPECT_TRUE(desktop.device_notices.empty());  // the start-up switch tells nobody
    EXPECT_FALSE(form.Visible());
    EXPECT_TRUE(form.TrayIconActive);
    EXPECT_TRUE(Sim().tray.icon);
    EXPECT_EQ(form.CurrentDeviceTitle.Caption(), "HDMI Output");
    EXPECT_EQ(form.DeviceBtn.Caption(), "Device\r\r");
    EXPECT_EQ(form.StartupBtn.Caption(), "Settings\r\r");
    EXPECT_EQ(form.getStartTime(), 703812);
}

TEST_F(LifecycleTest, StartupCardSwitchedOffOrEmptyLeavesTheDefault) {
    desktop.SetString(kSettings, "SetDefaultOnStartupCheck", "0");
    desktop.SetString(kSettings, "StartupDevice", "HDMI Output");
    desktop.SetString(kMapper, "Playback", "USB Headset");
    StartApp();
    EXPECT_EQ(Mapper("Playback"), "USB Headset");
    desktop.SetString(kSettings, "SetDefaultOnStartupCheck", "1");
    desktop.SetString(kSettings, "StartupDevice", "");
    StartWith("D=0");
    EXPECT_EQ(Mapper("Playback"), "USB Headset");
}

TEST_F(LifecycleTest, ExitButtonAsksOnceThenAppliesTheShutdownCard) {
    Form1& form = StartWithShutdownCard("USB Headset").MainForm();
    form.Show();
    EXPECT_THROW(form.ExitBtn_Click(), sim::ProgramEnded);
    ASSERT_EQ(Sim().ui.boxes.size(), 1u);
    EXPECT_EQ(Sim().ui.boxes[0].text, "Shutdown Varlindo?");
    EXPECT_EQ(Sim().ui.boxes[0].title, "Exit program?");
    EXPECT_EQ(Sim().ui.boxes[0].style, mb::YesNo | mb::IconQuestion);
    EXPECT_EQ(Mapper("Playback"), "USB Headset");
    EXPECT_FALSE(Sim().tray.icon);
    EXPECT_FALSE(apps[0]->HasTray());
}

TEST_F(LifecycleTest, ExitButtonAnsweredNoChangesNothing) {
    Form1& form = StartApp().MainForm();
    AnswerNo();
    form.ExitBtn_Click();
    EXPECT_EQ(Sim().ui.ended, 0);
    EXPECT_TRUE(Sim().tray.icon);
    EXPECT_FALSE(form.ExitConfirmed);
}

TEST_F(LifecycleTest, ClosingTheShownWindowAsksAndNoSendsItToTheTray) {
    App& app = StartApp();
    Form1& form = app.MainForm();
    app.TrayMouse(SystemTray::LeftDouble);  // the window comes back, the icon goes
    EXPECT_TRUE(form.Visible());
    EXPECT_FALSE(Sim().tray.icon);
    AnswerNo();
    app.CloseRequested(form);
    EXPECT_EQ(Sim().ui.ended, 0);
    EXPECT_EQ(Sim().ui.boxes.back().text, "Shutdown Varlindo?");
    EXPECT_FALSE(form.Visible());
    EXPECT_TRUE(Sim().tray.icon);
    EXPECT_EQ(Sim().tray.tip, "current: Speakers (Realtek HD Audio)");
}

TEST_F(LifecycleTest, ClosingWhileHiddenAsksNothingAndRunsTheShutdownWork) {
    App& app = StartWithShutdownCard("HDMI Output");
    EXPECT_TRUE(app.SessionEnding());  // Windows logs off
    EXPECT_THROW(app.SessionEnded(true), sim::ProgramEnded);
    EXPECT_TRUE(Sim().ui.boxes.empty());
    EXPECT_EQ(Mapper("Playback"), "HDMI Output");
    EXPECT_FALSE(Sim().tray.icon);
}

TEST_F(LifecycleTest, ACancelledLogOffLeavesTheProgramAsItWas) {
    App& app = StartWithShutdownCard("HDMI Output");
    EXPECT_TRUE(app.SessionEnding());  // hidden in the tray: nothing to ask
    app.SessionEnded(false);           // another program cancelled the log-off
    EXPECT_EQ(Sim().ui.ended, 0);
    EXPECT_TRUE(Sim().tray.icon);
    EXPECT_EQ(Mapper("Playback"), "Speakers (Realtek HD Audio)");
    EXPECT_TRUE(Sim().ui.boxes.empty());
    app.TrayMouse(SystemTray::LeftDouble);  // and the program still works
    EXPECT_TRUE(app.MainForm().Visible());
}

TEST_F(LifecycleTest, ALogOffAsksWhileTheWindowIsShownAndNoKeepsTheProgram) {
    App& app = StartWithShutdownCard("HDMI Output");
    app.TrayMouse(SystemTray::LeftDouble);
    AnswerNo();
    EXPECT_FALSE(app.SessionEnding());
    ASSERT_EQ(Sim().ui.boxes.size(), 1u);
    EXPECT_EQ(Sim().ui.boxes[0].title, "Exit program?");
    EXPECT_FALSE(app.MainForm().Visible());  // sent to the tray
    EXPECT_TRUE(Sim().tray.icon);
    EXPECT_EQ(Mapper("Playback"), "Speakers (Realtek HD Audio)");

    // Yes, and the session ends: the shut-down work runs then, without a second question.
    app.TrayMouse(SystemTray::LeftDouble);
    Sim().ui.answer = nullptr;
    EXPECT_TRUE(app.SessionEnding());
    EXPECT_EQ(Mapper("Playback"), "Speakers (Realtek HD Audio)");
    EXPECT_THROW(app.SessionEnded(true), sim::ProgramEnded);
    EXPECT_EQ(Sim().ui.boxes.size(), 2u);
    EXPECT_EQ(Mapper("Playback"), "HDMI Output");
    EXPECT_FALSE(Sim().tray.icon);
}

TEST_F(LifecycleTest, ALogOffWhileTheCloseQuestionIsOpenEndsWithTheShutdownWork) {
    App& app = StartWithShutdownCard("HDMI Output");
    app.TrayMouse(SystemTray::LeftDouble);
    // The user closes the window; while "Shutdown Varlindo?" waits, Windows logs off.
    Sim().ui.answer = [&app](const sim::SimUi::Box&) {
        EXPECT_TRUE(app.SessionEnding());  // no second question
        app.SessionEnded(true);
        return mb::AnswerNo;
    };
    EXPECT_THROW(app.CloseRequested(app.MainForm()), sim::ProgramEnded);
    EXPECT_EQ(Sim().ui.boxes.size(), 1u);
    EXPECT_EQ(Mapper("Playback"), "HDMI Output");
    EXPECT_FALSE(Sim().tray.icon);
}

TEST_F(LifecycleTest, ExitFromTheTrayWhileTheCloseQuestionIsOpenDoesTheShutdownWork) {
    App& app = StartWithShutdownCard("HDMI Output");
    Form1& form = app.MainForm();
    UserDoes(app, [&form] { form.OnTrayMenu("Settings ..."); });  // shown, the icon stays
    ASSERT_TRUE(Sim().tray.icon);
    // The user closes the window; while "Shutdown Varlindo?" waits, "Exit" is picked in the
    // tray menu and answered Yes.
    int asked = 0;
    Sim().ui.answer = [this, &app, &asked](const sim::SimUi::Box&) {
        if (++asked == 1) {
            Sim().tray.pick = [](const std::vector<MenuItem>& items) { return items.back().id; };
            app.TrayMouse(SystemTray::RightUp);
        }
        return mb::AnswerYes;
    };
    EXPECT_THROW(app.CloseRequested(form), sim::ProgramEnded);
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(Mapper("Playback"), "HDMI Output");
    EXPECT_FALSE(Sim().tray.icon);
}

TEST_F(LifecycleTest, ShutdownOptionWithoutCardAsksForOne) {
    desktop.SetString(kSettings, "SetDefaultOnShutdownCheck", "1");
    App& app = StartApp();
    EXPECT_THROW(app.CloseRequested(app.MainForm()), sim::ProgramEnded);
    ASSERT_EQ(Sim().ui.boxes.size(), 1u);
    EXPECT_EQ(Sim().ui.boxes[0].title, "No Soundcard selected");
}

TEST_F(LifecycleTest, MinimisingSendsTheWindowToTheTrayWithTheCurrentCard) {
    App& app = StartApp(Language::German);
    Form1& form = app.MainForm();
    app.TrayMouse(SystemTray::LeftDouble);
    form.Command1_Click();
    EXPECT_FALSE(form.Visible());
    EXPECT_EQ(Sim().tray.tip, "Standard: Speakers (Realtek HD Audio)");
    EXPECT_EQ(form.Width(), Form1::kWidth);
    int esc = 27;
    app.TrayMouse(SystemTray::LeftDouble);
    form.Form_KeyPress(esc);
    EXPECT_FALSE(form.Visible());
}

TEST_F(LifecycleTest, SecondStartWithoutArgumentsBringsTheFirstForwardAndEnds) {
    Form1& first = StartApp().MainForm();
    EXPECT_FALSE(first.Visible());
    App& second = StartApp();
    EXPECT_EQ(Sim(1).ui.ended, 1);
    EXPECT_EQ(Sim(1).tray.adds, 0);
    EXPECT_EQ(second.MainForm().Caption(), "#$#");
    EXPECT_TRUE(first.Visible());
    EXPECT_EQ(first.GetWindowState(), ui::WindowState::Normal);
    EXPECT_FALSE(desktop.topmost.begin()->second);  // topmost only for the hand-over
    EXPECT_EQ(Sim(0).ui.ended, 0);
}

TEST_F(LifecycleTest, AStaleLockAloneLetsTheProgramStart) {
    desktop.locks.insert("Varlindo");  // nobody to hand over to
    StartApp();
    EXPECT_EQ(Sim().ui.ended, 0);
    EXPECT_TRUE(Sim().tray.icon);
}

TEST_F(LifecycleTest, CaptionsFollowTheInterfaceLanguage) {
    Form1& english = StartApp().MainForm();
    EXPECT_EQ(english.GetLanguage(), 0);
    EXPECT_EQ(english.PlayCheck.Caption(), "For playback");
    EXPECT_EQ(english.SetBtn.Caption(), "&Set Soundcard");
    EXPECT_EQ(english.Command1.Caption(), "&Hide >>");

    next_start_time = LocalTime{8, 1, 2, 3};
    Form1& german = StartApp(Language::German, "D=0").MainForm();
    EXPECT_EQ(german.GetLanguage(), 1);
    EXPECT_EQ(german.DeviceBtn.Caption(), "Soundkarten");
    EXPECT_EQ(german.StartupBtn.Caption(), "Einstellungen");
    EXPECT_EQ(german.PlayCheck.Caption(), "Wiedergabe");
    EXPECT_EQ(german.RecordCheck.Caption(), "Aufnahme");
    EXPECT_EQ(german.SetBtn.Caption(), "Soundkarte aktivieren");
    EXPECT_EQ(german.Command1.Caption(), "System Tray >>");
    EXPECT_EQ(german.ExitBtn.Caption(), "Beenden");
    EXPECT_EQ(german.SetDefaultOnShutdownCheck.Caption(), "bei Programmende");
    EXPECT_EQ(german.Caption(), "Varlindo Vers. 2.0.1");
}

TEST_F(LifecycleTest, PlaySystemSoundScalesSmallKinds) {
    sim::SimPlatform sim(desktop);
    PlaySystemSound(sim.ui, 3);
    PlaySystemSound(sim.ui, 16);
    PlaySystemSound(sim.ui, 64);
    EXPECT_EQ(sim.ui.beeps, (std::vector<unsigned>{48, 16, 64}));
}

}  // namespace
}  // namespace varlindo::test
