#include <gtest/gtest.h>

#include "support/sim_fixture.h"
#include "base/number.h"
#include "volume/sound_mixer.h"

namespace varlindo::test {
namespace {

class MixerTest : public SimTest {
protected:
    MixerTest() : sim(desktop), mixer(sim.Ports()) {}
    // The raw value of a control of card N's mixer.
    std::uint32_t Raw(int card, std::uint32_t component, std::uint32_t type) {
        return desktop.CardMixer(card).Control(component, type)->value;
    }
    sim::SimPlatform sim;
    SoundMixer mixer;
};

TEST_F(MixerTest, PercentScalesToTheControlRangeAndBack) {
    ASSERT_TRUE(mixer.OpenMixer(1));
    EXPECT_TRUE(mixer.SetLineVolume(SoundMixer::WaveVolume, 50));
    EXPECT_EQ(Raw(1, mixer::SrcWaveOut, mixer::ControlVolume), 50u * 655);
    EXPECT_EQ(mixer.GetLineVolume(SoundMixer::WaveVolume), 50);
    EXPECT_TRUE(mixer.SetLineVolume(SoundMixer::WaveVolume, 100));
    EXPECT_EQ(Raw(1, mixer::SrcWaveOut, mixer::ControlVolume), 99u * 655);
    EXPECT_EQ(mixer.GetLineVolume(SoundMixer::WaveVolume), 99);
    EXPECT_TRUE(mixer.SetLineVolume(SoundMixer::WaveVolume, -5));
    EXPECT_EQ(Raw(1, mixer::SrcWaveOut, mixer::ControlVolume), 0u);
    EXPECT_EQ(mixer.SetLineMute(SoundMixer::MidiMute, -1), 1);
    EXPECT_EQ(Raw(1, mixer::SrcSynthesizer, mixer::ControlMute), 1u);
    EXPECT_EQ(mixer.GetLineMute(SoundMixer::MidiMute), 1);
    EXPECT_EQ(Raw(0, mixer::SrcWaveOut, mixer::ControlVolume), 32768u);  // other cards untouched
    EXPECT_EQ(mixer.CloseMixer(), 0u);
    EXPECT_FALSE(mixer.SetLineVolume(SoundMixer::WaveVolume, 10));  // closed
}

TEST_F(MixerTest, ReadingRoundsHalvesToEven) {
    desktop.CardMixer(0).Control(mixer::DstSpeakers, mixer::ControlVolume)->maximum = 200;
    desktop.CardMixer(0).Control(mixer::DstSpeakers, mixer::ControlVolume)->value = 1;  // 0.5 %
    desktop.CardMixer(0).Control(mixer::SrcWaveOut, mixer::ControlVolume)->maximum = 200;
    desktop.CardMixer(0).Control(mixer::SrcWaveOut, mixer::ControlVolume)->value = 3;  // 1.5 %
    ASSERT_TRUE(mixer.OpenMixer(0));
    EXPECT_EQ(mixer.GetLineVolume(SoundMixer::SpeakerVolume), 0);
    EXPECT_EQ(mixer.GetLineVolume(SoundMixer::WaveVolume), 2);
    EXPECT_EQ(RoundHalfEven(2.5), 2);
    EXPECT_EQ(RoundHalfEven(3.5), 4);
    EXPECT_EQ(RoundHalfEven(76.3), 76);
}

TEST_F(MixerTest, OpenRefusesNumbersOutsideTheMixers) {
    EXPECT_FALSE(mixer.OpenMixer(-1));
    EXPECT_FALSE(mixer.OpenMixer(3));
    desktop.CardMixer(2).opens = false;
    EXPECT_FALSE(mixer.OpenMixer(2));
    EXPECT_TRUE(mixer.OpenMixer(0));
}

TEST_F(MixerTest, MissingLinesLeaveEmptySlotsThatNeitherReadNorWrite) {
    desktop.CardMixer(0).lines.erase(mixer::SrcCompactDisc);
    desktop.CardMixer(1).Control(mixer::SrcCompactDisc, mixer::ControlVolume)->value = 65535;
    ASSERT_TRUE(mixer.OpenMixer(1));  // fills the CD slot
    mixer.CloseMixer();
    ASSERT_TRUE(mixer.OpenMixer(0));
    EXPECT_EQ(mixer.GetLineVolume(SoundMixer::CDAudioVolume), 0);
    EXPECT_FALSE(mixer.SetLineVolume(SoundMixer::CDAudioVolume, 40));
    EXPECT_EQ(mixer.SetLineMute(SoundMixer::CDAudioMute, 1), 0);
    EXPECT_EQ(Raw(1, mixer::SrcCompactDisc, mixer::ControlVolume), 65535u);
    EXPECT_FALSE(mixer.SetLineVolume(21, 40));
    EXPECT_EQ(mixer.GetLineVolume(21), 0);
    EXPECT_EQ(mixer.GetLineMute(14), 0);
}

TEST_F(MixerTest, TheCardsOwnMixerIsFoundThroughThePlatformMapping) {
    // Mixer 0 belongs to a recording device: card N's mixer is never mixer N here.
    ASSERT_EQ(sim.mixer.MixerOfWaveOut(1), 2);
    ASSERT_TRUE(mixer.OpenMixer(1));
    mixer.SetLineVolume(SoundMixer::SpeakerVolume, 20);
    mixer.CloseMixer();
    EXPECT_EQ(sim.mixer.opened, std::vector<int>{2});
    EXPECT_EQ(Raw(1, mixer::DstSpeakers, mixer::ControlVolume), 20u * 655);
    EXPECT_EQ(Raw(0, mixer::DstSpeakers, mixer::ControlVolume), 32768u);
    EXPECT_EQ(Raw(2, mixer::DstSpeakers, mixer::ControlVolume), 32768u);
}

TEST_F(MixerTest, ACardTheMappingGivesNoMixerHasNoVolume) {
    // Card 3 has no mixer of its own; mixer 3 exists and belongs to card 2.
    desktop.AddCard("Bluetooth Speaker", false);
    desktop.AddCard("Line Out");
    ASSERT_EQ(sim.mixer.MixerCount(), 5);
    EXPECT_FALSE(mixer.OpenMixer(3));
    EXPECT_TRUE(sim.mixer.opened.empty());

    Form1& form = StartApp().MainForm();
    std::int16_t volume = 70;
    form.SetVolume(3, volume);
    for (int card : {0, 1, 2, 4}) {
        EXPECT_EQ(Raw(card, mixer::DstSpeakers, mixer::ControlVolume), 32768u) << card;
        EXPECT_EQ(Raw(card, mixer::SrcWaveOut, mixer::ControlVolume), 32768u) << card;
    }
    desktop.cards[3].volume = std::nullopt;  // the driver cannot say either
    EXPECT_EQ(form.GetVolume(3), 0);
    EXPECT_TRUE(Sim().mixer.opened.empty());
}

class CardVolumeTest : public SimTest {};

TEST_F(CardVolumeTest, SetVolumeClampsAndDrivesSpeakerAndWave) {
    Form1& form = StartApp().MainForm();
    std::int16_t volume = 150;
    form.SetVolume(1, volume);
    EXPECT_EQ(volume, 100);
    EXPECT_EQ(desktop.CardMixer(1).Control(mixer::DstSpeakers, mixer::ControlVolume)->value, 99u * 655);
    EXPECT_EQ(desktop.CardMixer(1).Control(mixer::SrcWaveOut, mixer::ControlVolume)->value, 99u * 655);
    volume = -5;
    form.SetVolume(1, volume);
    EXPECT_EQ(volume, 0);
    EXPECT_EQ(desktop.CardMixer(1).Control(mixer::SrcWaveOut, mixer::ControlVolume)->value, 0u);

    volume = 40;
    form.SetVolume(3, volume);
    ASSERT_EQ(Sim().ui.boxes.size(), 1u);
    EXPECT_EQ(Sim().ui.boxes[0].text, "Devicenummer stimmt nicht (zu gro\xC3\x9F!)");
    EXPECT_EQ(form.GetVolume(3), -1);
}

TEST_F(CardVolumeTest, GetVolumeReadsTheLeftChannelOrElseTheSpeakerLine) {
    Form1& form = StartApp().MainForm();
    desktop.cards[0].volume = 0x1234FFFF;
    EXPECT_EQ(form.GetVolume(0), 100);
    desktop.cards[0].volume = 0xFFFF8000;
    EXPECT_EQ(form.GetVolume(0), 50);
    desktop.cards[2].volume = std::nullopt;  // the driver cannot say
    desktop.CardMixer(2).Control(mixer::DstSpeakers, mixer::ControlVolume)->value = 30 * 655;
    EXPECT_EQ(form.GetVolume(2), 30);
}

}  // namespace
}  // namespace varlindo::test
