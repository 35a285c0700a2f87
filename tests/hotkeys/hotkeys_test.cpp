// Hotkeys: the stored assignments, the dialog that edits them, and Ctrl+F-keys that switch.

#include <gtest/gtest.h>

#include "hotkeys/short_cut_fenster.h"
#include "support/sim_fixture.h"

namespace varlindo::test {
namespace {

constexpr const char* kHotkeys = "HKCU\\Software\\VB and VBA Program Settings\\Varlindo\\Hotkeys";
constexpr int F1 = 112, F2 = 113, F3 = 114, F5 = 116;

class HotkeyTest : public SimTest {
protected:
    void Assign(int key, const std::string& device) { desktop.SetString(kHotkeys, std::to_string(key), device); }
    std::string Stored(int key) const {
        return desktop.String(kHotkeys, std::to_string(key)).value_or("<missing>");
    }
    App& StartEnabled() {
        desktop.SetString(kSettings, "EnableHotkeys", "1");
        return StartApp();
    }
    // Which program holds Ctrl+key (its id), or 0.
    int Holder(int key) const {
        auto it = desktop.hotkeys.find(key);
        return it == desktop.hotkeys.end() ? 0 : it->second.first;
    }
    // The user works the dialog while it is shown modally.
    void InDialog(std::function<void(ShortCutFenster&)> script, size_t program = 0) {
        Sim(program).forms.modal["ShortCutFenster"] = [script](ui::Form& form) {
            script(static_cast<ShortCutFenster&>(form));
        };
    }
    void ChooseKey(ShortCutFenster& dialog, const std::string& name) {
        for (int i = 0; i < dialog.HotKeyCombo.ListCount(); ++i)
            if (dialog.HotKeyCombo.List(i) == name) dialog.HotKeyCombo.UserSelect(i);
    }
};

TEST(HotkeyNames, BothWays) {
    EXPECT_EQ(Form1::ShortcutMappingGetString(112), "F1");
    EXPECT_EQ(Form1::ShortcutMappingGetString(123), "F12");
    EXPECT_EQ(Form1::ShortcutMappingGetString(110), "");
    EXPECT_EQ(Form1::ShortcutMappingGetValue("F2"), 113);
    EXPECT_EQ(Form1::ShortcutMappingGetValue(" F12 "), 123);
    EXPECT_EQ(Form1::ShortcutMappingGetValue(""), 0);
    EXPECT_EQ(Form1::ShortcutMappingGetValue("Fx"), 0);
}

TEST_F(HotkeyTest, EnabledAssignmentsAreRegisteredAndAKeySwitchesAndBeeps) {
    Assign(F2, "USB Headset");
    Assign(F3, "Gone Card");  // not plugged in: kept, not registered
    App& app = StartEnabled();
    Form1& form = app.MainForm();
    EXPECT_TRUE(form.HotkeysRegistered);
    EXPECT_EQ(Holder(F2), Sim().Id());
    EXPECT_EQ(Holder(F3), 0);
    EXPECT_EQ(Stored(F3), "Gone Card");
    EXPECT_EQ(app.Keys().SetNumber(), 1);
    EXPECT_EQ(desktop.atoms.count("19111"), 1u);

    Sim().ui.beeps.clear();
    EXPECT_TRUE(desktop.PressHotkey(F2));
    EXPECT_EQ(Mapper("Playback"), "USB Headset");
    EXPECT_EQ(Sim().ui.beeps, std::vector<unsigned>{48});
    EXPECT_EQ(Sim().tray.tip, "USB Headset");
    EXPECT_NE(form.MenuString().find(" 2: USB Headset  (Strg + F2)    (Play + Rec)[CHECKED]"), std::string::npos);
    // The key of the card that is already the default switches again, with the sound.
    EXPECT_TRUE(desktop.PressHotkey(F2));
    EXPECT_EQ(Sim().ui.beeps.size(), 2u);
}

TEST_F(HotkeyTest, EveryKeyThatWasRegisteredActsWhenAnotherProgramHoldsTheFirst) {
    desktop.hotkeys[F1] = {99, 1};  // another program holds Ctrl+F1
    Assign(F1, "Speakers (Realtek HD Audio)");
    Assign(F2, "HDMI Output");
    App& app = StartEnabled();
    EXPECT_EQ(Holder(F1), 99);
    EXPECT_EQ(Holder(F2), Sim().Id());
    EXPECT_EQ(app.Keys().RegisteredCount(), 2);
    // Both rows have their atom ("191" + set + row); the refused key's row keeps its own.
    EXPECT_EQ(desktop.atoms.count("19111"), 1u);
    EXPECT_EQ(desktop.atoms.count("19112"), 1u);
    desktop.PressHotkey(F2);
    EXPECT_EQ(Mapper("Playback"), "HDMI Output");
    // Freed, every atom goes, and the other program keeps its key.
    app.Keys().RemoveAllHotkeys();
    EXPECT_TRUE(desktop.atoms.empty());
    EXPECT_EQ(Holder(F1), 99);
}

TEST_F(HotkeyTest, OffFreesEveryKeyAndOnRegistersThemAnewInANewSet) {
    Assign(F1, "Speakers (Realtek HD Audio)");
    Assign(F2, "HDMI Output");
    App& app = StartEnabled();
    Form1& form = app.MainForm();
    UserDoes(app, [&form] { form.HotkeysCheck.UserToggle(); });
    EXPECT_TRUE(desktop.hotkeys.empty());
    EXPECT_TRUE(desktop.atoms.empty());
    EXPECT_FALSE(form.HotkeysRegistered);
    EXPECT_FALSE(desktop.PressHotkey(F2));
    UserDoes(app, [&form] { form.HotkeysCheck.UserToggle(); });
    EXPECT_EQ(app.Keys().SetNumber(), 2);
    EXPECT_EQ(desktop.atoms.count("19121"), 1u);
    EXPECT_EQ(desktop.atoms.count("19122"), 1u);
    EXPECT_TRUE(desktop.PressHotkey(F2));
    EXPECT_EQ(Mapper("Playback"), "HDMI Output");

    // At exit the keys are freed.
    Sim().ui.answer = [](const sim::SimUi::Box&) { return mb::AnswerYes; };
    EXPECT_THROW(UserDoes(app, [&form] { form.ExitBtn.RaiseClick(); }), sim::ProgramEnded);
    EXPECT_TRUE(desktop.hotkeys.empty());
    EXPECT_TRUE(desktop.atoms.empty());
}

TEST_F(HotkeyTest, AStoredNameIsTheCardOfThatVeryNameBeforeOneThatHoldsIt) {
    desktop.cards.clear();
    desktop.AddCard("Speakers (USB Audio)");
    desktop.AddCard("USB Audio");
    Assign(F5, "USB Audio");
    desktop.SetString(kSettings, "EnableHotkeys", "1");
    App& app = StartApp();
    EXPECT_EQ(app.MainForm().GetRegisterdSoundcardHotkey(F5), "USB Audio");
    desktop.PressHotkey(F5);
    EXPECT_EQ(Mapper("Playback"), "USB Audio");
    EXPECT_NE(app.MainForm().MenuString().find(" 2: USB Audio  (Strg + F5)"), std::string::npos);
    // A name cut short by an older build still finds the card that holds it.
    Assign(F1, "Speakers (USB");
    EXPECT_EQ(app.MainForm().GetRegisterdSoundcardHotkey(F1), "Speakers (USB Audio)");
}

TEST_F(HotkeyTest, InstancesHearEachOtherWithHotkeysOff) {
    App& first = StartApp();  // hotkeys off: nothing registered, ever
    next_start_time.second = 13;
    desktop.SetString(kSettings, "EnableHotkeys", "1");
    Assign(F3, "HDMI Output");
    App& second = StartWith("D=nothing-like-it");  // its command line did nothing: it stays
    ASSERT_EQ(Sim(1).ui.ended, 0);
    ASSERT_EQ(Holder(F3), Sim(1).Id());
    desktop.PressHotkey(F3);
    EXPECT_EQ(Mapper("Playback"), "HDMI Output");
    // The first reloaded its list and menu.
    EXPECT_EQ(first.MainForm().GetDefaultDevice(), "HDMI Output");
    EXPECT_NE(first.MainForm().MenuString().find(" 3: HDMI Output    (Play + Rec)[CHECKED]"), std::string::npos);
    // And after the second switched its keys off, it still hears the first.
    Form1& form2 = second.MainForm();
    UserDoes(second, [&form2] { form2.HotkeysCheck.UserToggle(); });
    Form1& form1 = first.MainForm();
    UserDoes(first, [&form1] {
        form1.NiknameList.UserSelect(1);
        form1.SetBtn.RaiseClick();
    });
    EXPECT_EQ(form2.GetDefaultDevice(), "USB Headset");
}

TEST_F(HotkeyTest, TheDialogMovesAKeyFreesAnOldOneAndTheKeysWorkWhenItCloses) {
    Assign(F1, "Speakers (Realtek HD Audio)");
    Assign(F2, "USB Headset");
    App& app = StartEnabled();
    Form1& form = app.MainForm();
    UserDoes(app, [&form] { form.NiknameList.UserSelect(2); });  // HDMI Output
    InDialog([this](ShortCutFenster& d) {
        EXPECT_EQ(d.Caption(), "Hotkeys configuration ..");
        EXPECT_EQ(d.List1.Items(), (std::vector<std::string>{"(Strg + F1)   Speakers (Realtek HD Audio)",
                                                             "(Strg + F2)   USB Headset", "HDMI Output"}));
        EXPECT_EQ(d.List1.ListIndex(), 2);
        EXPECT_EQ(d.Label1.Caption(), "HDMI Output:");
        EXPECT_EQ(d.HotKeyCombo.Text(), "");
        EXPECT_EQ(d.HotKeyCombo.RaiseKeyPress('F'), 0);  // typing does nothing
        // F1 moves from the speakers to HDMI.
        ChooseKey(d, "F1");
        d.SpeichernBtn.RaiseClick();
        EXPECT_EQ(d.List1.Items()[0], "Speakers (Realtek HD Audio)");
        EXPECT_EQ(d.List1.Items()[2], "(Strg + F1)   HDMI Output");
        // The headset's F2 is freed when it gets F5.
        d.List1.UserSelect(1);
        EXPECT_EQ(d.HotKeyCombo.Text(), "F2");
        ChooseKey(d, "F5");
        d.SpeichernBtn.RaiseClick();
        EXPECT_EQ(Stored(F2), "");
        EXPECT_EQ(Stored(F5), "USB Headset");
        EXPECT_EQ(d.Label1.Caption(), "USB Headset");
        int esc = 27;
        d.KeyPress(esc);
    });
    UserDoes(app, [&form] { form.ConfigureHotKeysBtn.RaiseClick(); });
    EXPECT_EQ(Sim().forms.modal_left_open, 0);
    EXPECT_FALSE(app.IsLoaded<ShortCutFenster>());
    EXPECT_TRUE(form.Visible());
    EXPECT_EQ(Stored(F1), "HDMI Output");
    EXPECT_EQ(Holder(F2), 0);
    EXPECT_EQ(Holder(F5), Sim().Id());
    desktop.PressHotkey(F1);
    EXPECT_EQ(Mapper("Playback"), "HDMI Output");
    desktop.PressHotkey(F5);
    EXPECT_EQ(Mapper("Playback"), "USB Headset");
}

TEST_F(HotkeyTest, DeleteFreesTheKeyForGoodAndAnEmptyBoxStoresKeyZero) {
    Assign(F2, "USB Headset");
    App& app = StartEnabled();
    Form1& form = app.MainForm();
    UserDoes(app, [&form] { form.NiknameList.UserSelect(1); });
    InDialog([](ShortCutFenster& d) {
        d.LoeschenBtn.RaiseClick();
        d.CancelButton.RaiseClick();
    });
    UserDoes(app, [&form] { form.ConfigureHotKeysBtn.RaiseClick(); });
    EXPECT_EQ(Stored(F2), "");
    EXPECT_EQ(Sim().ui.beeps.back(), 0u);
    EXPECT_EQ(Holder(F2), 0);

    // Opened again, the deleted key is not offered; saving the empty box stores key "0".
    InDialog([this](ShortCutFenster& d) {
        EXPECT_EQ(d.HotKeyCombo.Text(), "");
        d.SpeichernBtn.RaiseClick();
        EXPECT_EQ(d.List1.List(1), "USB Headset");
        const size_t beeps = Sim().ui.beeps.size();
        d.LoeschenBtn.RaiseClick();  // on a card without a key: a beep only
        EXPECT_EQ(Sim().ui.beeps.size(), beeps + 1);
        EXPECT_EQ(Stored(0), "USB Headset");
        d.CancelButton.RaiseClick();
    });
    UserDoes(app, [&form] { form.ConfigureHotKeysBtn.RaiseClick(); });
    EXPECT_EQ(Stored(F2), "");
    EXPECT_EQ(Stored(0), "USB Headset");
    EXPECT_TRUE(desktop.hotkeys.empty());  // key "0" is never registered
}

TEST_F(HotkeyTest, AKeyOfAFreedSetSwitchesNothingAndExitFreesKeysTheBoxNoLongerShows) {
    Assign(F2, "USB Headset");
    desktop.SetString(kHotkeys, "0", "HDMI Output");  // saved once with an empty key box
    App& app = StartEnabled();
    Form1& form = app.MainForm();
    const int stale = desktop.hotkeys.at(F2).second;
    app.Keys().RemoveAllHotkeys();
    app.HotkeyPressed(stale);  // still queued from before
    EXPECT_EQ(Mapper("Playback"), "Speakers (Realtek HD Audio)");

    // Keys held while the box shows off (a click during a registration could once leave
    // them so) are freed at exit all the same.
    UserDoes(app, [&form] { form.HotkeysCheck.UserToggle(); });
    ASSERT_EQ(form.HotkeysCheck.Value(), 0);
    form.RegisterStoredHotkeys();
    ASSERT_FALSE(desktop.hotkeys.empty());
    Sim().ui.answer = [](const sim::SimUi::Box&) { return mb::AnswerYes; };
    EXPECT_THROW(UserDoes(app, [&form] { form.ExitBtn.RaiseClick(); }), sim::ProgramEnded);
    EXPECT_TRUE(desktop.hotkeys.empty());
    EXPECT_TRUE(desktop.atoms.empty());
}

TEST_F(HotkeyTest, TheDialogInGerman) {
    Assign(F2, "USB Headset");
    StartApp(Language::German);
    Form1& form = apps[0]->MainForm();
    bool shown = false;
    InDialog([&shown](ShortCutFenster& d) {
        shown = true;
        EXPECT_EQ(d.Caption(), "Hotkeys definieren ..");
        EXPECT_EQ(d.SpeichernBtn.Caption(), "&Speichern");
        EXPECT_EQ(d.CancelButton.Caption(), "S&chließen");
        EXPECT_EQ(d.LoeschenBtn.Caption(), "&Löschen");
        EXPECT_EQ(d.InfoTxt.Caption(), "Zum Übernehmen der Änderungen bitte Programm neu starten!");
        EXPECT_EQ(d.Label2.Caption(), "Strg +");
        d.CancelButton.RaiseClick();
    });
    UserDoes(*apps[0], [&form] { form.ConfigureHotKeysBtn.RaiseClick(); });
    EXPECT_TRUE(shown);
    EXPECT_EQ(Sim().forms.modal_left_open, 0);
    // Hotkeys are off: closing the dialog registers nothing.
    EXPECT_TRUE(desktop.hotkeys.empty());
}

}  // namespace
}  // namespace varlindo::test
