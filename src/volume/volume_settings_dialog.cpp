#include "volume/volume_settings_dialog.h"

#include "app/captions.h"
#include "app/form1.h"
#include "tray/window_handling.h"
#include "volume/volume_messages.h"

namespace varlindo {

namespace {

using L = SoundDeviceObj::Line;

// The orders in which the lines are set, written and stored.
constexpr L kLoadOrder[] = {L::Aux, L::CDAudio, L::LineIn, L::Mikrofon, L::Midi, L::Wave, L::Speaker};
constexpr L kMuteOrder[] = {L::Wave, L::Speaker, L::Midi, L::Aux, L::CDAudio, L::LineIn, L::Mikrofon};
constexpr L kWriteOrder[] = {L::Wave, L::Speaker, L::Midi, L::Aux, L::CDAudio, L::LineIn, L::Mikrofon};
constexpr L kStoreOrder[] = {L::Aux, L::CDAudio, L::LineIn, L::Midi, L::Wave, L::Speaker, L::Mikrofon};

constexpr Caption kCaptions[] = {
    {"Label7", "Speaker", "Wiedergabe"}, {"Label8", "Wave", "Wave"},     {"Label9", "Midi", "MIDI"},
    {"Label10", "CD-Audio", "CD-Audio"}, {"Label11", "LineIn", "Eingang"}, {"Label12", "Microphone", "Mikrofon"},
    {"Label13", "Aux", "Aux"},
    {"MuteWiedergabe", "Mute", "Ton aus"}, {"MuteWave", "Mute", "Ton aus"}, {"MuteMidi", "Mute", "Ton aus"},
    {"MuteCDAudio", "Mute", "Ton aus"}, {"MuteLinein", "Mute", "Ton aus"}, {"MuteMicrophone", "Mute", "Ton aus"},
    {"MuteAux", "Mute", "Ton aus"},
    {"CurrentCardTxt", "Current Soundcard:", nullptr}, {"Command1", "<<", nullptr}, {"NextCardBtn", ">>", nullptr},
    {"WindowsMixerBtn", "&Mixer", nullptr},
};

// Columns of the lines, in twips.
constexpr int kColumn = 960;
int ColumnLeft(int column) { return 120 + column * kColumn; }

}  // namespace

VolumeSettingsDialog::VolumeSettingsDialog(App& app)
    : ui::Form("VolumeSettingsDialog", msg::kVolumeDialogTitle.english, 6045, 4560),
      ProgramPicture(*this, "ProgramPicture", ui::Image::ProgramIcon, 120, 120, 480, 480),
      CurrentCardTxt(*this, "CurrentCardTxt", "", 720, 120, 4500, 255),
      SetupInfo(*this, "SetupInfo", msg::kSetupInfo.english, 720, 420, 4500, 255),
      AlwaysOnTop1(*this, app.GetRegistry(), app.GetPlatform().forms, 5565, 120),
      Label7(*this, "Label7", "", ColumnLeft(0), 780, 930, 255),
      Label8(*this, "Label8", "", ColumnLeft(1), 780, 930, 255),
      Label9(*this, "Label9", "", ColumnLeft(2), 780, 930, 255),
      Label10(*this, "Label10", "", ColumnLeft(3), 780, 930, 255),
      Label11(*this, "Label11", "", ColumnLeft(4), 780, 930, 255),
      Label12(*this, "Label12", "", ColumnLeft(5), 780, 930, 255),
      Label13(*this, "Label13", "", ColumnLeft(5), 780, 930, 255),
      Wiedergabe(*this, "Wiedergabe", 100, 0, ColumnLeft(0) + 300, 1080, 330, 2040),
      Wave(*this, "Wave", 100, 0, ColumnLeft(1) + 300, 1080, 330, 2040),
      Midi(*this, "Midi", 100, 0, ColumnLeft(2) + 300, 1080, 330, 2040),
      CDAudio(*this, "CDAudio", 100, 0, ColumnLeft(3) + 300, 1080, 330, 2040),
      LineInScroll(*this, "LineInScroll", 100, 0, ColumnLeft(4) + 300, 1080, 330, 2040),
      Microphone(*this, "Microphone", 100, 0, ColumnLeft(5) + 300, 1080, 330, 2040),
      Aux(*this, "Aux", 100, 0, ColumnLeft(5) + 300, 1080, 330, 2040),
      MuteWiedergabe(*this, "MuteWiedergabe", "", ColumnLeft(0) + 90, 3180, 840, 300),
      MuteWave(*this, "MuteWave", "", ColumnLeft(1) + 90, 3180, 840, 300),
      MuteMidi(*this, "MuteMidi", "", ColumnLeft(2) + 90, 3180, 840, 300),
      MuteCDAudio(*this, "MuteCDAudio", "", ColumnLeft(3) + 90, 3180, 840, 300),
      MuteLinein(*this, "MuteLinein", "", ColumnLeft(4) + 90, 3180, 840, 300),
      MuteMicrophone(*this, "MuteMicrophone", "", ColumnLeft(5) + 90, 3180, 840, 300),
      MuteAux(*this, "MuteAux", "", ColumnLeft(5) + 90, 3180, 840, 300),
      Command1(*this, "Command1", "", 120, 3630, 600, 390),
      NextCardBtn(*this, "NextCardBtn", "", 780, 3630, 600, 390),
      WindowsMixerBtn(*this, "WindowsMixerBtn", "", 1740, 3630, 1200, 390),
      CancelButton(*this, "CancelButton", msg::kVolumeClose.english, 4680, 3630, 1200, 390),
      DialogDevice(app.GetRegistry()),
      app_(app),
      main_(app.MainForm()),
      lines_{{
          {&Label7, &Wiedergabe, &MuteWiedergabe, SoundMixer::SpeakerVolume, SoundMixer::SpeakerMute, L::Speaker},
          {&Label8, &Wave, &MuteWave, SoundMixer::WaveVolume, SoundMixer::WaveMute, L::Wave},
          {&Label9, &Midi, &MuteMidi, SoundMixer::MidiVolume, SoundMixer::MidiMute, L::Midi},
          {&Label10, &CDAudio, &MuteCDAudio, SoundMixer::CDAudioVolume, SoundMixer::CDAudioMute, L::CDAudio},
          {&Label11, &LineInScroll, &MuteLinein, SoundMixer::LineInVolume, SoundMixer::LineInMute, L::LineIn},
          {&Label12, &Microphone, &MuteMicrophone, SoundMixer::MicrophoneVolume, SoundMixer::MicrophoneMute,
           L::Mikrofon},
          {&Label13, &Aux, &MuteAux, SoundMixer::AuxVolume, SoundMixer::AuxMute, L::Aux},
      }} {
    ApplyCaptions(*this, kCaptions, Language::English);
    CurrentCardTxt.SetFontBold(true);
    CurrentCardTxt.UseMnemonic = false;  // card names may hold "&"
    SetupInfo.SetVisible(false);
    Command1.SetToolTipText("previous Soundcard");
    NextCardBtn.SetToolTipText("next Soundcard");
    WindowsMixerBtn.SetToolTipText("Windows Mixer");
    // The aux line is kept and applied, but not shown.
    for (ui::Control* aux : std::initializer_list<ui::Control*>{&Label13, &Aux, &MuteAux}) aux->SetVisible(false);

    for (const Line& line : lines_) {
        line.mute->Click = [this] { ApplyMutes(); };
        if (line.record_line != L::Speaker) line.slider->Change = [this] { ApplyLevels(); };
    }
    Wiedergabe.Change = [this] {
        if (IsLoading) return;
        ApplyLevels();
        app_.GetPlatform().ui.Beep(0);
    };
    Load = [this] { Form_Load(); };
    QueryUnload = [this](bool& cancel, int mode) { Form_QueryUnload(cancel, mode); };
    KeyPress = [this](int& key) { Form_KeyPress(key); };
    NextCardBtn.Click = [this] { NextCardBtn_Click(); };
    Command1.Click = [this] { Command1_Click(); };
    CancelButton.Click = [this] { CancelButton_Click(); };
    WindowsMixerBtn.Click = [this] { WindowsMixerBtn_Click(); };
    WindowHandling::DragBy(app.GetPlatform().forms, *this, {&CurrentCardTxt, &ProgramPicture, &SetupInfo});
}

const VolumeSettingsDialog::Line& VolumeSettingsDialog::LineOf(SoundDeviceObj::Line line) const {
    for (const Line& l : lines_)
        if (l.record_line == line) return l;
    return lines_[0];
}

void VolumeSettingsDialog::Form_Load() {
    AlwaysOnTop1.SetToTop(false);
    ApplyLanguage();
}

void VolumeSettingsDialog::ApplyLanguage() {
    if (main_.GetLanguage() == 0) return;
    SetCaption(msg::kVolumeDialogTitle.german);
    ApplyCaptions(*this, kCaptions, Language::German);
    ShowMode();
}

void VolumeSettingsDialog::ShowMode() {
    // The label and the button say which mode the dialog is in, whichever came before.
    const Language language = app_.GetLanguage();
    SetupInfo.SetCaption(Pick(language, msg::kSetupInfo));
    SetupInfo.SetVisible(SettingsMode);
    CancelButton.SetCaption(Pick(language, SettingsMode ? msg::kVolumeSave : msg::kVolumeClose));
}

void VolumeSettingsDialog::SetDialog(const std::string& device_name, bool settings_mode) {
    IsLoading = true;
    DialogDevice = SoundDeviceObj(app_.GetRegistry());
    DialogDeviceName = device_name;
    DialogDevice.Load(device_name);
    DialogDeviceName = DialogDevice.GetDeviceName();
    DialogAliasName = DialogDevice.GetAliasName();
    DialogDeviceNumber = DialogDevice.GetDeviceID();
    SettingsMode = settings_mode;
    CurrentCardTxt.SetCaption(DialogAliasName);
    ShowMode();

    if (SettingsMode) {
        for (L line : kLoadOrder) LineOf(line).slider->SetValue(DialogDevice.GetLineVolume(line));
        for (L line : kMuteOrder) LineOf(line).mute->SetValue(DialogDevice.GetLineMute(line) ? 1 : 0);
    } else {
        SoundMixer& mixer = app_.Mixer();
        mixer.OpenMixer(DialogDeviceNumber);
        for (L line : kLoadOrder) LineOf(line).slider->SetValue(mixer.GetLineVolume(LineOf(line).volume_slot));
        for (L line : kMuteOrder) LineOf(line).mute->SetValue(mixer.GetLineMute(LineOf(line).mute_slot) ? 1 : 0);
        mixer.CloseMixer();
    }
    IsLoading = false;
    ShowDefaultMarker();
}

void VolumeSettingsDialog::ShowDefaultMarker() {
    ProgramPicture.SetPicture(DialogDeviceName == main_.GetDefaultDevice() ? ui::Image::ProgramIcon
                                                                           : main_.PictureDisabled.Picture());
}

void VolumeSettingsDialog::ApplyLevels() {
    if (IsLoading) return;
    if (SettingsMode) {
        SaveDialogToRecord();
        return;
    }
    WritePasses(false);
}

void VolumeSettingsDialog::ApplyMutes() {
    if (IsLoading) return;
    if (SettingsMode) {
        SaveDialogToRecord();
        return;
    }
    WritePasses(true);
}

void VolumeSettingsDialog::WritePasses(bool mutes) {
    // Events run between the lines; a change that arrives meanwhile is written by one more
    // pass after this one, never by a pass inside it.
    (mutes ? mutes_again_ : levels_again_) = true;
    if (writing_) return;
    writing_ = true;
    while (levels_again_ || mutes_again_) {
        const bool write_mutes = !levels_again_;
        (write_mutes ? mutes_again_ : levels_again_) = false;
        SoundMixer& mixer = app_.Mixer();
        mixer.OpenMixer(DialogDeviceNumber);
        for (L line : kWriteOrder) {
            if (write_mutes)
                mixer.SetLineMute(LineOf(line).mute_slot, LineOf(line).mute->Value() == 1 ? 1 : 0);
            else
                mixer.SetLineVolume(LineOf(line).volume_slot, LineOf(line).slider->Value());
            app_.GetPlatform().ui.DoEvents();
        }
        mixer.CloseMixer();
    }
    writing_ = false;
}

void VolumeSettingsDialog::SaveDialogToRecord() {
    if (DialogDeviceName.empty()) return;
    // From what is stored now: the settings page may have stored the card's other values
    // since this dialog loaded it.
    SoundDeviceObj stored(app_.GetRegistry());
    stored.Load(DialogDeviceName);
    for (L line : kStoreOrder) stored.SetLineVolume(line, static_cast<std::int16_t>(LineOf(line).slider->Value()));
    for (L line : kMuteOrder) stored.SetLineMute(line, static_cast<std::int16_t>(LineOf(line).mute->Value()));
    stored.SaveAll();
    DialogDevice = stored;
}

void VolumeSettingsDialog::ApplySettingsToSoundcard(const std::string& device_name) {
    SetDialog(device_name, true);
    SettingsMode = false;
    IsLoading = false;
    ApplyLevels();
    ApplyMutes();
    app_.Unload(*this);
}

std::string VolumeSettingsDialog::StepCard(int direction) const {
    const ui::ListBox& cards = main_.DeviceList;
    const int n = cards.ListCount();
    if (n == 0) return "";
    // Forward the last match counts, backward the first (each the last one the scan visits).
    int found = -1;
    for (int i = 0; i < n; ++i)
        if (cards.List(i) == DialogDeviceName && (direction > 0 || found < 0)) found = i;
    // A card that is gone (unplugged) steps to the first card.
    if (found < 0) return cards.List(0);
    return cards.List((found + direction + n) % n);
}

void VolumeSettingsDialog::NextCardBtn_Click() { SetDialog(StepCard(+1), SettingsMode); }

void VolumeSettingsDialog::Command1_Click() { SetDialog(StepCard(-1), SettingsMode); }

void VolumeSettingsDialog::CancelButton_Click() {
    if (SettingsMode) SaveDialogToRecord();
    app_.Unload(*this);
}

void VolumeSettingsDialog::Form_QueryUnload(bool&, int) {
    if (SettingsMode) SaveDialogToRecord();
}

void VolumeSettingsDialog::Form_KeyPress(int& key_ascii) {
    if (key_ascii == 27) app_.Unload(*this);
}

void VolumeSettingsDialog::WindowsMixerBtn_Click() {
    app_.GetPlatform().shell.StartProgram(msg::kVolumeMixerProgram, 1);
}

}  // namespace varlindo
