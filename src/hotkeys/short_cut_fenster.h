#pragma once
// The hotkey dialog: which function key (with Ctrl) switches to which card. A key saved
// here moves from the card that had it; a card's old key is freed. Shown modally from the
// main window's settings page; the keys take effect when it closes.

#include "app/app.h"
#include "tray/always_on_top.h"
#include "ui/widgets.h"

namespace varlindo {

class Form1;

class ShortCutFenster : public ui::Form {
public:
    explicit ShortCutFenster(App& app);

    ui::ListBox List1;
    ui::Label Label1;
    ui::Label Label2;
    ui::Label Label3;
    ui::ComboBox HotKeyCombo;
    AlwaysOnTop AlwaysOnTop1;
    ui::Label InfoTxt;
    ui::Button SpeichernBtn;
    ui::Button LoeschenBtn;
    ui::Button CancelButton;

    // Sets the texts of the language (1: German), fills the card list and shows the card
    // selected in the main window with its key.
    void ApplyLanguage(std::int16_t language);
    void FillCardList();

    void Form_Load();
    void List1_Click();
    void SpeichernBtn_Click();
    void LoeschenBtn_Click();
    void CancelButton_Click();
    void Form_KeyPress(int& key_ascii);
    void HotKeyCombo_KeyPress(int& key_ascii) { key_ascii = 0; }  // chosen from the list only

private:
    // The key box shows the name of this key code ("" for none).
    void ShowKey(long key_code);

    App& app_;
    Form1& main_;
};

}  // namespace varlindo
