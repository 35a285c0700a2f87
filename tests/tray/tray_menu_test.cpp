// The tray menu of the main window: the menu string it builds, and what a picked entry does.

#include <gtest/gtest.h>

#include "support/sim_fixture.h"
#include "tray/dynamic_popup_menu.h"
#include "tray/system_tray.h"

namespace varlindo::test {
namespace {

constexpr const char* kFixed =
    "Homepage ..., -,Shortcut wizzard ..., -,Settings ..., Hotkeys, -, Windows audio settings ..., Audio "
    "mixer ...,Reload list of Soundcards , -, Set volume ..., -,";

class TrayMenu : public SimTest {
protected:
    App& Start(Language language = Language::English) {
        app_ = &StartApp(language);
        return *app_;
    }
    Form1& Form() { return app_->MainForm(); }
    // The entries of the menu the program hands the tray, as a user sees them.
    std::vector<std::string> Entries() {
        std::vector<std::string> out;
        for (const MenuItem& item : DynamicPopupMenu::Parse(app_->Tray().MenuString()))
            out.push_back(item.separator ? "-" : item.text + (item.checked ? " [x]" : ""));
        return out;
    }
    // The user clicks the tray icon and picks the entry with this text.
    void Pick(const std::string& text) {
        Sim().tray.pick = [text](const std::vector<MenuItem>& items) {
            for (const MenuItem& item : items)
                if (!item.separator && item.text == text) return item.id;
            ADD_FAILURE() << "no entry " << text;
            return 0;
        };
        app_->TrayMouse(SystemTray::RightUp);
    }
    void Alias(const std::string& device, const std::string& alias) {
        desktop.SetString(CardSection(device), "AliasName", alias);
    }
    App* app_ = nullptr;
};

TEST_F(TrayMenu, EveryCardWithItsPositionNicknameAndDefaultMark) {
    Alias("USB Headset", "Headset");
    Start();
    EXPECT_EQ(Form().MenuString(), std::string(kFixed) +
                                       " 1: Speakers (Realtek HD Audio)    (Play + Rec)[CHECKED],  2: Headset,  3: HDMI "
                                       "Output, -, Exit");
    EXPECT_EQ(app_->Tray().MenuString(), Form().MenuString());
    EXPECT_EQ(Entries(), (std::vector<std::string>{
                             "Homepage ...", "-", "Shortcut wizzard ...", "-", "Settings ...", "Hotkeys", "-",
                             "Windows audio settings ...", "Audio mixer ...", "Reload list of Soundcards", "-",
                             "Set volume ...", "-", "1: Speakers (Realtek HD Audio)    (Play + Rec) [x]",
                             "2: Headset", "3: HDMI Output", "-", "Exit"}));
    EXPECT_TRUE(Form().TrayIconActive);
}

TEST_F(TrayMenu, WithoutCardsOnlyTheCommands) {
    desktop.cards.clear();
    Start();
    EXPECT_EQ(Form().MenuString(), std::string(kFixed) + "-, Exit");
}

TEST_F(TrayMenu, PlaybackAndRecordDefaultsAreMarkedApart) {
    desktop.SetString(kMapper, "Playback", "USB Headset");
    desktop.SetString(kMapper, "Record", " HDMI Output ");
    Start();
    const std::string menu = Form().MenuString();
    EXPECT_NE(menu.find(" 2: USB Headset   (Playback)[CHECKED], "), std::string::npos) << menu;
    EXPECT_NE(menu.find(" 3: HDMI Output   (Record)[CHECKED], "), std::string::npos) << menu;
    EXPECT_NE(menu.find(" 1: Speakers (Realtek HD Audio), "), std::string::npos) << menu;
}

TEST_F(TrayMenu, HotkeyHintsWhileHotkeysAreOnTheHigherKeyWins) {
    desktop.SetString(kSettings, "EnableHotkeys", "1");
    const std::string hotkeys = "HKCU\\Software\\VB and VBA Program Settings\\Varlindo\\Hotkeys";
    desktop.SetString(hotkeys, "112", "Speakers (Realtek HD Audio)");
    desktop.SetString(hotkeys, "114", "USB Headset");
    desktop.SetString(hotkeys, "120", "USB Headset");
    Start();
    const std::string menu = Form().MenuString();
    EXPECT_NE(menu.find("Hotkeys [CHECKED], -, "), std::string::npos);
    EXPECT_NE(menu.find(" 1: Speakers (Realtek HD Audio)  (Strg + F1)    (Play + Rec)[CHECKED], "), std::string::npos)
        << menu;
    EXPECT_NE(menu.find(" 2: USB Headset  (Strg + F9), "), std::string::npos) << menu;
    EXPECT_NE(menu.find(" 3: HDMI Output, "), std::string::npos) << menu;

    // Switched off, the hints go.
    Pick("Hotkeys");
    EXPECT_EQ(Form().MenuString().find("(Strg +"), std::string::npos);
}

TEST_F(TrayMenu, GermanMenu) {
    Start(Language::German);
    EXPECT_EQ(Form().MenuString(),
              "Homepage ..., -,Verknüpfungs Assistent ..., -,Einstellungen ..., Hotkeys, -,Windows Audio "
              "Einstellungen ..., Audio Mixer ..., Soundkarten neu einlesen, -, Lautstärke einstellen ..., -, 1: "
              "Speakers (Realtek HD Audio)    (Wiedergabe + Aufnahme)[CHECKED],  2: USB Headset,  3: HDMI Output, -, "
              "Beenden");
}

TEST_F(TrayMenu, PickingACardSwitchesBeepsAndRenewsMenuAndTooltip) {
    Start();
    Sim().ui.beeps.clear();
    desktop.device_notices.clear();
    Pick("2: USB Headset");
    EXPECT_EQ(Mapper("Playback"), "USB Headset");
    EXPECT_EQ(Mapper("Record"), "USB Headset");
    EXPECT_EQ(Sim().ui.beeps, std::vector<unsigned>{48});
    EXPECT_EQ(Sim().tray.tip, "USB Headset");
    EXPECT_NE(Form().MenuString().find(" 2: USB Headset    (Play + Rec)[CHECKED]"), std::string::npos);
    EXPECT_EQ(desktop.device_notices.size(), 1u);  // the other instances hear of it
}

TEST_F(TrayMenu, TheMenuFollowsSwitchesFromTheWindowAndFromOutside) {
    Start();
    Form1& form = Form();
    UserDoes(*app_, [&form] {
        form.NiknameList.UserSelect(2);
        form.SetBtn.RaiseClick();
    });
    EXPECT_NE(Entries()[15].find("(Play + Rec) [x]"), std::string::npos) << Entries()[15];

    // Another program changes the default: the minute's check finds it.
    desktop.SetString(kMapper, "Playback", "USB Headset");
    UserDoes(*app_, [&form] { form.Command1.RaiseClick(); });  // back to the tray
    for (int tick = 0; tick < 6; ++tick) UserDoes(*app_, [&form] { form.RefreshTimer.RaiseTick(); });
    EXPECT_EQ(Entries()[14], "2: USB Headset   (Playback) [x]");
    EXPECT_EQ(Sim().tray.tip, "USB Headset");

    // Another instance switches and says so.
    desktop.SetString(kMapper, "Playback", "Speakers (Realtek HD Audio)");
    desktop.SetString(kMapper, "Record", "Speakers (Realtek HD Audio)");
    app_->DeviceChanged(form.StartStamp + 1);
    EXPECT_EQ(Entries()[13], "1: Speakers (Realtek HD Audio)    (Play + Rec) [x]");
    EXPECT_EQ(Sim().tray.tip, "Speakers (Realtek HD Audio)");
}

TEST_F(TrayMenu, ACardIsFoundByItsOwnEntryWhateverItsNickname) {
    // One nickname is part of another, one is a number that another entry shows, one holds
    // a command's text.
    Alias("Speakers (Realtek HD Audio)", "Headset");
    Alias("USB Headset", "Hotkeys and 1");
    Alias("HDMI Output", "USB Headset");
    Start();
    Pick("3: USB Headset");
    EXPECT_EQ(Mapper("Playback"), "HDMI Output");
    Pick("2: Hotkeys and 1");
    EXPECT_EQ(Mapper("Playback"), "USB Headset");
    EXPECT_EQ(desktop.String(kSettings, "EnableHotkeys"), std::nullopt);  // no Hotkeys command ran
    Pick("1: Headset");
    EXPECT_EQ(Mapper("Playback"), "Speakers (Realtek HD Audio)");
}

TEST_F(TrayMenu, ACommaInANicknameKeepsTheEntryWhole) {
    Alias("USB Headset", "Headset, blue");
    Start();
    const auto entries = Entries();
    EXPECT_EQ(entries.size(), 18u);
    EXPECT_EQ(entries[14], "2: Headset\xE2\x80\x9A blue");
    Pick(entries[14]);
    EXPECT_EQ(Mapper("Playback"), "USB Headset");
}

TEST_F(TrayMenu, AnEntryWithoutItsPositionIsFoundByName) {
    Alias("USB Headset", "");  // stored empty: the device name stands in
    Start();
    Form1& form = Form();
    UserDoes(*app_, [&form] { form.OnTrayMenu("HDMI Output"); });
    EXPECT_EQ(Mapper("Playback"), "HDMI Output");
    // An entry that names no card, and one whose position does not fit its name, switch
    // nothing wrongly: the position is only trusted with the card's name.
    UserDoes(*app_, [&form] { form.OnTrayMenu("Something else"); });
    EXPECT_EQ(Mapper("Playback"), "HDMI Output");
    UserDoes(*app_, [&form] { form.OnTrayMenu("1: USB Headset"); });
    EXPECT_EQ(Mapper("Playback"), "USB Headset");
}

TEST_F(TrayMenu, CommandsInBothLanguages) {
    desktop.associations[".html"] = "C:\\Browser\\browser.exe";
    Start();
    Form1& form = Form();
    for (const char* audio : {"Windows audio settings ...", "Windows Audio Einstellungen ..."})
        UserDoes(*app_, [&form, audio] { form.OnTrayMenu(audio); });
    EXPECT_EQ(Sim().shell.started,
              std::vector<std::string>(2, "rundll32.exe shell32.dll,Control_RunDLL mmsys.cpl,,0"));
    Pick("Homepage ...");
    EXPECT_EQ(Sim().shell.started.size(), 3u);

    for (const char* settings : {"Settings ...", "Einstellungen ..."}) {
        UserDoes(*app_, [&form] { form.SetWindowState(ui::WindowState::Minimized); });
        ASSERT_FALSE(form.Visible());
        UserDoes(*app_, [&form, settings] { form.OnTrayMenu(settings); });
        EXPECT_TRUE(form.Visible());
        EXPECT_EQ(form.GetWindowState(), ui::WindowState::Normal);
    }
    // The commands that open a window switch nothing, in either language (and never fall
    // through to the card search); the windows only store their pins.
    desktop.writes.clear();
    for (const char* window : {"Shortcut wizzard ...", "Verknüpfungs Assistent ...", "Set volume ...",
                               "Lautstärke einstellen ...", "Audio mixer ...", "Audio Mixer ..."})
        UserDoes(*app_, [&form, window] { form.OnTrayMenu(window); });
    for (const std::string& write : desktop.writes) EXPECT_NE(write.find("alwaysontop\\OnTop"), std::string::npos) << write;
    EXPECT_EQ(Mapper("Playback"), "Speakers (Realtek HD Audio)");

    // Any other command hides the shown window first.
    UserDoes(*app_, [&form] { form.OnTrayMenu("Current: USB Headset"); });
    EXPECT_FALSE(form.Visible());
    EXPECT_EQ(Mapper("Playback"), "Speakers (Realtek HD Audio)");  // "Current:" does nothing

    // Reload finds a card that came since, and beeps.
    desktop.AddCard("Bluetooth Speaker");
    Sim().ui.beeps.clear();
    UserDoes(*app_, [&form] { form.OnTrayMenu("Soundkarten neu einlesen"); });
    EXPECT_EQ(form.DeviceList.ListCount(), 4);
    EXPECT_EQ(Entries()[16], "4: Bluetooth Speaker");
    EXPECT_EQ(Sim().ui.beeps, std::vector<unsigned>{48});

    // Hotkeys flips the box and back; each time the menu follows and the sound plays.
    Pick("Hotkeys");
    EXPECT_EQ(form.HotkeysCheck.Value(), 1);
    EXPECT_EQ(Entries()[5], "Hotkeys [x]");
    Pick("Hotkeys");
    EXPECT_EQ(form.HotkeysCheck.Value(), 0);
    EXPECT_EQ(Entries()[5], "Hotkeys");
    EXPECT_EQ(Sim().ui.beeps.size(), 3u);
}

TEST_F(TrayMenu, ExitEndsLikeTheExitButtonWithTheShutdownCard) {
    desktop.SetString(kSettings, "SetDefaultOnShutdownCheck", "1");
    desktop.SetString(kSettings, "ShutdownDevice", "HDMI Output");
    Start(Language::German);
    Sim().ui.answer = [](const sim::SimUi::Box& box) {
        EXPECT_EQ(box.text, " Varlindo beenden?");
        return mb::AnswerYes;
    };
    EXPECT_THROW(Pick("Beenden"), sim::ProgramEnded);
    EXPECT_EQ(Mapper("Playback"), "HDMI Output");
    EXPECT_FALSE(Sim().tray.icon);
}

}  // namespace
}  // namespace varlindo::test
