#include "hotkeys/short_cut_fenster.h"

#include <string>
#include <vector>

#include "app/captions.h"
#include "app/form1.h"
#include "tray/window_handling.h"

namespace varlindo {

namespace {

constexpr Text kTitle{"Hotkeys configuration ..", "Hotkeys definieren .."};

constexpr Caption kCaptions[] = {
    {"SpeichernBtn", "&Save", "&Speichern"},
    {"CancelButton", "&Close", "S&chließen"},
    {"LoeschenBtn", "&Delete", "&Löschen"},
    {"InfoTxt", "Sometimes you  have to restart the program to activate new Hotkeys!",
     "Zum Übernehmen der Änderungen bitte Programm neu starten!"},
    {"Label2", "Strg +", "Strg +"},
    {"Label3", "Strg +", "Strg +"},
};

}  // namespace

ShortCutFenster::ShortCutFenster(App& app)
    : ui::Form("ShortCutFenster", kTitle.english, 4830, 4380),
      List1(*this, "List1", 120, 120, 4470, 1950),
      Label1(*this, "Label1", "", 120, 2175, 4470, 255),
      Label2(*this, "Label2", "", 120, 2520, 660, 255),
      Label3(*this, "Label3", "", 120, 2520, 660, 255),
      HotKeyCombo(*this, "HotKeyCombo", 780, 2475, 1200, 315),
      AlwaysOnTop1(*this, app.GetRegistry(), app.GetPlatform().forms, 4275, 2490),
      InfoTxt(*this, "InfoTxt", "", 120, 2940, 4470, 480),
      SpeichernBtn(*this, "SpeichernBtn", "", 120, 3480, 1410, 420),
      LoeschenBtn(*this, "LoeschenBtn", "", 1650, 3480, 1410, 420),
      CancelButton(*this, "CancelButton", "", 3180, 3480, 1410, 420),
      app_(app),
      main_(app.MainForm()) {
    ApplyCaptions(*this, kCaptions, Language::English);
    Label1.UseMnemonic = false;  // card names may hold "&"
    Load = [this] { Form_Load(); };
    KeyPress = [this](int& key) { Form_KeyPress(key); };
    List1.Click = [this] { List1_Click(); };
    SpeichernBtn.Click = [this] { SpeichernBtn_Click(); };
    LoeschenBtn.Click = [this] { LoeschenBtn_Click(); };
    CancelButton.Click = [this] { CancelButton_Click(); };
    HotKeyCombo.KeyPress = [this](int& key) { HotKeyCombo_KeyPress(key); };
    WindowHandling::DragBy(app.GetPlatform().forms, *this, {&Label1});
}

void ShortCutFenster::Form_Load() {
    // The window takes the program's icon from its window class.
    HotKeyCombo.Clear();
    for (long key = Form1::kFirstHotkey; key <= Form1::kLastHotkey; ++key) {
        HotKeyCombo.AddItem(Form1::ShortcutMappingGetString(key));
        HotKeyCombo.SetItemData(HotKeyCombo.ListCount() - 1, key);
    }
    ApplyLanguage(main_.GetLanguage());
}

void ShortCutFenster::ApplyLanguage(std::int16_t language) {
    const Language lang = language == 1 ? Language::German : Language::English;
    SetCaption(Pick(lang, kTitle));
    ApplyCaptions(*this, kCaptions, lang);
    FillCardList();
    List1.SetListIndex(main_.DeviceList.ListIndex());
    // The key of the card as it is stored now (a key deleted here earlier stays deleted).
    ShowKey(List1.ItemData(List1.ListIndex()));
}

void ShortCutFenster::FillCardList() {
    ui::ListBox& devices = main_.DeviceList;
    std::vector<std::string> lines = devices.Items();
    std::vector<long> keys(lines.size(), 0);
    for (long key = Form1::kFirstHotkey; key <= Form1::kLastHotkey; ++key) {
        const std::string name = main_.GetRegisterdSoundcardHotkey(key);
        if (name.empty()) continue;
        for (size_t j = 0; j < lines.size(); ++j) {
            if (devices.List(static_cast<int>(j)) != name) continue;
            // A card with two keys shows both, the higher one first.
            lines[j] = "(Strg + " + Form1::ShortcutMappingGetString(key) + ")   " + lines[j];
            keys[j] = key;
            devices.SetItemData(static_cast<int>(j), key);
        }
    }
    List1.Clear();
    for (size_t j = 0; j < lines.size(); ++j) {
        List1.AddItem(lines[j]);
        List1.SetItemData(static_cast<int>(j), keys[j]);
    }
    List1.SetListIndex(devices.ListIndex());
}

void ShortCutFenster::ShowKey(long key_code) { HotKeyCombo.SetText(Form1::ShortcutMappingGetString(key_code)); }

void ShortCutFenster::List1_Click() {
    const int i = List1.ListIndex();
    Label1.SetCaption(main_.NiknameList.List(i) + ":");
    ShowKey(List1.ItemData(i));
}

void ShortCutFenster::SpeichernBtn_Click() {
    const int i = List1.ListIndex();
    if (i < 0) return;  // no card chosen
    if (const long old_key = List1.ItemData(i)) main_.SaveSoundcardHotkey("", old_key);
    main_.SaveSoundcardHotkey(main_.DeviceList.List(i), Form1::ShortcutMappingGetValue(HotKeyCombo.Text()));
    FillCardList();
    List1.SetListIndex(i);
    Label1.SetCaption(main_.NiknameList.List(i));
    ShowKey(List1.ItemData(i));
}

void ShortCutFenster::LoeschenBtn_Click() {
    const int i = List1.ListIndex();
    if (const long key = List1.ItemData(i); i >= 0 && key != 0) {
        main_.SaveSoundcardHotkey("", key);
        FillCardList();
        List1.SetListIndex(i);
        Label1.SetCaption(main_.DeviceList.List(i));
        ShowKey(List1.ItemData(i));
    }
    app_.GetPlatform().ui.Beep(0);
}

void ShortCutFenster::CancelButton_Click() { app_.Unload(*this); }

void ShortCutFenster::Form_KeyPress(int& key_ascii) {
    if (key_ascii == 27) CancelButton_Click();
}

}  // namespace varlindo
