#include <gtest/gtest.h>

#include "base/number.h"
#include "core/sound_device_obj.h"
#include "support/sim_fixture.h"

namespace varlindo::test {
namespace {

using Line = SoundDeviceObj::Line;

class SoundDeviceObjTest : public SimTest {
protected:
    SoundDeviceObjTest() : sim(desktop), reg(sim.Ports()) {}
    sim::SimPlatform sim;
    Registry reg;
};

TEST_F(SoundDeviceObjTest, CardWithoutStoredSectionLoadsDefaults) {
    SoundDeviceObj card(reg);
    card.Load("  USB Headset ");
    EXPECT_EQ(card.GetDeviceName(), "USB Headset");
    EXPECT_EQ(card.GetAliasName(), "USB Headset");
    EXPECT_EQ(card.GetStartupVolume(), 0);
    EXPECT_EQ(card.GetShutdownVolume(), 0);
    EXPECT_FALSE(card.Get_SetOnStartup());
    EXPECT_FALSE(card.Get_SetOnShutdown());
    EXPECT_EQ(card.GetDeviceID(), 1);
    EXPECT_FALSE(card.Changed());
    for (int l = 0; l < Line::LineCount; ++l) {
        EXPECT_EQ(card.GetLineVolume(Line(l)), 50);
        EXPECT_EQ(card.GetLineMute(Line(l)), 0);
    }
    EXPECT_TRUE(sim.ui.boxes.empty());
}

TEST_F(SoundDeviceObjTest, ChangedTracksTheGeneralFieldsOnly) {
    SoundDeviceObj card(reg);
    card.Load("USB Headset");
    card.SetAliasName("USB Headset");
    EXPECT_FALSE(card.Changed());
    card.Set_WaveVolume(10);
    EXPECT_FALSE(card.Changed());
    card.SetAliasName("Headset");
    EXPECT_TRUE(card.Changed());
    card.SaveChanges();
    EXPECT_FALSE(card.Changed());
    EXPECT_EQ(desktop.String(CardSection("USB Headset"), "AliasName"), "Headset");
    EXPECT_EQ(desktop.String(CardSection("USB Headset"), "WaveVolume"), "10");

    const size_t writes = desktop.writes.size();
    card.SaveChanges();
    EXPECT_EQ(desktop.writes.size(), writes);
}

TEST_F(SoundDeviceObjTest, EveryLineKeepsItsOwnVolumeAndMute) {
    for (int l = 0; l < Line::LineCount; ++l) {
        SoundDeviceObj card(reg);
        card.Load("HDMI Output");
        card.SetLineMute(Line(l), 1);
        card.SetLineVolume(Line(l), static_cast<std::int16_t>(70 + l));
        card.SaveAll();

        SoundDeviceObj again(reg);
        again.Load("HDMI Output");
        for (int o = 0; o < Line::LineCount; ++o) {
            EXPECT_EQ(again.GetLineMute(Line(o)), o == l ? 1 : 0) << "line " << l << " other " << o;
            EXPECT_EQ(again.GetLineVolume(Line(o)), o == l ? 70 + l : 50) << "line " << l << " other " << o;
        }
        card.SetLineMute(Line(l), 0);
        card.SetLineVolume(Line(l), 50);
        card.SaveAll();
    }
    SoundDeviceObj named(reg);
    named.Set_WaveMute(1);
    EXPECT_EQ(named.Get_WaveMute(), 1);
    EXPECT_EQ(named.Get_MidiMute(), 0);
    named.Set_MikrofonVolume(33);
    EXPECT_EQ(named.GetLineVolume(Line::Mikrofon), 33);
    EXPECT_STREQ(SoundDeviceObj::VolumeKey(Line::Mikrofon), "MicrophoneVolume");
}

TEST_F(SoundDeviceObjTest, SaveAllStoresTheDeviceNameForAnEmptyAliasAndRefusesAnEmptyDevice) {
    SoundDeviceObj card(reg);
    card.Load("USB Headset");
    card.SetAliasName("   ");
    card.Set_SetOnShutdown(true);
    card.SetStartupVolume(-3);
    card.SaveAll();
    EXPECT_EQ(desktop.String(CardSection("USB Headset"), "AliasName"), "USB Headset");
    EXPECT_EQ(desktop.String(CardSection("USB Headset"), "SetVolumeOnShutdown"), "1");
    EXPECT_EQ(desktop.String(CardSection("USB Headset"), "StartupVolume"), "-3");

    SoundDeviceObj empty(reg);
    empty.SetStartupVolume(5);
    const size_t writes = desktop.writes.size();
    empty.SaveAll();
    EXPECT_EQ(desktop.writes.size(), writes);
    EXPECT_TRUE(empty.Changed());
    ASSERT_EQ(sim.ui.boxes.size(), 1u);
    EXPECT_EQ(sim.ui.boxes[0].text, "Fehler-Leerer Device \xC3\xBC" "bergeben");
}

TEST_F(SoundDeviceObjTest, LoadOfAnEmptyNameSaysSoAndStillLoads) {
    SoundDeviceObj card(reg);
    card.Load("   ");
    ASSERT_EQ(sim.ui.boxes.size(), 1u);
    EXPECT_EQ(sim.ui.boxes[0].text, "No Devicename found!");
    EXPECT_EQ(sim.ui.boxes[0].title, "");
    EXPECT_EQ(card.GetDeviceID(), 0);  // an empty name matches the first card
}

TEST_F(SoundDeviceObjTest, BrokenStoredNumbersReadAsTheirDefaults) {
    const std::string section = CardSection("USB Headset");
    desktop.SetString(section, "AliasName", "Headset");
    desktop.SetString(section, "SetVolumeOnStartup", "yes");
    desktop.SetString(section, "StartupVolume", "40000");
    desktop.SetString(section, "ShutdownVolume", " 12.5 ");
    desktop.SetString(section, "SetVolumeOnShutdown", "-1");
    desktop.SetString(section, "SpeakerMute", "1");
    desktop.SetString(section, "WaveVolume", "-32769");
    desktop.SetString(section, "MidiVolume", "80");

    SoundDeviceObj card(reg);
    card.SetAliasName("stale");
    card.Load("USB Headset");
    EXPECT_EQ(card.GetAliasName(), "Headset");
    EXPECT_FALSE(card.Get_SetOnStartup());
    EXPECT_EQ(card.GetStartupVolume(), 0);
    EXPECT_EQ(card.GetShutdownVolume(), 12);  // rounded half to even
    EXPECT_TRUE(card.Get_SetOnShutdown());
    EXPECT_EQ(card.Get_WiedergabeMute(), 1);
    EXPECT_EQ(card.Get_WaveVolume(), 50);
    EXPECT_EQ(card.Get_MidiVolume(), 80);
    EXPECT_EQ(card.GetDeviceID(), 1);
    EXPECT_FALSE(card.Changed());

    EXPECT_EQ(ParseInt16("32767"), 32767);
    EXPECT_EQ(ParseInt16("-32768"), -32768);
    EXPECT_EQ(ParseInt16("32768"), std::nullopt);
    EXPECT_EQ(ParseInt16("13.5"), 14);
    EXPECT_EQ(ParseInt16(""), std::nullopt);
    EXPECT_EQ(ParseInt16("5x"), std::nullopt);
}

TEST_F(SoundDeviceObjTest, ClearKeepsShutdownFlagAndLines) {
    SoundDeviceObj card(reg);
    card.Load("USB Headset");
    card.Set_SetOnShutdown(true);
    card.Set_SetOnStartup(true);
    card.Set_AuxVolume(12);
    card.Clear();
    EXPECT_EQ(card.GetDeviceName(), "");
    EXPECT_EQ(card.GetDeviceID(), -1);
    EXPECT_FALSE(card.Get_SetOnStartup());
    EXPECT_TRUE(card.Get_SetOnShutdown());
    EXPECT_EQ(card.Get_AuxVolume(), 12);
    EXPECT_FALSE(card.Changed());
}

TEST_F(SoundDeviceObjTest, ReverseVolumesDeviceNumbersAndDefaultTest) {
    SoundDeviceObj card(reg);
    EXPECT_EQ(card.GetStartupVolumeReverse(), 100);
    card.SetStartupVolume(70);
    EXPECT_EQ(card.GetStartupVolumeReverse(), 30);
    card.SetStartupVolume(-1);
    EXPECT_EQ(card.GetStartupVolumeReverse(), 50);
    card.SetShutdownVolume(-7);
    EXPECT_EQ(card.GetShutdownVolumeReverse(), 50);

    desktop.cards[0].name = "USB Headset Pro";
    EXPECT_EQ(card.GetInitialDeviceID("USB Headset"), 0);  // first in enumeration order
    EXPECT_EQ(card.GetInitialDeviceID("usb headset"), -1);
    desktop.cards[0].answers = false;
    EXPECT_EQ(card.GetInitialDeviceID("USB Headset"), 1);
    EXPECT_EQ(card.GetInitialDeviceID(""), 1);

    desktop.SetString(kMapper, "Playback", "USB Headset");
    card.Load("USB Headset");
    EXPECT_TRUE(card.Is_DefaultDevice());
    desktop.SetString(kMapper, "Playback", "usb headset");
    EXPECT_FALSE(card.Is_DefaultDevice());
    desktop.SetString(kMapper, "Playback", " USB Headset");
    EXPECT_FALSE(card.Is_DefaultDevice());
}

}  // namespace
}  // namespace varlindo::test
