#pragma once
// The volume dialog: the mixer lines of one card (speaker, wave, MIDI, CD audio, line-in,
// microphone; aux is kept but not shown), a level slider and a mute box each, and "<<" /
// ">>" to step through the cards.
//
// Live mode shows the card's mixer now and every change goes to the mixer at once. Settings
// mode shows the levels stored for the card and stores every change at once: those are the
// levels the program applies at start and at exit (ApplySettingsToSoundcard, which also
// serves without showing the dialog).

#include <array>
#include <cstdint>
#include <string>

#include "app/app.h"
#include "core/sound_device_obj.h"
#include "tray/always_on_top.h"
#include "ui/widgets.h"
#include "volume/sound_mixer.h"

namespace varlindo {

class Form1;

class VolumeSettingsDialog : public ui::Form {
public:
    explicit VolumeSettingsDialog(App& app);

    ui::PictureBox ProgramPicture;
    ui::Label CurrentCardTxt;
    ui::Label SetupInfo;
    AlwaysOnTop AlwaysOnTop1;
    ui::Label Label7, Label8, Label9, Label10, Label11, Label12, Label13;
    ui::VScrollBar Wiedergabe, Wave, Midi, CDAudio, LineInScroll, Microphone, Aux;
    ui::CheckBox MuteWiedergabe, MuteWave, MuteMidi, MuteCDAudio, MuteLinein, MuteMicrophone, MuteAux;
    ui::Button Command1;
    ui::Button NextCardBtn;
    ui::Button WindowsMixerBtn;
    ui::Button CancelButton;

    // Shows this card in this mode (the dialog is not shown by it).
    void SetDialog(const std::string& device_name, bool settings_mode);
    // Applies the card's stored levels and mutes to its mixer, then unloads the dialog.
    void ApplySettingsToSoundcard(const std::string& device_name);

    void ApplyLevels();
    void ApplyMutes();
    void SaveDialogToRecord();

    void Form_Load();
    void Form_QueryUnload(bool& cancel, int unload_mode);
    void Form_KeyPress(int& key_ascii);
    void NextCardBtn_Click();
    void Command1_Click();
    void CancelButton_Click();
    void WindowsMixerBtn_Click();

    SoundDeviceObj DialogDevice;
    std::string DialogDeviceName;
    std::string DialogAliasName;
    std::int16_t DialogDeviceNumber = -1;
    bool SettingsMode = false;
    bool IsLoading = false;

    // One mixer line: its controls, its mixer slots and its place in the card's record.
    struct Line {
        ui::Label* label;
        ui::VScrollBar* slider;
        ui::CheckBox* mute;
        SoundMixer::Slot volume_slot;
        SoundMixer::Slot mute_slot;
        SoundDeviceObj::Line record_line;
    };
    const Line& LineOf(SoundDeviceObj::Line line) const;

private:
    void ApplyLanguage();
    void ShowDefaultMarker();
    void ShowMode();
    // Writes the sliders (or the mute boxes) to the card's mixer.
    void WritePasses(bool mutes);
    // The card before or after the one shown, in the main window's list.
    std::string StepCard(int direction) const;

    App& app_;
    Form1& main_;
    std::array<Line, SoundDeviceObj::LineCount> lines_;
    bool writing_ = false;
    bool levels_again_ = false;
    bool mutes_again_ = false;
};

}  // namespace varlindo
