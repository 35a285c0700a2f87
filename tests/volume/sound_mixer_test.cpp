#include <gtest/gtest.h>

#include "support/sim_fixture.h"
#include "volume/sound_mixer.h"

namespace varlindo::test {
namespace {

class MixerTest : public SimTest {
protected:
    MixerTest() : sim(desktop), mixer(sim.Ports()) {}
    std::uint32_t Raw(int mixer_number, std::uint32_t component, std::uint32_t type) {
        return desktop.mixers[static_cast<size_t>(mixer_number)].Control(component, type)->value;
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
    desktop.mixers[0].Control(mixer::DstSpeakers, mixer::ControlVolume)->maximum = 200;
    desktop.mixers[0].Control(mixer::DstSpeakers, mixer::ControlVolume)->value = 1;  // 0.5 %
    desktop.mixers[0].Control(mixer::SrcWaveOut, mixer::ControlVolume)->maximum = 200;
    desktop.mixers[0].Control(mixer::SrcWaveOut, mixer::ControlVolume)->value = 3;  // 1.5 %
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
    desktop.mixers[2].opens = false;
    EXPECT_FALSE(mixer.OpenMixer(2));
    EXPECT_TRUE(mixer.OpenMixer(0));
}

TEST_F(MixerTest, MissingLinesLeaveEmptySlotsThatNeitherReadNorWrite) {
    desktop.mixers[0].lines.erase(mixer::SrcCompactDisc);
    desktop.mixers[1].Control(mixer::SrcCompactDisc, mixer::ControlVolume)->value = 65535;
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
    desktop.waveout_to_mixer = {2, 0, 1};
    ASSERT_TRUE(mixer.OpenMixer(1));
    mixer.SetLineVolume(SoundMixer::SpeakerVolume, 20);
    mixer.CloseMixer();
    EXPECT_EQ(Raw(0, mixer::DstSpeakers, mixer::ControlVolume), 20u * 655);
    EXPECT_EQ(Raw(1, mixer::DstSpeakers, mixer::ControlVolume), 32768u);
}

class CardVolumeTest : public SimTest {};

TEST_F(CardVolumeTest, SetVolumeClampsAndDrivesSpeakerAndWave) {
    Form1& form = StartApp().MainForm();
    std::int16_t volume = 150;
    form.SetVolume(1, volume);
    EXPECT_EQ(volume, 100);
    EXPECT_EQ(desktop.mixers[1].Control(mixer::DstSpeakers, mixer::ControlVolume)->value, 99u * 655);
    EXPECT_EQ(desktop.mixers[1].Control(mixer::SrcWaveOut, mixer::ControlVolume)->value, 99u * 655);
    volume = -5;
    form.SetVolume(1, volume);
    EXPECT_EQ(volume, 0);
    EXPECT_EQ(desktop.mixers[1].Control(mixer::SrcWaveOut, mixer::ControlVolume)->value, 0u);

    volume = 40;
    form.SetVolume(3, volume);
    ASSERT_EQ(Sim().boxes.size(), 1u);
    EXPECT_EQ(Sim().boxes[0].text, "Devicenummer stimmt nicht (zu gro\xC3\x9F!)");
    EXPECT_EQ(form.GetVolume(3), -1);
}

TEST_F(CardVolumeTest, GetVolumeReadsTheLeftChannelOrElseTheSpeakerLine) {
    Form1& form = StartApp().MainForm();
    desktop.cards[0].volume = 0x1234FFFF;
    EXPECT_EQ(form.GetVolume(0), 100);
    desktop.cards[0].volume = 0xFFFF8000;
    EXPECT_EQ(form.GetVolume(0), 50);
    desktop.cards[2].volume = std::nullopt;  // the driver cannot say
    desktop.mixers[2].Control(mixer::DstSpeakers, mixer::ControlVolume)->value = 30 * 655;
    EXPECT_EQ(form.GetVolume(2), 30);
}

}  // namespace
}  // namespace varlindo::test
