// The main window's settings page: what each field stores, and what it shows.

#include <gtest/gtest.h>

#include "app/form1_captions.h"
#include "support/sim_fixture.h"
#include "tray/system_tray.h"

namespace varlindo::test {
namespace {

constexpr const char* kRun = "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";

class SettingsPage : public SimTest {
protected:
    Form1& Start(Language language = Language::English) {
        App& app = StartApp(language);
        app_ = &app;
        Form1& form = app.MainForm();
        UserDoes(app, [&form] { form.StartupBtn_Click(); });
        return form;
    }
    // The user picks a card in the chooser.
    void Choose(Form1& form, const std::string& device) {
        UserDoes(*app_, [&] {
            form.StartupCombo.RaiseGotFocus();
            for (int i = 0; i < form.StartupCombo.ListCount(); ++i)
                if (form.StartupCombo.List(i) == device) form.StartupCombo.UserSelect(i);
        });
    }
    std::string Setting(const char* key) const { return desktop.String(kSettings, key).value_or("<missing>"); }
    std::string Card(const std::string& device, const char* key) const {
        return desktop.String(CardSection(device), key).value_or("<missing>");
    }
    App* app_ = nullptr;
};

TEST_F(SettingsPage, ThePageButtonsShowOnePageAtATime) {
    Form1& form = Start();
    EXPECT_TRUE(form.StartupFrame.Shown());
    EXPECT_FALSE(form.DeviceFrame.Shown());
    EXPECT_TRUE(form.StartupBtn.FontBold());
    EXPECT_EQ(form.StartupBtn.BackColor(), 0xFFFFFFu);
    EXPECT_EQ(form.DeviceBtn.BackColor(), 0xEFFFFFu);
    // The settings page lies where the device page does.
    EXPECT_EQ(form.StartupFrame.Left(), form.DeviceFrame.Left());
    EXPECT_EQ(form.StartupFrame.Top(), form.DeviceFrame.Top());
    EXPECT_EQ(form.StartupFrame.Height(), form.DeviceFrame.Height());
    UserDoes(*app_, [&form] { form.DeviceBtn.RaiseClick(); });
    EXPECT_TRUE(form.DeviceFrame.Shown());
    EXPECT_FALSE(form.StartupFrame.Shown());
    // A double-click on the current card's text opens the settings again.
    UserDoes(*app_, [&form] { form.CurrentCardTxt.RaiseDblClick(); });
    EXPECT_TRUE(form.StartupFrame.Shown());
}

TEST_F(SettingsPage, TheChooserShowsTheChosenCardAndTypingDoesNothing) {
    desktop.SetString(CardSection("USB Headset"), "AliasName", "Headset");
    desktop.SetString(CardSection("USB Headset"), "SetVolumeOnShutdown", "1");
    desktop.SetString(CardSection("USB Headset"), "ShutdownVolume", "30");
    Form1& form = Start();
    EXPECT_EQ(form.StartupCombo.Items(),
              (std::vector<std::string>{"Speakers (Realtek HD Audio)", "USB Headset", "HDMI Output"}));
    EXPECT_EQ(form.VolumeCombo.ListCount(), 101);
    EXPECT_EQ(form.VolumeCombo.List(0), "100%");
    EXPECT_EQ(form.VolumeCombo.List(100), "0%");

    Choose(form, "USB Headset");
    EXPECT_EQ(form.EditedDevice.GetDeviceName(), "USB Headset");
    EXPECT_EQ(form.TextNikname.Text(), "Headset");
    EXPECT_EQ(form.SetVolumeCheckShutdown.Value(), 1);
    EXPECT_EQ(form.VolumeComboShutdown.List(form.VolumeComboShutdown.ListIndex()), "30%");
    EXPECT_TRUE(form.SetVolumeBtn.Enabled());

    // Typed keys are thrown away: the chooser and the card shown stay.
    for (int key : {'H', 'U', '\r'}) EXPECT_EQ(form.StartupCombo.RaiseKeyPress(key), 0);
    EXPECT_EQ(form.StartupCombo.Text(), "USB Headset");
    EXPECT_EQ(form.EditedDevice.GetDeviceName(), "USB Headset");
}

TEST_F(SettingsPage, AFirstStartShowsTheCurrentCardOnTheSettingsPage) {
    Form1& form = Start();  // no "Playback" value yet
    EXPECT_EQ(Mapper("Playback"), "Speakers (Realtek HD Audio)");
    EXPECT_EQ(form.StartupCombo.Text(), "Speakers (Realtek HD Audio)");
    EXPECT_EQ(form.TextNikname.Text(), "Speakers (Realtek HD Audio)");
}

TEST_F(SettingsPage, StoredVolumesShowTheirEntryAndZeroOrNegativeShowTheReverse) {
    desktop.SetString(CardSection("USB Headset"), "StartupVolume", "0");
    desktop.SetString(CardSection("USB Headset"), "ShutdownVolume", "-5");
    desktop.SetString(CardSection("HDMI Output"), "StartupVolume", "101");
    Form1& form = Start();
    Choose(form, "USB Headset");
    EXPECT_EQ(form.VolumeCombo.List(form.VolumeCombo.ListIndex()), "0%");
    EXPECT_EQ(form.VolumeComboShutdown.List(form.VolumeComboShutdown.ListIndex()), "50%");
    // Shown is not stored: hiding the window leaves the stored values alone.
    UserDoes(*app_, [&form] { form.Command1.RaiseClick(); });
    EXPECT_EQ(Card("USB Headset", "ShutdownVolume"), "-5");
    app_->ShowMainWindow();
    Choose(form, "HDMI Output");
    EXPECT_EQ(form.VolumeCombo.ListIndex(), -1);  // 101 selects nothing
}

TEST_F(SettingsPage, APercentageIsStoredWhenTheListLosesTheFocus) {
    Form1& form = Start();
    Choose(form, "USB Headset");
    UserDoes(*app_, [&form] { form.VolumeCombo.UserSelect(100 - 35); });
    EXPECT_EQ(Card("USB Headset", "StartupVolume"), "<missing>");
    UserDoes(*app_, [&form] { form.VolumeCombo.RaiseLostFocus(); });
    EXPECT_EQ(Card("USB Headset", "StartupVolume"), "35");
}

TEST_F(SettingsPage, ANicknameIsStoredTrimmedAndAnEmptyOneFallsBackToTheDeviceName) {
    Form1& form = Start();
    Choose(form, "USB Headset");
    UserDoes(*app_, [&form] {
        form.TextNikname.UserEdit("  Gaming headset  ");
        form.TextNikname.RaiseLostFocus();
    });
    EXPECT_EQ(Card("USB Headset", "AliasName"), "Gaming headset");
    EXPECT_EQ(form.TextNikname.Text(), "Gaming headset");
    UserDoes(*app_, [&form] {
        form.TextNikname.UserEdit("");
        form.TextNikname.RaiseLostFocus();
    });
    EXPECT_EQ(form.TextNikname.Text(), "USB Headset");
}

TEST_F(SettingsPage, PendingEditsAreStoredWhenTheWindowHidesOrTheProgramEnds) {
    Form1& form = Start();
    Choose(form, "USB Headset");
    // Esc hides the window while the nickname field still has the focus.
    UserDoes(*app_, [&form] {
        form.TextNikname.UserEdit("Headset");
        form.VolumeComboShutdown.UserSelect(100 - 20);
        int esc = 27;
        form.KeyPress(esc);
    });
    EXPECT_FALSE(form.Visible());
    EXPECT_EQ(Card("USB Headset", "AliasName"), "Headset");
    EXPECT_EQ(Card("USB Headset", "ShutdownVolume"), "20");
    EXPECT_NE(form.MenuString().find("2: Headset"), std::string::npos);

    // An edit made while the window is shown is stored when the program ends.
    app_->ShowMainWindow();
    UserDoes(*app_, [&form] { form.TextNikname.UserEdit("Desk headset"); });
    Sim().ui.answer = [](const sim::SimUi::Box&) { return mb::AnswerYes; };
    try {
        UserDoes(*app_, [&form] { form.ExitBtn.RaiseClick(); });
    } catch (const sim::ProgramEnded&) {
    }
    EXPECT_EQ(Card("USB Headset", "AliasName"), "Desk headset");
}

TEST_F(SettingsPage, ANewNicknameIsInTheTrayMenuAtOnceAndItsEntrySwitches) {
    Form1& form = Start();
    Choose(form, "USB Headset");
    UserDoes(*app_, [&form] {
        form.TextNikname.UserEdit("Gamer");
        form.TextNikname.RaiseLostFocus();
    });
    EXPECT_NE(app_->Tray().MenuString().find(" 2: Gamer, "), std::string::npos) << app_->Tray().MenuString();
    UserDoes(*app_, [&form] { form.OnTrayMenu("2: Gamer"); });
    EXPECT_EQ(Mapper("Playback"), "USB Headset");
}

TEST_F(SettingsPage, TheVolumeButtonIsEnabledWhileAVolumeFlagIsTicked) {
    Form1& form = Start();
    Choose(form, "HDMI Output");
    EXPECT_FALSE(form.SetVolumeBtn.Enabled());
    UserDoes(*app_, [&form] { form.SetVolumeCheck.UserToggle(); });
    EXPECT_TRUE(form.SetVolumeBtn.Enabled());
    EXPECT_EQ(Card("HDMI Output", "SetVolumeOnStartup"), "1");
    UserDoes(*app_, [&form] { form.SetVolumeCheckShutdown.UserToggle(); });
    UserDoes(*app_, [&form] { form.SetVolumeCheck.UserToggle(); });
    EXPECT_TRUE(form.SetVolumeBtn.Enabled());
    UserDoes(*app_, [&form] { form.SetVolumeCheckShutdown.UserToggle(); });
    EXPECT_FALSE(form.SetVolumeBtn.Enabled());
    EXPECT_EQ(Card("HDMI Output", "SetVolumeOnStartup"), "0");
    EXPECT_EQ(Card("HDMI Output", "SetVolumeOnShutdown"), "0");
}

TEST_F(SettingsPage, OneStartupAndOneShutdownCardProgramWide) {
    Form1& form = Start();
    Choose(form, "USB Headset");
    UserDoes(*app_, [&form] { form.SetDefaultOnStartupCheck.UserToggle(); });
    EXPECT_EQ(Setting("SetDefaultOnStartupCheck"), "1");
    EXPECT_EQ(Setting("StartupDevice"), "USB Headset");
    EXPECT_EQ(form.DeviceIcon.Picture(), ui::Image::ProgramIcon);

    Choose(form, "HDMI Output");
    EXPECT_EQ(form.SetDefaultOnStartupCheck.Value(), 0);  // another card's choice
    EXPECT_EQ(form.DeviceIcon.Picture(), ui::Image::ProgramIconDisabled);
    UserDoes(*app_, [&form] { form.SetDefaultOnStartupCheck.UserToggle(); });
    EXPECT_EQ(Setting("StartupDevice"), "HDMI Output");
    Choose(form, "USB Headset");
    EXPECT_EQ(form.SetDefaultOnStartupCheck.Value(), 0);

    // Clearing the box keeps the stored card; ticking it again stores the card shown.
    Choose(form, "HDMI Output");
    UserDoes(*app_, [&form] { form.SetDefaultOnStartupCheck.UserToggle(); });
    EXPECT_EQ(Setting("SetDefaultOnStartupCheck"), "0");
    EXPECT_EQ(Setting("StartupDevice"), "HDMI Output");

    // The shut-down card is chosen apart from the start-up card.
    UserDoes(*app_, [&form] { form.SetDefaultOnShutdownCheck.UserToggle(); });
    EXPECT_EQ(Setting("SetDefaultOnShutdownCheck"), "1");
    EXPECT_EQ(Setting("ShutdownDevice"), "HDMI Output");
    EXPECT_EQ(Setting("StartupDevice"), "HDMI Output");
}

TEST_F(SettingsPage, AutostartWritesTheQuotedProgramPathAndRemovesIt) {
    Form1& form = Start();
    EXPECT_EQ(form.AutoRunCheck.Value(), 0);
    UserDoes(*app_, [&form] { form.AutoRunCheck.UserToggle(); });
    EXPECT_EQ(desktop.String(kRun, "Varlindo"), "\"C:\\Program Files\\Varlindo\\Varlindo.exe\"");
    UserDoes(*app_, [&form] { form.AutoRunCheck.UserToggle(); });
    EXPECT_FALSE(desktop.String(kRun, "Varlindo").has_value());
}

TEST_F(SettingsPage, AStoredAutostartEntryFollowsTheProgramToItsFolder) {
    desktop.SetString(kRun, "Varlindo", "C:\\Old\\Varlindo.exe");
    App& app = StartApp();
    Form1& form = app.MainForm();
    EXPECT_EQ(form.AutoRunCheck.Value(), 1);
    EXPECT_EQ(desktop.String(kRun, "Varlindo"), "\"C:\\Program Files\\Varlindo\\Varlindo.exe\"");

    // A folder without blanks is written unquoted, with one separator.
    Sim().files.program_folder = "C:\\Tools\\";
    UserDoes(app, [&form] { form.AutoRunCheck.UserToggle(); });
    UserDoes(app, [&form] { form.AutoRunCheck.UserToggle(); });
    EXPECT_EQ(desktop.String(kRun, "Varlindo"), "C:\\Tools\\Varlindo.exe");
}

TEST_F(SettingsPage, HotkeysBoxStoresItsStateAndTheMenuFollows) {
    Form1& form = Start();
    UserDoes(*app_, [&form] { form.HotkeysCheck.UserToggle(); });
    EXPECT_EQ(Setting("EnableHotkeys"), "1");
    EXPECT_NE(form.MenuString().find("Hotkeys [CHECKED]"), std::string::npos);
    UserDoes(*app_, [&form] { form.HotkeysCheck.UserToggle(); });
    EXPECT_EQ(Setting("EnableHotkeys"), "0");
    EXPECT_EQ(form.MenuString().find("Hotkeys [CHECKED]"), std::string::npos);
}

TEST_F(SettingsPage, PlaybackAndRecordBoxesAreStored) {
    Form1& form = Start();
    UserDoes(*app_, [&form] { form.RecordCheck.UserToggle(); });
    EXPECT_EQ(Setting("RecordCheck"), "0");
    UserDoes(*app_, [&form] { form.PlayCheck.UserToggle(); });
    EXPECT_EQ(Setting("PlaybackCheck"), "0");
}

TEST_F(SettingsPage, TheHomepageOpensInTheBrowser) {
    desktop.associations[".html"] = "C:\\Browser\\browser.exe";
    Form1& form = Start();
    UserDoes(*app_, [&form] { form.WebPage.RaiseClick(); });
    ASSERT_EQ(Sim().shell.started.size(), 1u);
    EXPECT_TRUE(Sim().shell.started[0].rfind("\"C:\\Browser\\browser.exe\" https://", 0) == 0) << Sim().shell.started[0];
}

TEST_F(SettingsPage, EscAndDoubleClicksHideTheWindowAndTheSurfaceDragsIt) {
    Form1& form = Start();
    for (auto hide : std::vector<std::function<void()>>{
             [&form] { int esc = 27; form.KeyPress(esc); },
             [&form] { form.DblClick(); },
             [&form] { form.DeviceFrame.RaiseDblClick(); }}) {
        app_->ShowMainWindow();
        ASSERT_TRUE(form.Visible());
        UserDoes(*app_, hide);
        EXPECT_FALSE(form.Visible());
    }
    // The drop hint darkens under the mouse and fades over the rest of the device page.
    UserDoes(*app_, [&form] { form.Label2.RaiseMouseMove({}); });
    EXPECT_EQ(form.Label2.ForeColor(), 0x808080u);
    UserDoes(*app_, [&form] { form.DeviceFrame.RaiseMouseMove({}); });
    EXPECT_EQ(form.Label2.ForeColor(), 0xE0E0E0u);

    Sim().forms.log.clear();
    ui::MouseArgs right{2, 0, 100, 100};
    for (ui::Control* c : std::vector<ui::Control*>{&form.CardLabel, &form.Label2, &form.DragDropField, &form.DeviceIcon})
        UserDoes(*app_, [c, right] { c->RaiseMouseDown(right); });
    UserDoes(*app_, [&form, right] { form.MouseDown(right); });
    EXPECT_EQ(Sim().forms.log, std::vector<std::string>(5, "drag Form1"));
}

TEST_F(SettingsPage, GermanCaptionsNameOnlyControlsOfTheWindow) {
    Form1& form = Start(Language::German);
    EXPECT_EQ(ApplyCaptions(form, kForm1Captions, Language::German), 0);
    EXPECT_EQ(form.StartupBtn.Caption(), "Einstellungen");
    EXPECT_EQ(form.NiknameLabel.Caption(), "Anzeigename:");
    EXPECT_EQ(form.Label2.Caption(),
              "Sie können Programme direkt per Drag && Drop\rauf diesen Dialog ziehen um den Verküpfungs-\r"
              "Assistenten zu starten.");
    EXPECT_EQ(form.WebPage.Caption(), "Homepage");
}

}  // namespace
}  // namespace varlindo::test
