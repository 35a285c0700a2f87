#pragma once
// The shortcut wizard: makes a shell shortcut that starts this program with a command line
// which switches to a chosen card, may set its volume, and may then start another program
// (a game, a media player) with its parameters. A program file dropped on the main window
// or on the wizard fills in the program.

#include <cstdint>
#include <string>

#include "app/app.h"
#include "tray/always_on_top.h"
#include "ui/widgets.h"

namespace varlindo {

class Form1;

class ShortcutWizzard : public ui::Form {
public:
    explicit ShortcutWizzard(App& app);

    // Window heights, in twips, without and with the program section; the buttons' top.
    static constexpr int kWidth = 4710;
    static constexpr int kCollapsedHeight = 3870;
    static constexpr int kExpandedHeight = 5445;
    static constexpr int kCollapsedButtonsTop = 2760;
    static constexpr int kExpandedButtonsTop = 4320;

    ui::Label Ueberschrift;
    ui::ComboBox ShortcutDeviceCombo;
    ui::CheckBox SetVolumeCheck;
    ui::ComboBox ShortcutVolumeCombo;
    ui::CheckBox RunProgram;
    ui::PictureBox Picture1;
    ui::Label NameLabel;
    ui::TextBox VerknName;
    ui::Label Label1;
    ui::Frame ProgramFrame;
    ui::Label ProgramTitel;
    ui::TextBox ProgrammText;
    ui::Button BrowseBtn;
    ui::Label ParameterTitel;
    ui::TextBox ParameterText;
    ui::Button CreateShortcutBtn;
    ui::Button CloseBtn;
    ui::Timer CenterTimer;
    AlwaysOnTop AlwaysOnTop1;

    void ApplyWizardLanguage();
    void UpdateShortcutName();
    void SetProgramSectionVisible(bool expanded);
    // The command line the shortcut hands this program: D= card, V= volume, R= program and
    // P= its parameters, in that order (the parameters last, so that nothing in them can
    // cut off another key), separated by one blank.
    std::string ShortcutArguments() const;
    // Why a shortcut with these arguments would not do what the wizard shows (the help mark,
    // a key inside the path or the parameters, a card found under another's name); "" when
    // it would.
    std::string ShortcutProblem(const std::string& arguments) const;

    void Form_Load();
    void CenterTimer_Timer();
    void RunProgram_Click();
    void SetVolumeCheck_Click();
    void BrowseBtn_Click();
    void Picture1_OLEDragDrop(const ui::DropData& data);
    void CreateShortcutBtn_Click();
    void CloseBtn_Click();
    void Form_KeyPress(int& key_ascii);
    void ProgrammText_Change();

private:
    // The program the shortcut starts, when one is to be started; "" otherwise.
    std::string ProgramToRun() const;
    // The name proposed for a shortcut without the card's nickname: the program's file name
    // without its extension, or this program's own name.
    std::string ProgramBaseName() const;
    // The text cursor one character before the end of the program path.
    void CursorNearEnd();

    App& app_;
    Form1& main_;
};

}  // namespace varlindo
