#include <gtest/gtest.h>

#include "core/registry.h"
#include "platform/sim/sim_platform.h"
#include "support/sim_fixture.h"

namespace varlindo::test {
namespace {

class RegistryTest : public SimTest {
protected:
    RegistryTest() : sim(desktop), reg(sim.Ports()) {
        desktop.SetString(kMapper, "Playback", "USB Headset");
    }
    sim::SimPlatform sim;
    Registry reg;
};

TEST_F(RegistryTest, RootKeyFromNameKnowsShortAndLongNamesInAnyCase) {
    EXPECT_EQ(Registry::RootKeyFromName("current_user"), hkey::CurrentUser);
    EXPECT_EQ(Registry::RootKeyFromName("HKEY_Current_User"), hkey::CurrentUser);
    EXPECT_EQ(Registry::RootKeyFromName("CLASSES_ROOT"), hkey::ClassesRoot);
    EXPECT_EQ(Registry::RootKeyFromName("hkey_local_machine"), hkey::LocalMachine);
    EXPECT_EQ(Registry::RootKeyFromName("users"), hkey::Users);
    EXPECT_EQ(Registry::RootKeyFromName("current_config"), hkey::CurrentConfig);
    EXPECT_EQ(Registry::RootKeyFromName("hkey_dyn_data"), hkey::DynData);
    EXPECT_EQ(Registry::RootKeyFromName("hkey_performance_data"), hkey::None);
    EXPECT_EQ(Registry::RootKeyFromName("HKCU"), hkey::None);
}

TEST_F(RegistryTest, ReadValueByPathTrimsAndSplitsThePath) {
    const std::string path = "HKEY_CURRENT_USER\\Software\\Microsoft\\Multimedia\\Sound Mapper\\Playback";
    EXPECT_EQ(reg.ReadValueByPath(path), "USB Headset");
    EXPECT_EQ(reg.ReadValueByPath(path + "\\"), "USB Headset");
    EXPECT_EQ(reg.ReadValueByPath("  hkey_current_user\\Software\\Microsoft\\Multimedia\\Sound Mapper\\Playback  "),
              "USB Headset");
    EXPECT_EQ(reg.ReadValueByPath("current_user\\Software\\Microsoft\\Multimedia\\Sound Mapper\\Playback"), "");
    EXPECT_EQ(reg.ReadValueByPath("HKEY_CURRENT_USER\\Software\\Microsoft\\Multimedia\\Sound Mapper\\Nothing"), "");

    desktop.SetString("HKCU", "TopLevel", "at the root");
    EXPECT_EQ(reg.ReadValueByPath("HKEY_CURRENT_USER\\TopLevel"), "at the root");
    EXPECT_EQ(sim.registry.OpenKeys(), 0);
}

TEST_F(RegistryTest, OnlyPlainStringsReadAsText) {
    desktop.SetValue("HKCU\\Software\\T", "Expand", RegValue{regtype::ExpandSz, "%TEMP%"});
    desktop.SetDWord("HKCU\\Software\\T", "Number", 5);
    desktop.SetValue("HKCU\\Software\\T", "Inner", RegValue{regtype::Sz, std::string("before\0after", 12)});
    EXPECT_EQ(reg.ReadValueByPath("HKEY_CURRENT_USER\\Software\\T\\Expand"), "");
    EXPECT_EQ(reg.ReadValueByPath("HKEY_CURRENT_USER\\Software\\T\\Number"), "");
    EXPECT_EQ(reg.ReadValueByPath("HKEY_CURRENT_USER\\Software\\T\\Inner"), "before");
    EXPECT_EQ(reg.ReadStringValue(hkey::CurrentUser, "Software\\T", "Missing", "fallback"), "fallback");
}

TEST_F(RegistryTest, WritesCreateKeysAndUnknownRootsWriteNothing) {
    reg.WriteStringValue("HKEY_CURRENT_USER", "Software\\New\\Deep", "Name", "text");
    reg.WriteDWordValue("current_user", "Software\\New", "Count", 3);
    EXPECT_EQ(desktop.String("HKCU\\Software\\New\\Deep", "Name"), "text");
    EXPECT_EQ(desktop.DWord("HKCU\\Software\\New", "Count"), 3u);

    const size_t before = desktop.writes.size();
    reg.WriteStringValue("hkey_performance_data", "Software\\X", "Name", "text");
    reg.WriteStringValue("nonsense", "Software\\X", "Name", "text");
    EXPECT_EQ(desktop.writes.size(), before);
    EXPECT_FALSE(desktop.KeyExists("HKCU\\Software\\X"));

    reg.DeleteRegValue("HKEY_CURRENT_USER", "Software\\New\\Deep", "Name");
    EXPECT_FALSE(desktop.Value("HKCU\\Software\\New\\Deep", "Name"));
    reg.DeleteRegValue("HKEY_CURRENT_USER", "Software\\NotThere", "Name");
    EXPECT_FALSE(desktop.KeyExists("HKCU\\Software\\NotThere"));
    EXPECT_EQ(sim.registry.OpenKeys(), 0);
}

TEST_F(RegistryTest, ReadDWordValueTellsMissingFromZero) {
    EXPECT_EQ(reg.ReadDWordValue("HKEY_CURRENT_USER", "Software\\Microsoft\\Multimedia\\Sound Mapper",
                                 "PreferredOnly", -32),
              -32);
    desktop.SetDWord(kMapper, "PreferredOnly", 0);
    EXPECT_EQ(reg.ReadDWordValue("HKEY_CURRENT_USER", "Software\\Microsoft\\Multimedia\\Sound Mapper",
                                 "PreferredOnly", -32),
              0);
    EXPECT_EQ(reg.ReadDWordValue("HKEY_CURRENT_USER", "Software\\Missing", "PreferredOnly", 7), 7);
}

TEST_F(RegistryTest, SettingsStoreDefaultsAndSectionNames) {
    EXPECT_EQ(reg.GetAppSetting("Settings", "PlaybackCheck", "1"), "1");
    desktop.SetString(kSettings, "PlaybackCheck", "");
    EXPECT_EQ(reg.GetAppSetting("Settings", "PlaybackCheck", "1"), "1");
    EXPECT_EQ(reg.GetAppSetting("Settings", "PlaybackCheck", ""), "");
    EXPECT_EQ(reg.GetAppSetting("Settings", "Missing", ""), "");

    reg.SaveAppSetting("Settings", "RecordCheck", "0");
    EXPECT_EQ(desktop.String(kSettings, "RecordCheck"), "0");
    reg.SaveAppSetting("Settings\\", "RecordCheck", 1);
    EXPECT_EQ(desktop.String(kSettings, "RecordCheck"), "1");
    EXPECT_EQ(reg.GetAppSetting("Settings\\", "RecordCheck", "0"), "1");
    EXPECT_TRUE(sim.ui.boxes.empty());
}

TEST_F(RegistryTest, BlankApplicationTitleEndsTheProgramWithTheGermanNote) {
    Registry untitled(sim.Ports(), "  ");
    EXPECT_THROW(untitled.SaveAppSetting("Settings", "A", "1"), sim::ProgramEnded);
    ASSERT_EQ(sim.ui.boxes.size(), 1u);
    EXPECT_EQ(sim.ui.boxes[0].text,
              "Der Programm-Name wurde nicht festgelegt\r(Wird f\xC3\xBCr Registry etc. ben\xC3\xB6tigt)\r"
              "Bitte die AppDefOps.Initialize - Funktion aufrufen!");
    EXPECT_FALSE(desktop.Value(kSettings, "A"));
}

}  // namespace
}  // namespace varlindo::test
