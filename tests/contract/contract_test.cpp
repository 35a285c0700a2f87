#include <gtest/gtest.h>

#include "contract.h"

namespace varlindo::contract {
namespace {

constexpr const char* kKey = "Software\\Varlindo contract test";

class RegistryContract : public ::testing::Test {
protected:
    void SetUp() override {
        auto key = reg().CreateKey(hkey::CurrentUser, kKey);
        ASSERT_TRUE(key);
        for (const char* name : {"Text", "Number", "Inner", "Expand", "Umlaut", ""}) reg().DeleteValue(*key, name);
        reg().CloseKey(*key);
    }
    RegistryPort& reg() { return Ports().registry; }
};

TEST_F(RegistryContract, ValuesKeepTheirTypeAndData) {
    auto key = reg().CreateKey(hkey::CurrentUser, std::string(kKey) + "\\Deeper\\Still");
    ASSERT_TRUE(key);
    reg().CloseKey(*key);

    key = reg().OpenKey(hkey::CurrentUser, kKey);
    ASSERT_TRUE(key);
    EXPECT_TRUE(reg().SetValue(*key, "Text", RegValue{regtype::Sz, "USB Headset"}));
    EXPECT_TRUE(reg().SetValue(*key, "Number", RegValue{regtype::DWord, std::string("\x03\x00\x00\x00", 4)}));
    EXPECT_TRUE(reg().SetValue(*key, "Inner", RegValue{regtype::Sz, std::string("ab\0cd", 5)}));
    EXPECT_TRUE(reg().SetValue(*key, "Expand", RegValue{regtype::ExpandSz, "%TEMP%"}));
    EXPECT_TRUE(reg().SetValue(*key, "Umlaut", RegValue{regtype::Sz, "Kopfh\xC3\xB6rer \xE2\x80\x93 USB"}));

    auto text = reg().QueryValue(*key, "text");  // names ignore case
    ASSERT_TRUE(text);
    EXPECT_EQ(text->type, regtype::Sz);
    EXPECT_EQ(text->data, "USB Headset");
    auto number = reg().QueryValue(*key, "Number");
    ASSERT_TRUE(number);
    EXPECT_EQ(number->type, regtype::DWord);
    EXPECT_EQ(number->data, std::string("\x03\x00\x00\x00", 4));
    auto inner = reg().QueryValue(*key, "Inner");
    ASSERT_TRUE(inner);
    EXPECT_EQ(inner->data, std::string("ab\0cd", 5));
    EXPECT_EQ(reg().QueryValue(*key, "Expand")->type, regtype::ExpandSz);
    EXPECT_EQ(reg().QueryValue(*key, "Umlaut")->data, "Kopfh\xC3\xB6rer \xE2\x80\x93 USB");

    EXPECT_FALSE(reg().QueryValue(*key, "Missing"));
    EXPECT_TRUE(reg().DeleteValue(*key, "Text"));
    EXPECT_FALSE(reg().QueryValue(*key, "Text"));
    EXPECT_FALSE(reg().DeleteValue(*key, "Text"));
    reg().CloseKey(*key);
}

TEST_F(RegistryContract, MissingKeysAreNotOpenedButCreated) {
    EXPECT_FALSE(reg().OpenKey(hkey::CurrentUser, std::string(kKey) + "\\Not there"));
    auto key = reg().OpenKey(hkey::CurrentUser, std::string(kKey) + "\\");
    ASSERT_TRUE(key);  // a trailing separator names the same key
    reg().CloseKey(*key);
    EXPECT_FALSE(reg().CreateKey(hkey::None, "Software"));
    EXPECT_FALSE(reg().OpenKey(hkey::None, "Software"));
}

TEST(FileContract, SmallFilesFoldersAndTheTemporaryFolder) {
    FilePort& files = Ports().files;
    const std::string folder = ScratchFolder();
    const std::string file = folder + "probe file.txt";
    files.RemoveFile(file);
    EXPECT_FALSE(files.FileExists(file));
    EXPECT_FALSE(files.IsFolder(file).has_value());
    ASSERT_TRUE(files.WriteTextFile(file, " \r\n"));
    EXPECT_TRUE(files.FileExists(file));
    EXPECT_EQ(files.IsFolder(file), false);
    EXPECT_EQ(files.IsFolder(folder.substr(0, folder.size() - 1)), true);
    EXPECT_FALSE(files.FileExists(folder.substr(0, folder.size() - 1)));
    EXPECT_TRUE(files.RemoveFile(file));
    EXPECT_FALSE(files.FileExists(file));

    const std::string temp = files.TempFolder();
    ASSERT_FALSE(temp.empty());
    EXPECT_TRUE(temp.back() == '\\' || temp.back() == '/');
    EXPECT_EQ(files.IsFolder(temp.substr(0, temp.size() - 1)), true);
    EXPECT_FALSE(files.Environment("USERPROFILE").empty());
}

TEST(FileContract, CurrentFolderFollowsAndComesBack) {
    FilePort& files = Ports().files;
    const std::string before = files.CurrentFolder();
    const std::string folder = ScratchFolder();
    ASSERT_TRUE(files.SetCurrentFolder(folder));
    EXPECT_TRUE(files.SetCurrentDrive(folder[0]));
    EXPECT_FALSE(files.SetCurrentFolder(folder + "no such folder"));
    ASSERT_TRUE(files.SetCurrentFolder(before));
    EXPECT_EQ(files.CurrentFolder(), before);
}

TEST(WaveOutContract, NamesOfTheDevicesThatAnswer) {
    WaveOutPort& waveout = Ports().waveout;
    const int count = waveout.DeviceCount();
    EXPECT_GE(count, 1);
    for (int n = 0; n < count; ++n) {
        auto name = waveout.ProductName(n);
        ASSERT_TRUE(name) << n;
        EXPECT_FALSE(name->empty());
        EXPECT_LE(name->size(), 31u * 3);
        EXPECT_EQ(name->find('\0'), std::string::npos);
    }
    EXPECT_FALSE(waveout.ProductName(count));
    EXPECT_FALSE(waveout.ProductName(-1));
}

TEST(MixerContract, TheSpeakerLineOfACardTakesAndGivesBackItsLevel) {
    MixerPort& mixer = Ports().mixer;
    ASSERT_GE(mixer.MixerCount(), 1);
    const int number = mixer.MixerOfWaveOut(0).value_or(0);
    auto h = mixer.Open(number);
    ASSERT_TRUE(h);
    auto line = mixer.LineByComponentType(*h, mixer::DstSpeakers);
    ASSERT_TRUE(line);
    auto volume = mixer.ControlByType(*h, *line, mixer::ControlVolume);
    ASSERT_TRUE(volume);
    EXPECT_GT(volume->maximum, 100);
    EXPECT_TRUE(mixer.SetValue(*h, volume->id, 50 * (static_cast<std::uint32_t>(volume->maximum) / 100)));
    EXPECT_EQ(mixer.GetValue(*h, volume->id), 50 * (static_cast<std::uint32_t>(volume->maximum) / 100));
    EXPECT_FALSE(mixer.LineByComponentType(*h, 0xFFFF));
    EXPECT_EQ(mixer.Close(*h), 0u);
    EXPECT_FALSE(mixer.Open(mixer.MixerCount()));
}

}  // namespace
}  // namespace varlindo::contract
