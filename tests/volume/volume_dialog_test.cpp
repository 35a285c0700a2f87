// The volume dialog, the slider window, and the stored levels applied at start and exit.

#include <gtest/gtest.h>

#include "support/sim_fixture.h"
#include "tray/system_tray.h"
#include "volume/volume_settings_dialog.h"
#include "volume/volume_slider.h"

namespace varlindo::test {
namespace {

using L = SoundDeviceObj::Line;

// Every line's mixer component, as the record names the line.
std::uint32_t Component(L line) {
    switch (line) {
        case L::Speaker: return mixer::DstSpeakers;
        case L::Wave: return mixer::SrcWaveOut;
        case L::Midi: return mixer::SrcSynthesizer;
        case L::CDAudio: return mixer::SrcCompactDisc;
        case L::LineIn: return mixer::SrcLine;
        case L::Mikrofon: return mixer::SrcMicrophone;
        default: return mixer::SrcAuxiliary;
    }
}

class VolumeTest : public SimTest {
protected:
    // A card's mixer level in percent, as the sim holds it.
    int Level(int card, L line) { return static_cast<int>(Control(card, line, mixer::ControlVolume)->value / 655); }
    sim::SimMixerControl* Control(int card, L line, std::uint32_t type) {
        return desktop.CardMixer(card).Control(Component(line), type);
    }
    void SetLevel(int card, L line, int percent) { Control(card, line, mixer::ControlVolume)->value = percent * 655u; }
    std::string Stored(const std::string& device, const char* key) {
        return desktop.String(CardSection(device), key).value_or("<missing>");
    }
    VolumeSettingsDialog& Dialog(App& app) { return app.Form<VolumeSettingsDialog>(); }
    App& Start(Language language = Language::English) {
        app_ = &StartApp(language);
        return *app_;
    }
    App* app_ = nullptr;
};

TEST_F(VolumeTest, SettingsModeStoresEveryLineAtOnceAndLeavesTheMixerAlone) {
    App& app = Start();
    VolumeSettingsDialog& d = Dialog(app);
    UserDoes(app, [&d] { d.SetDialog("USB Headset", true); });
    EXPECT_TRUE(d.SetupInfo.Visible());
    EXPECT_EQ(d.CancelButton.Caption(), "&Save");
    EXPECT_EQ(d.Wiedergabe.Value(), 50);  // stored levels default to 50
    const int before = Level(1, L::Speaker);
    Sim().ui.beeps.clear();
    UserDoes(app, [&d] { d.Wiedergabe.UserSet(80); });
    EXPECT_EQ(Sim().ui.beeps, std::vector<unsigned>{0});
    for (const char* key : {"SpeakerVolume", "WaveVolume", "MidiVolume", "CDAudioVolume", "LineInVolume",
                            "MicrophoneVolume", "AuxVolume", "SpeakerMute", "AuxMute"})
        EXPECT_NE(Stored("USB Headset", key), "<missing>") << key;
    EXPECT_EQ(Stored("USB Headset", "SpeakerVolume"), "80");
    EXPECT_EQ(Level(1, L::Speaker), before);

    // One line's store leaves the others as they were stored.
    UserDoes(app, [&d] { d.Microphone.UserSet(10); });
    UserDoes(app, [&d] { d.MuteCDAudio.UserToggle(); });
    EXPECT_EQ(Stored("USB Headset", "MicrophoneVolume"), "10");
    EXPECT_EQ(Stored("USB Headset", "SpeakerVolume"), "80");
    EXPECT_EQ(Stored("USB Headset", "CDAudioMute"), "1");
    EXPECT_EQ(Stored("USB Headset", "CDAudioVolume"), "50");
}

TEST_F(VolumeTest, LiveModeShowsAndSetsEveryLineOfTheCardsMixer) {
    SetLevel(1, L::Mikrofon, 30);
    App& app = Start();
    VolumeSettingsDialog& d = Dialog(app);
    UserDoes(app, [&d] { d.SetDialog("USB Headset", false); });
    EXPECT_FALSE(d.SetupInfo.Visible());
    EXPECT_EQ(d.CancelButton.Caption(), "&Close");
    EXPECT_EQ(d.Microphone.Value(), 30);
    EXPECT_TRUE(d.Label12.Visible());
    EXPECT_FALSE(d.Aux.Visible());  // aux is kept but not shown
    UserDoes(app, [&d] { d.Wave.UserSet(70); });
    EXPECT_EQ(Level(1, L::Wave), 70);
    EXPECT_EQ(Level(1, L::Mikrofon), 30);  // every line gets its slider's value
    EXPECT_EQ(Level(0, L::Wave), 50);      // another card keeps its own
    UserDoes(app, [&d] { d.MuteWave.UserToggle(); });
    EXPECT_EQ(Control(1, L::Wave, mixer::ControlMute)->value, 1u);
    EXPECT_EQ(Stored("USB Headset", "WaveVolume"), "<missing>");  // nothing stored
}

TEST_F(VolumeTest, CardsStepRoundAndTheGreyedPictureMarksOtherCards) {
    App& app = Start();
    VolumeSettingsDialog& d = Dialog(app);
    UserDoes(app, [&d] { d.SetDialog("HDMI Output", false); });
    EXPECT_EQ(d.ProgramPicture.Picture(), ui::Image::ProgramIconDisabled);
    UserDoes(app, [&d] { d.NextCardBtn.RaiseClick(); });
    EXPECT_EQ(d.DialogDeviceName, "Speakers (Realtek HD Audio)");
    EXPECT_EQ(d.ProgramPicture.Picture(), ui::Image::ProgramIcon);  // the current card
    UserDoes(app, [&d] { d.Command1.RaiseClick(); });
    EXPECT_EQ(d.DialogDeviceName, "HDMI Output");
    EXPECT_FALSE(d.SettingsMode);

    // From a card that is gone, both buttons go to the first card, without a message.
    for (ui::Button* button : {&d.Command1, &d.NextCardBtn}) {
        d.DialogDeviceName = "Unplugged Card";
        UserDoes(app, [button] { button->RaiseClick(); });
        EXPECT_EQ(d.DialogDeviceName, "Speakers (Realtek HD Audio)");
    }
    EXPECT_TRUE(Sim().ui.boxes.empty());
}

TEST_F(VolumeTest, BackwardsPastTwoCardsOfOneNameDoesNotStick) {
    desktop.cards.clear();
    for (const char* name : {"Speakers", "Headset", "Headset"}) desktop.AddCard(name);
    App& app = Start();
    VolumeSettingsDialog& d = Dialog(app);
    UserDoes(app, [&d] { d.SetDialog("Headset", false); });
    UserDoes(app, [&d] { d.Command1.RaiseClick(); });
    EXPECT_EQ(d.DialogDeviceName, "Speakers");
}

TEST_F(VolumeTest, AChangeDuringAPassIsWrittenByThePassAfterIt) {
    App& app = Start();
    VolumeSettingsDialog& d = Dialog(app);
    UserDoes(app, [&d] { d.SetDialog("USB Headset", false); });
    int nested = 0;
    Sim().ui.on_do_events = [&] {
        if (nested++ == 0) d.Wave.UserSet(10);  // the user moves another slider meanwhile
    };
    UserDoes(app, [&d] { d.Midi.UserSet(60); });
    Sim().ui.on_do_events = nullptr;
    EXPECT_EQ(Level(1, L::Midi), 60);
    EXPECT_EQ(Level(1, L::Wave), 10);
}

TEST_F(VolumeTest, EveryWayOfClosingASettingsDialogStoresALiveOneNothing) {
    App& app = Start();
    auto open = [&](bool settings) {
        VolumeSettingsDialog& d = Dialog(app);
        UserDoes(app, [&d, settings] { d.SetDialog("HDMI Output", settings); });
        app.Show(d);
        d.IsLoading = true;  // the user's move, without its own store
        d.Wiedergabe.SetValue(0);
        d.IsLoading = false;
        return &d;
    };
    int round = 0;
    for (auto close : std::vector<std::function<void(VolumeSettingsDialog&)>>{
             [](VolumeSettingsDialog& d) { d.CancelButton.RaiseClick(); },
             [](VolumeSettingsDialog& d) { int esc = 27; d.KeyPress(esc); },
             [&app](VolumeSettingsDialog& d) { app.CloseRequested(d); }}) {
        desktop.SetString(CardSection("HDMI Output"), "SpeakerVolume", "50");
        VolumeSettingsDialog* d = open(true);
        UserDoes(app, [&] { close(*d); });
        EXPECT_FALSE(app.IsLoaded<VolumeSettingsDialog>()) << round;
        EXPECT_EQ(Stored("HDMI Output", "SpeakerVolume"), "0") << round;
        ++round;
    }
    desktop.SetString(CardSection("HDMI Output"), "SpeakerVolume", "50");
    VolumeSettingsDialog* live = open(false);
    UserDoes(app, [&] { live->CancelButton.RaiseClick(); });
    EXPECT_EQ(Stored("HDMI Output", "SpeakerVolume"), "50");
}

TEST_F(VolumeTest, ALiveDialogAfterASettingsOneSaysSoAndGerman) {
    App& app = Start(Language::German);
    VolumeSettingsDialog& d = Dialog(app);
    EXPECT_EQ(d.Caption(), "Vodov Edidazezuvi Razad ...");
    EXPECT_EQ(d.Label7.Caption(), "Wiedergabe");
    EXPECT_EQ(d.Label11.Caption(), "Eingang");
    EXPECT_EQ(d.MuteMicrophone.Caption(), "Ton aus");
    UserDoes(app, [&d] { d.SetDialog("USB Headset", true); });
    EXPECT_EQ(d.CancelButton.Caption(), "&Speichern");
    EXPECT_EQ(d.SetupInfo.Caption(), "Standard Lautstärke einstellen");
    UserDoes(app, [&d] { d.SetDialog("USB Headset", false); });
    EXPECT_FALSE(d.SetupInfo.Visible());
    EXPECT_EQ(d.CancelButton.Caption(), "Schließen");
}

TEST_F(VolumeTest, TheDialogAndTheSettingsPageKeepEachOthersStores) {
    App& app = Start();
    Form1& form = app.MainForm();
    UserDoes(app, [&form] { form.StartupBtn_Click(); });
    // The page shows the speakers; the dialog stores their levels meanwhile.
    VolumeSettingsDialog& d = Dialog(app);
    UserDoes(app, [&d] { d.SetDialog("Speakers (Realtek HD Audio)", true); });
    UserDoes(app, [&d] { d.CDAudio.UserSet(15); });
    // A flag ticked on the page keeps the dialog's level...
    UserDoes(app, [&form] { form.SetVolumeCheck.UserToggle(); });
    EXPECT_EQ(Stored("Speakers (Realtek HD Audio)", "CDAudioVolume"), "15");
    EXPECT_EQ(Stored("Speakers (Realtek HD Audio)", "SetVolumeOnStartup"), "1");
    // ...and the dialog closing keeps the page's flag.
    UserDoes(app, [&d] { d.CancelButton.RaiseClick(); });
    EXPECT_EQ(Stored("Speakers (Realtek HD Audio)", "SetVolumeOnStartup"), "1");
    EXPECT_EQ(Stored("Speakers (Realtek HD Audio)", "CDAudioVolume"), "15");
}

TEST_F(VolumeTest, StoredLevelsAreAppliedAtStartAndExitPerFlag) {
    const std::string headset = CardSection("USB Headset");
    desktop.SetString(headset, "SetVolumeOnStartup", "1");
    desktop.SetString(headset, "MidiVolume", "20");
    desktop.SetString(headset, "StartupVolume", "35");
    desktop.SetString(headset, "SetVolumeOnShutdown", "0");
    const std::string hdmi = CardSection("HDMI Output");
    desktop.SetString(hdmi, "SetVolumeOnShutdown", "1");
    desktop.SetString(hdmi, "MicrophoneVolume", "5");
    desktop.SetString(hdmi, "ShutdownVolume", "60");
    SetLevel(2, L::Midi, 90);
    App& app = Start();
    EXPECT_EQ(Level(1, L::Midi), 20);
    EXPECT_EQ(Level(1, L::Speaker), 35);  // then the start-up percentage
    EXPECT_EQ(Level(2, L::Midi), 90);     // no start-up flag: kept
    EXPECT_FALSE(app.IsLoaded<VolumeSettingsDialog>());

    SetLevel(1, L::Midi, 77);
    Sim().ui.answer = [](const sim::SimUi::Box&) { return mb::AnswerYes; };
    Form1& form = app.MainForm();
    EXPECT_THROW(UserDoes(app, [&form] { form.ExitBtn.RaiseClick(); }), sim::ProgramEnded);
    EXPECT_EQ(Level(2, L::Mikrofon), 5);
    EXPECT_EQ(Level(2, L::Speaker), 60);
    EXPECT_EQ(Level(1, L::Midi), 77);  // no shut-down flag: kept
}

TEST_F(VolumeTest, WithoutACardStartUpSaysSoOnce) {
    desktop.cards.clear();
    Start();
    ASSERT_EQ(Sim().ui.boxes.size(), 1u);
    EXPECT_EQ(Sim().ui.boxes[0].text, "No Soundcard found");
    EXPECT_TRUE(Sim().tray.icon);
}

// ---------------------------------------------------------------- the slider window

class SliderTest : public VolumeTest {
protected:
    // The tray's "Set volume ..." with a script for the modal window.
    void OpenSlider(App& app, std::function<void(VolumeSlider&)> script) {
        Sim().forms.modal["VolumeSlider"] = [script](ui::Form& f) { script(static_cast<VolumeSlider&>(f)); };
        Form1& form = app.MainForm();
        UserDoes(app, [&form] { form.OnTrayMenu("Set volume ..."); });
    }
};

TEST_F(SliderTest, OneColumnPerCardNamesDownwardsAndOneChangeThenClose) {
    desktop.SetString(CardSection("USB Headset"), "AliasName", "Speakers at the desk");
    desktop.SetString(CardSection("HDMI Output"), "AliasName", "Headphones");
    SetLevel(1, L::Speaker, 40);
    desktop.cards[1].volume = std::nullopt;  // reads its speaker line
    App& app = Start();
    bool ran = false;
    OpenSlider(app, [&](VolumeSlider& s) {
        ran = true;
        EXPECT_EQ(s.Width(), 2 * 840 + 755);
        EXPECT_EQ(s.Label2.Caption(), "S\rp\re\ra\rk\re\rr\rs\r \ra\rt\r..\r");
        EXPECT_EQ(s.Label3.Caption(), "H\re\ra\rd\rp\rh\ro\rn\re\rs\r");
        EXPECT_EQ(s.VScroll2.Value(), 40);
        EXPECT_EQ(s.Picture1.Picture(), ui::Image::ProgramIcon);  // the current card
        EXPECT_EQ(s.Picture2.Picture(), ui::Image::ProgramIconDisabled);
        EXPECT_FALSE(s.Picture4.Visible());
        // Inside the work area, above the taskbar at the right.
        const auto work = Sim().forms.WorkArea();
        EXPECT_LE(s.Left() + s.Width(), work.right);
        EXPECT_LE(s.Top() + s.Height(), work.bottom);
        s.VScroll2.UserSet(25);
        EXPECT_FALSE(app.IsLoaded<VolumeSlider>() && s.Visible());
    });
    EXPECT_TRUE(ran);
    EXPECT_EQ(Level(1, L::Speaker), 25);
    EXPECT_EQ(Level(1, L::Wave), 25);
    EXPECT_FALSE(app.IsLoaded<VolumeSlider>());
    EXPECT_EQ(Sim().forms.modal_left_open, 0);
}

TEST_F(SliderTest, FiveCardsFourColumnsAndEveryCountStaysOnTheScreen) {
    desktop.AddCard("Bluetooth Speaker");
    desktop.AddCard("Line Out");
    App& app = Start();
    OpenSlider(app, [&](VolumeSlider& s) {
        EXPECT_EQ(s.Width(), 4115);
        EXPECT_TRUE(s.Picture4.Visible());
        EXPECT_EQ(s.ColumnCards()[3], "Bluetooth Speaker");
        const auto work = Sim().forms.WorkArea();
        EXPECT_GE(s.Left(), work.left);
        EXPECT_LE(s.Left() + s.Width(), work.right);
        int esc = 27;
        s.KeyPress(esc);
    });
    EXPECT_FALSE(app.IsLoaded<VolumeSlider>());
    EXPECT_EQ(Level(0, L::Speaker), 50);  // Esc changes nothing
}

TEST_F(SliderTest, AClickElsewhereOrOnANameClosesItWithoutAChange) {
    App& app = Start();
    OpenSlider(app, [](VolumeSlider& s) { s.VScroll1.RaiseLostFocus(); });  // the user clicked elsewhere
    EXPECT_FALSE(app.IsLoaded<VolumeSlider>());
    OpenSlider(app, [](VolumeSlider& s) { s.Label2.RaiseClick(); });
    EXPECT_FALSE(app.IsLoaded<VolumeSlider>());
    EXPECT_EQ(Sim().forms.modal_left_open, 0);
    EXPECT_EQ(Level(0, L::Speaker), 50);
    EXPECT_EQ(Level(1, L::Speaker), 50);
}

TEST_F(SliderTest, WithoutACardOneEmptyColumn) {
    desktop.cards.clear();
    App& app = Start();
    OpenSlider(app, [&](VolumeSlider& s) {
        EXPECT_EQ(s.Width(), 755);
        EXPECT_GE(s.Left(), 0);
        s.DblClick();
    });
    EXPECT_FALSE(app.IsLoaded<VolumeSlider>());
}

TEST_F(SliderTest, APictureOpensTheDialogOfThatColumnsCard) {
    // The first card answers no capability query: the list and the device numbers differ.
    desktop.cards[0].answers = false;
    App& app = Start();
    ASSERT_EQ(app.MainForm().DeviceList.List(0), "USB Headset");
    OpenSlider(app, [&](VolumeSlider& s) {
        EXPECT_EQ(s.ColumnCards()[1], "USB Headset");  // device number 1
        // The columns of the cards show; the empty first one neither shows nor takes a move.
        EXPECT_FALSE(s.VScroll1.Visible());
        EXPECT_FALSE(s.VScroll1.Enabled());
        EXPECT_TRUE(s.VScroll2.Visible());
        EXPECT_TRUE(s.Picture3.Visible());
        EXPECT_EQ(s.Width(), 2 * 840 + 755);
        s.Picture3.RaiseClick();
    });
    ASSERT_TRUE(app.IsLoaded<VolumeSettingsDialog>());
    VolumeSettingsDialog& d = Dialog(app);
    EXPECT_EQ(d.DialogDeviceName, "HDMI Output");
    EXPECT_FALSE(d.SettingsMode);
    EXPECT_TRUE(d.Visible());
    EXPECT_FALSE(app.IsLoaded<VolumeSlider>());
}

TEST_F(VolumeTest, TheMainWindowAndTheTrayOpenTheDialog) {
    App& app = Start();
    Form1& form = app.MainForm();
    UserDoes(app, [&form] {
        form.NiknameList.UserSelect(2);
        form.OpenVolumeBrn.RaiseClick();
    });
    EXPECT_EQ(Dialog(app).DialogDeviceName, "HDMI Output");
    EXPECT_FALSE(Dialog(app).SettingsMode);
    EXPECT_TRUE(Dialog(app).Visible());
    EXPECT_TRUE(form.OpenVolumeBrn.Enabled());

    UserDoes(app, [&form] {
        form.NiknameList.UserSelect(1);
        form.OnTrayMenu("Audio Mixer ...");
    });
    EXPECT_EQ(Dialog(app).DialogDeviceName, "USB Headset");  // the selected card
    EXPECT_FALSE(Dialog(app).SettingsMode);
    VolumeSettingsDialog& d = Dialog(app);
    UserDoes(app, [&d] { d.WindowsMixerBtn.RaiseClick(); });
    EXPECT_EQ(Sim().shell.started, std::vector<std::string>{"sndvol32.exe"});
    EXPECT_TRUE(d.Visible());  // the dialog stays

    UserDoes(app, [&form] {
        form.StartupBtn_Click();
        form.SetVolumeCheck.UserToggle();
        form.SetVolumeBtn.RaiseClick();
    });
    EXPECT_TRUE(Dialog(app).SettingsMode);
    EXPECT_EQ(Dialog(app).DialogDeviceName, form.EditedDevice.GetDeviceName());
}

}  // namespace
}  // namespace varlindo::test
