// The shortcut wizard: the command line it writes, the names it proposes and saves under,
// the ways into it, and what the user is told when a shortcut cannot be saved.

#include <gtest/gtest.h>

#include <algorithm>

#include "base/path_text.h"
#include "base/text.h"
#include "core/command_line.h"
#include "launch/shortcut_wizzard.h"
#include "platform/sim/sim_paths.h"
#include "support/sim_fixture.h"
#include "util/files.h"

namespace varlindo::test {
namespace {

constexpr const char* kDesktop = "C:\\Users\\test\\Desktop";
constexpr const char* kPlayer = "C:\\My Games\\Player.exe";

class WizardTest : public SimTest {
protected:
    WizardTest() {
        desktop.SetString(CardSection("USB Headset"), "AliasName", "Headset");
        desktop.AddFile(kPlayer);
        desktop.AddFolder(kDesktop);
        desktop.short_paths["c:\\program files\\varlindo\\varlindo.exe"] = "C:\\PROGRA~1\\Varlindo\\Varlindo.exe";
    }
    Form1& Start(Language language = Language::English) {
        app_ = &StartApp(language);
        return app_->MainForm();
    }
    ShortcutWizzard& Wizard() { return app_->Form<ShortcutWizzard>(); }
    // The chooser picks this folder when it is asked for one ("" cancels it).
    void ChooserPicks(const std::string& folder) {
        Sim().forms.modal["Files"] = [this, folder](ui::Form& form) {
            auto& files = static_cast<Files&>(form);
            chooser_captions.push_back(files.Caption());
            if (folder.empty()) {
                files.AbbruchBtn2.RaiseClick();
                return;
            }
            files.Dir1.SetPath(folder);
            files.OkBtn2.RaiseClick();
        };
    }
    void Do(const std::function<void()>& action) { UserDoes(*app_, action); }
    void FillIn(ShortcutWizzard& w, int card, bool volume, const std::string& program, const std::string& parameters) {
        Do([&] {
            w.ShortcutDeviceCombo.UserSelect(card);
            w.SetVolumeCheck.SetValue(volume ? 1 : 0);
            w.RunProgram.SetValue(program.empty() ? 0 : 1);
            w.ProgrammText.UserEdit(program);
            w.ParameterText.UserEdit(parameters);
        });
    }
    const ShellLink* Link(const std::string& path) {
        auto it = desktop.shortcuts.find(sim::NormalPath(path));
        return it == desktop.shortcuts.end() ? nullptr : &it->second;
    }

    App* app_ = nullptr;
    std::vector<std::string> chooser_captions;
};

TEST_F(WizardTest, TheCommandLineForEveryCombinationOfBoxesReadsBackAsWritten) {
    Start();
    ShortcutWizzard& w = Wizard();
    Do([&] { w.ShortcutVolumeCombo.UserSelect(20); });  // 80%
    struct Case {
        bool volume;
        std::string program, parameters, expected;
    };
    const Case cases[] = {
        {false, "", "", "D=USB Headset"},
        {true, "", "", "D=USB Headset V=80"},
        // The parameters come last: "-width=1920" would otherwise swallow a key behind it.
        {false, kPlayer, "-width=1920 -v=3", "D=USB Headset R=\"C:\\My Games\\Player.exe\" P=-width=1920 -v=3"},
        {true, kPlayer, "  -fullscreen ", "D=USB Headset V=80 R=\"C:\\My Games\\Player.exe\" P=-fullscreen"},
        {true, "C:\\Games\\run.exe", "   ", "D=USB Headset V=80 R=C:\\Games\\run.exe"},
        {true, "   ", "-x", "D=USB Headset V=80"},  // no program: no parameters either
    };
    for (const Case& c : cases) {
        FillIn(w, 1, c.volume, c.program, c.parameters);
        const std::string line = w.ShortcutArguments();
        EXPECT_EQ(line, c.expected);
        // What the program reads from that line is what the wizard was given.
        const CommandLineKeys keys = ParseCommandLine(line);
        EXPECT_EQ(keys.device, "USB Headset");
        EXPECT_EQ(keys.volume.has_value(), c.volume);
        const std::string program = text::Trim(c.program);
        EXPECT_EQ(StripQuotes(keys.program.value_or("")), program) << line;
        if (!program.empty() && !text::Trim(c.parameters).empty()) EXPECT_EQ(keys.parameters, text::Trim(c.parameters));
        EXPECT_FALSE(keys.help);
    }
    // The program box unticked: the typed program is not written.
    Do([&] { w.RunProgram.SetValue(0); });
    EXPECT_EQ(w.ShortcutArguments(), "D=USB Headset V=80");
}

TEST_F(WizardTest, ListsComeFromTheMainWindowWithoutZeroPercent) {
    Form1& form = Start();
    ShortcutWizzard& w = Wizard();
    EXPECT_EQ(w.ShortcutDeviceCombo.Items(), form.DeviceList.Items());
    EXPECT_EQ(w.ShortcutDeviceCombo.Text(), "Speakers (Realtek HD Audio)");
    // 0 % on the command line means "leave the volume alone": the smallest entry is 1 %.
    ASSERT_EQ(w.ShortcutVolumeCombo.ListCount(), 100);
    EXPECT_EQ(w.ShortcutVolumeCombo.Text(), "100%");
    EXPECT_EQ(w.ShortcutVolumeCombo.List(99), "1%");
    // Chosen from the lists only; the volume list only while its box is ticked.
    int key = 'x';
    w.ShortcutDeviceCombo.KeyPress(key);
    EXPECT_EQ(key, 0);
    EXPECT_FALSE(w.ShortcutVolumeCombo.Enabled());
    Do([&] { w.SetVolumeCheck.UserToggle(); });
    EXPECT_TRUE(w.ShortcutVolumeCombo.Enabled());
}

TEST_F(WizardTest, TheProposedNameFollowsProgramAndCardAndTheProgramSectionFollowsItsBox) {
    Start();
    ShortcutWizzard& w = Wizard();
    EXPECT_EQ(w.VerknName.Text(), "Varlindo_Speakers (Realtek HD Audio)");
    EXPECT_EQ(w.Height(), ShortcutWizzard::kCollapsedHeight);
    EXPECT_FALSE(w.ProgramFrame.Shown());
    EXPECT_FALSE(w.ProgrammText.Enabled());

    // Two files dropped at once: the last one is the program, and the section opens.
    desktop.AddFile("C:\\My Games\\Other.exe");
    Do([&] { w.ShortcutDeviceCombo.UserSelect(1); });
    EXPECT_EQ(w.VerknName.Text(), "Varlindo_Headset");
    Do([&] { w.Drop(&w.Picture1, ui::DropData{{"C:\\My Games\\Other.exe", kPlayer}, {}}); });
    EXPECT_EQ(w.ProgrammText.Text(), kPlayer);
    EXPECT_EQ(w.RunProgram.Value(), 1);
    EXPECT_EQ(w.VerknName.Text(), "Player_Headset");
    EXPECT_EQ(w.ProgrammText.SelStart(), static_cast<int>(std::string(kPlayer).size()) - 1);
    EXPECT_EQ(w.Height(), ShortcutWizzard::kExpandedHeight);
    EXPECT_EQ(w.CreateShortcutBtn.Top(), ShortcutWizzard::kExpandedButtonsTop);
    EXPECT_TRUE(w.ProgramFrame.Shown());
    EXPECT_TRUE(w.Label1.Shown());

    // Typing renames only once the text names a file; an extension of other than three
    // letters stays in the name.
    Do([&] { w.ProgrammText.UserEdit("C:\\My Games\\Pl"); });
    EXPECT_EQ(w.VerknName.Text(), "Player_Headset");
    desktop.AddFile("C:\\My Games\\tool.data");
    Do([&] { w.ProgrammText.UserEdit("C:\\My Games\\tool.data"); });
    EXPECT_EQ(w.VerknName.Text(), "tool.data_Headset");

    Do([&] { w.RunProgram.UserToggle(); });
    EXPECT_EQ(w.Height(), ShortcutWizzard::kCollapsedHeight);
    EXPECT_EQ(w.CloseBtn.Top(), ShortcutWizzard::kCollapsedButtonsTop);
    EXPECT_FALSE(w.ParameterText.Enabled());
    EXPECT_EQ(w.VerknName.Text(), "Varlindo_Headset");

    // A text dropped (not a file) only fills the path.
    Do([&] { w.Drop(&w.ProgramFrame, ui::DropData{{}, std::string("C:\\Typed.exe")}); });
    EXPECT_EQ(w.ProgrammText.Text(), "C:\\Typed.exe");
    EXPECT_EQ(w.RunProgram.Value(), 0);
}

TEST_F(WizardTest, CreateShortcutSavesTheLinkInTheChosenFolder) {
    Start();
    ShortcutWizzard& w = Wizard();
    Do([&] { app_->Show(w); });
    FillIn(w, 1, true, kPlayer, "-width=1920");
    Do([&] { w.ShortcutVolumeCombo.UserSelect(20); });
    ChooserPicks(kDesktop);
    Do([&] { w.CreateShortcutBtn.RaiseClick(); });

    ASSERT_EQ(chooser_captions.size(), 1u);
    EXPECT_EQ(chooser_captions[0], "Save: Player_Headset.lnk in..");
    const ShellLink* link = Link(std::string(kDesktop) + "\\Player_Headset.lnk");
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(link->target, "C:\\PROGRA~1\\Varlindo\\Varlindo.exe");
    EXPECT_EQ(link->arguments, "D=USB Headset V=80 R=\"C:\\My Games\\Player.exe\" P=-width=1920");
    EXPECT_EQ(link->icon_file, kPlayer);  // the game's own icon
    EXPECT_EQ(link->icon_index, 0);
    EXPECT_EQ(link->show_command, 1);
    EXPECT_TRUE(Sim().ui.boxes.empty());
    // The wizard stays open, and its pin is stored as set.
    EXPECT_TRUE(w.Visible());
    EXPECT_TRUE(Sim().forms.IsTopMost(w));
    EXPECT_EQ(desktop.String("HKCU\\Software\\VB and VBA Program Settings\\Varlindo\\AlwaysOnTop", "OnTop"), "True");
    EXPECT_FALSE(app_->IsLoaded<Files>());

    // Without a program the shortcut shows this program's icon. Cancelling writes nothing.
    FillIn(w, 0, false, "", "");
    ChooserPicks("");
    Do([&] { w.CreateShortcutBtn.RaiseClick(); });
    EXPECT_EQ(desktop.shortcuts.size(), 1u);
    EXPECT_TRUE(Sim().ui.boxes.empty());
    ChooserPicks(kDesktop);
    Do([&] { w.CreateShortcutBtn.RaiseClick(); });
    link = Link(std::string(kDesktop) + "\\Varlindo_Speakers (Realtek HD Audio).lnk");
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(link->icon_file, "C:\\Program Files\\Varlindo\\Varlindo.exe");
    EXPECT_EQ(link->arguments, "D=Speakers (Realtek HD Audio)");
}

TEST_F(WizardTest, NamesStayInTheChosenFolderAndNeverComeOutEmpty) {
    Start();
    ShortcutWizzard& w = Wizard();
    FillIn(w, 1, false, kPlayer, "");
    ChooserPicks(kDesktop);
    const std::pair<const char*, const char*> cases[] = {
        {"..\\..\\Windows\\evil", ".._.._Windows_evil.lnk"},
        {"a:stream", "a_stream.lnk"},
        {"what? / *", "what_ _ _.lnk"},
        {"   ", "Player.lnk"},  // the program's name
        {"Game.LNK", "Game.LNK"},
        {"Playlnk", "Playlnk.lnk"},
        {"con", "con_.lnk"},
    };
    for (const auto& [typed, file] : cases) {
        Do([&, typed = typed] { w.VerknName.UserEdit(typed); });
        Do([&] { w.CreateShortcutBtn.RaiseClick(); });
        EXPECT_NE(Link(std::string(kDesktop) + "\\" + file), nullptr) << typed;
        EXPECT_EQ(Sim().shell.shortcut_saves.back(), std::string(kDesktop) + "\\" + file) << typed;
    }
    EXPECT_TRUE(Sim().ui.boxes.empty());
    EXPECT_EQ(desktop.shortcuts.size(), std::size(cases));
}

TEST_F(WizardTest, ASaveThatFailsIsShownWithThePathAndTheReason) {
    Start();
    ShortcutWizzard& w = Wizard();
    FillIn(w, 1, false, kPlayer, "");
    ChooserPicks(kDesktop);
    const std::string path = std::string(kDesktop) + "\\Player_Headset.lnk";
    desktop.AddFile(path, "old");
    desktop.read_only.insert(sim::NormalPath(path));
    Do([&] { w.CreateShortcutBtn.RaiseClick(); });
    ASSERT_EQ(Sim().ui.boxes.size(), 1u);
    EXPECT_EQ(Sim().ui.boxes[0].text, "Error: Could not create Shortcut!\r\r" + path + "\r\rAccess is denied.");
    EXPECT_EQ(Sim().ui.boxes[0].style, mb::Ok);
    EXPECT_EQ(desktop.files[sim::NormalPath(path)], "old");

    // No link object at all: the file that is there does not count as written.
    desktop.read_only.clear();
    Sim().shell.link_object_missing = true;
    Do([&] { w.CreateShortcutBtn.RaiseClick(); });
    ASSERT_EQ(Sim().ui.boxes.size(), 2u);
    EXPECT_NE(Sim().ui.boxes[1].text.find("Class not registered"), std::string::npos);
}

TEST_F(WizardTest, AQuestionMarkOnTheLineIsQuestionedBeforeAnythingIsSaved) {
    Start();
    ShortcutWizzard& w = Wizard();
    FillIn(w, 1, false, kPlayer, "-level=?");
    ChooserPicks(kDesktop);
    Sim().ui.answer = [](const sim::SimUi::Box&) { return mb::AnswerNo; };
    Do([&] { w.CreateShortcutBtn.RaiseClick(); });
    ASSERT_EQ(Sim().ui.boxes.size(), 1u);
    EXPECT_NE(Sim().ui.boxes[0].text.find("\"?\""), std::string::npos);
    EXPECT_TRUE(chooser_captions.empty());
    EXPECT_TRUE(desktop.shortcuts.empty());
    Sim().ui.answer = nullptr;
    Do([&] { w.CreateShortcutBtn.RaiseClick(); });
    EXPECT_EQ(desktop.shortcuts.size(), 1u);
}

TEST_F(WizardTest, BrowsingFillsTheProgramAndOpensTheSection) {
    Start();
    ShortcutWizzard& w = Wizard();
    std::vector<std::string> captions;
    Sim().forms.modal["Files"] = [&](ui::Form& form) {
        auto& files = static_cast<Files&>(form);
        captions.push_back(files.Caption());
        EXPECT_TRUE(Sim().forms.IsTopMost(files));  // above the pinned wizard
        files.Dir1.SetPath("C:\\My Games");
        files.File1.UserSelect(0);
        files.Ok.RaiseClick();
    };
    Do([&] { w.BrowseBtn.RaiseClick(); });
    ASSERT_EQ(captions.size(), 1u);
    EXPECT_EQ(captions[0], "Programm...    (\"*.*\")");
    EXPECT_EQ(w.ProgrammText.Text(), kPlayer);
    EXPECT_EQ(w.RunProgram.Value(), 1);
    EXPECT_EQ(w.VerknName.Text(), "Player_Speakers (Realtek HD Audio)");
}

TEST_F(WizardTest, TheButtonTheTrayAndADropOpenIt) {
    Form1& form = Start();
    UserDoes(*app_, [&] { form.ShowNormal(); });
    bool main_hidden_meanwhile = false;
    Sim().forms.modal["ShortcutWizzard"] = [&](ui::Form& wizard) {
        main_hidden_meanwhile = !form.Visible();
        int esc = 27;
        wizard.KeyPress(esc);  // Esc closes it
    };
    Do([&] { form.ShortcutWizzardBtn.RaiseClick(); });
    EXPECT_TRUE(main_hidden_meanwhile);
    EXPECT_TRUE(form.Visible());
    EXPECT_EQ(form.GetWindowState(), ui::WindowState::Normal);
    EXPECT_FALSE(app_->IsLoaded<ShortcutWizzard>());

    // From the tray the main window stays in the tray throughout.
    Do([&] { form.Command1_Click(); });
    main_hidden_meanwhile = false;
    Do([&] { form.OnTrayMenu("Shortcut wizzard ..."); });
    EXPECT_TRUE(main_hidden_meanwhile);
    EXPECT_FALSE(form.Visible());
    EXPECT_EQ(form.GetWindowState(), ui::WindowState::Minimized);

    // A file dropped on the nickname list: the wizard opens, not modally, with the program.
    UserDoes(*app_, [&] { form.ShowNormal(); });
    Do([&] { form.Drop(&form.NiknameList, ui::DropData{{kPlayer}, {}}); });
    ASSERT_TRUE(app_->IsLoaded<ShortcutWizzard>());
    EXPECT_TRUE(Wizard().Visible());
    EXPECT_EQ(Wizard().ProgrammText.Text(), kPlayer);
    EXPECT_FALSE(form.Visible());
    EXPECT_EQ(Sim().forms.log.back(), "show ShortcutWizzard");
    // A drop on the settings page's controls goes nowhere.
    EXPECT_FALSE(form.Drop(&form.StartupCombo, ui::DropData{{kPlayer}, {}}));
}

TEST_F(WizardTest, ShortcutsThatWouldDoSomethingElseAreQuestioned) {
    desktop.AddCard("Digital Output(Optical)");
    desktop.AddCard("Digital Output");
    Start();
    ShortcutWizzard& w = Wizard();
    ChooserPicks(kDesktop);
    Sim().ui.answer = [](const sim::SimUi::Box&) { return mb::AnswerNo; };
    // A word of the parameters that the program reads as a key of its own.
    FillIn(w, 1, false, kPlayer, "+connect r=1 -w");
    Do([&] { w.CreateShortcutBtn.RaiseClick(); });
    ASSERT_EQ(Sim().ui.boxes.size(), 1u);
    EXPECT_NE(Sim().ui.boxes[0].text.find("D=, V=, R= or P="), std::string::npos);
    // A card found under the name of one listed before it.
    FillIn(w, 4, false, "", "");
    Do([&] { w.CreateShortcutBtn.RaiseClick(); });
    ASSERT_EQ(Sim().ui.boxes.size(), 2u);
    EXPECT_NE(Sim().ui.boxes[1].text.find("\"Digital Output(Optical)\""), std::string::npos);
    EXPECT_TRUE(chooser_captions.empty());
    EXPECT_TRUE(desktop.shortcuts.empty());
    // The same card with nothing to question.
    FillIn(w, 3, true, kPlayer, "-connect=r1");
    Do([&] { w.CreateShortcutBtn.RaiseClick(); });
    EXPECT_EQ(Sim().ui.boxes.size(), 2u);
    EXPECT_EQ(desktop.shortcuts.size(), 1u);
}

TEST_F(WizardTest, AnOpenWizardOnlyComesForwardAndTheChooserLeavesTheCurrentFolder) {
    Form1& form = Start();
    desktop.AddFolder("G:\\Games");
    Sim().forms.modal["ShortcutWizzard"] = [&](ui::Form& wizard) {
        auto& w = static_cast<ShortcutWizzard&>(wizard);
        // A program typed without a folder: its first letter is no drive to start in.
        w.RunProgram.SetValue(1);
        w.ProgrammText.UserEdit("game.exe");
        w.CreateShortcutBtn.RaiseClick();
        w.CloseBtn.RaiseClick();
    };
    Sim().forms.modal["Files"] = [&](ui::Form& chooser) {
        auto& files = static_cast<Files&>(chooser);
        EXPECT_EQ(files.Dir1.Path(), "C:\\Users\\test");
        // Asked for again from the tray and the button while it waits for its chooser.
        form.OnTrayMenu("Shortcut wizzard ...");
        form.ShortcutWizzardBtn_Click();
        files.Drive1.UserSelect(1);
        EXPECT_EQ(files.Dir1.Path(), "G:\\");
        files.AbbruchBtn2.RaiseClick();
    };
    Do([&] { form.ShortcutWizzardBtn.RaiseClick(); });
    const auto& log = Sim().forms.log;
    EXPECT_EQ(std::count(log.begin(), log.end(), "modal ShortcutWizzard"), 1);
    EXPECT_EQ(std::count(log.begin(), log.end(), "modal Files"), 1);
    EXPECT_EQ(Sim().files.CurrentFolder(), "C:\\Users\\test");
    EXPECT_TRUE(desktop.shortcuts.empty());
}

TEST_F(WizardTest, AnExtensionIsCountedInLetters) {
    Start();
    ShortcutWizzard& w = Wizard();
    desktop.AddFile("C:\\x.äb");
    desktop.AddFile("C:\\Spiel.äöü");
    Do([&] { w.Drop(&w.Picture1, ui::DropData{{"C:\\x.äb"}, {}}); });
    EXPECT_EQ(w.VerknName.Text(), "x.äb_Speakers (Realtek HD Audio)");
    Do([&] { w.Drop(&w.Picture1, ui::DropData{{"C:\\Spiel.äöü"}, {}}); });
    EXPECT_EQ(w.VerknName.Text(), "Spiel_Speakers (Realtek HD Audio)");
}

TEST_F(WizardTest, GermanTexts) {
    Start(Language::German);
    ShortcutWizzard& w = Wizard();
    EXPECT_EQ(w.Caption(), "Verknüpfungs Assistent");
    EXPECT_EQ(w.RunProgram.Caption(), "Programm nach dem Wechsel starten");
    EXPECT_EQ(w.CreateShortcutBtn.Caption(), "Verknüpfung Erstellen");
    EXPECT_EQ(w.Picture1.ToolTipText(), "Programm auf dieses Feld ziehen");
    ChooserPicks("");
    Do([&] { w.CreateShortcutBtn.RaiseClick(); });
    ASSERT_EQ(chooser_captions.size(), 1u);
    EXPECT_EQ(chooser_captions[0], "Verknüpfung: Varlindo_Speakers (Realtek HD Audio).lnkspeichern unter..");
}

}  // namespace
}  // namespace varlindo::test
