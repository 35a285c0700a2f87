// The tray menu of the main window: the menu string it builds from the cards and the
// settings, and what a picked entry does.

#include <string>
#include <vector>

#include "app/form1.h"
#include "launch/shortcut_wizzard.h"
#include "base/text.h"
#include "core/system_sound.h"
#include "tray/system_tray.h"
#include "tray/tray_messages.h"
#include "volume/volume_slider.h"

namespace varlindo {

namespace {


// The menu string separates entries with commas, so a card name shows a look-alike in
// place of each comma (U+201A SINGLE LOW-9 QUOTATION MARK) and its entry stays whole.
std::string MenuSafe(const std::string& name) { return text::Replace(name, ",", "\xE2\x80\x9A"); }

bool Is(const std::string& selected, const Text& command) {
    return selected == command.english || selected == command.german;
}

bool HasEither(const std::string& selected, const Text& command) {
    return text::Contains(selected, command.english) || text::Contains(selected, command.german);
}

// Does the entry text name this card? An empty name names nothing.
bool Names(const std::string& entry, const SoundDeviceObj& card) {
    const std::string alias = card.GetAliasName();
    const std::string name = card.GetDeviceName();
    return (!alias.empty() && text::Contains(entry, MenuSafe(alias))) ||
           (!name.empty() && text::Contains(entry, MenuSafe(name)));
}

}  // namespace

void Form1::CreatePopupMenu() {
    const DefaultCard current = mapper_.PlaybackCard();
    const std::string playback = text::Trim(current.name);
    const std::string record = text::Trim(mapper_.Record());
    const bool hotkeys_on = HotkeysCheck.Value() == 1;
    // The card line each key switches to.
    std::vector<std::string> key_cards;
    if (hotkeys_on)
        for (long key = kFirstHotkey; key <= kLastHotkey; ++key) key_cards.push_back(GetRegisterdSoundcardHotkey(key));

    std::string menu;
    menu += Say(msg::kMenuHomepage);
    menu += Say(msg::kMenuShortcutWizard);
    menu += Say(msg::kMenuSettings);
    menu += Say(hotkeys_on ? msg::kMenuHotkeysOn : msg::kMenuHotkeysOff);
    menu += Say(msg::kMenuAudio);

    SoundDeviceObj card(registry_);
    for (int i = 0; i < DeviceList.ListCount(); ++i) {
        std::string hint;
        // The highest key of the card wins.
        for (size_t k = 0; k < key_cards.size(); ++k)
            if (key_cards[k] == DeviceList.List(i))
                hint = "  (Strg + " + ShortcutMappingGetString(kFirstHotkey + static_cast<long>(k)) + ")";
        card.Load(DeviceList.List(i));
        const std::string name = card.GetDeviceName();
        const std::string entry = " " + std::to_string(i + 1) + ": " + MenuSafe(card.GetAliasName()) + hint;
        // Of two cards of one name, the system names the very device that plays.
        const bool plays = name == playback && (!current.device || (static_cast<size_t>(i) < DeviceNumbers.size() &&
                                                                    DeviceNumbers[static_cast<size_t>(i)] == *current.device));
        if (plays || name == record) {
            const Text& mark = !plays ? msg::kMarkRecord : record == playback ? msg::kMarkPlayAndRecord : msg::kMarkPlayback;
            menu += entry + " " + "  " + Say(mark) + ", ";
        } else {
            menu += entry + ", ";
        }
    }
    menu += Say(msg::kMenuExit);

    MenuString_ = menu;
    // Once the program is ending, the tray window is gone for good.
    if (!ShutdownWorkDone) app_.Tray().ChangePopupMenuString(MenuString_);
    TrayIconActive = true;
}

int Form1::TrayEntryCard(const std::string& Selected) {
    // A card entry begins with its position: "2: Headset ...".
    size_t digits = 0;
    while (digits < Selected.size() && digits < 4 && text::IsDigit(Selected[digits])) ++digits;
    if (digits == 0 || Selected.compare(digits, 2, ": ") != 0) return -1;
    const int line = std::stoi(Selected.substr(0, digits)) - 1;
    if (line < 0 || line >= DeviceList.ListCount()) return -1;
    SoundDeviceObj card(registry_);
    card.Load(DeviceList.List(line));
    return Names(Selected.substr(digits + 2), card) ? line : -1;
}

void Form1::SwitchFromTray(int line) {
    DeviceList.SetListIndex(line);
    DeviceList_DblClick();
    CreatePopupMenu();
    RenewTrayIcon();
    PlaySystemSound(app_.GetPlatform().ui, 3);
}

void Form1::RenewTrayIcon() {
    if (ShutdownWorkDone) return;
    app_.Tray().RemoveTrayIcon();
    AddTrayIcon(CurrentDeviceName);
}

void Form1::UpdateTrayTip() {
    // The icon names the current card whichever way the card was switched.
    if (!ShutdownWorkDone && app_.HasTray() && app_.Tray().IconWanted())
        app_.Tray().ChangeToolTipText(CurrentDeviceName);
}

void Form1::ShowNormal() {
    SetWindowState(ui::WindowState::Normal);
    app_.Show(*this);
}

void Form1::OnTrayMenu(const std::string& Selected) {
    if (Visible()) {
        StorePendingEdits();
        Hide();
    }
    UiPort& ui = app_.GetPlatform().ui;

    // A card entry is known by its own position first, so that a nickname that holds a
    // command's text, another card's name or a number still switches to its own card.
    if (const int line = TrayEntryCard(Selected); line >= 0) {
        SwitchFromTray(line);
        return;
    }

    if (text::Contains(Selected, "Current:")) return;
    if (Selected == msg::kCmdHomepage.english) {
        WebPage_Click();
        return;
    }
    if (HasEither(Selected, msg::kCmdShortcutWizard)) {
        // The main window stays in the tray meanwhile: shown around the wizard, it would
        // only flash up and go again. An open wizard only comes forward.
        if (BringWizardForward()) return;
        app_.ShowModal(app_.Form<ShortcutWizzard>());
        Hide();
        SetWindowState(ui::WindowState::Minimized);
        return;
    }
    if (text::Contains(Selected, "Hotkeys")) {
        HotkeysCheck.SetValue(HotkeysCheck.Value() == 1 ? 0 : 1);
        ui.DoEvents();
        CreatePopupMenu();
        PlaySystemSound(ui, 3);
        return;
    }
    if (Is(Selected, msg::kCmdSettings)) {
        MarkCurrentDevice(text::Trim(mapper_.Playback()));
        ShowNormal();
        return;
    }
    if (Is(Selected, msg::kCmdReload)) {
        LoadDevices();
        MarkCurrentDevice(text::Trim(mapper_.Playback()));
        CreatePopupMenu();
        PlaySystemSound(ui, 3);
        return;
    }
    if (Is(Selected, msg::kCmdSetVolume)) {
        app_.ShowModal(app_.Form<VolumeSlider>());
        return;
    }
    if (Is(Selected, msg::kCmdWindowsAudio)) {
        app_.GetPlatform().shell.StartProgram(msg::kSoundControlPanel, 1);
        return;
    }
    if (Is(Selected, msg::kCmdAudioMixer)) {
        // The selected card; with none, the current one.
        const int line = DeviceList.ListIndex();
        OpenVolumeDialog(line >= 0 ? DeviceList.List(line) : CurrentDevice.GetDeviceName(), false);
        return;
    }
    if (Is(Selected, msg::kCmdExit)) {
        ExitBtn_Click();
        return;
    }

    // Last, any entry that holds a card's nickname or device name, in list order.
    SoundDeviceObj card(registry_);
    for (int i = 0; i < DeviceList.ListCount(); ++i) {
        card.Load(DeviceList.List(i));
        if (Names(Selected, card)) {
            SwitchFromTray(i);
            return;
        }
    }
}

}  // namespace varlindo
