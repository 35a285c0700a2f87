#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <thread>

#include "contract.h"
#include "ui/widgets.h"

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
    EXPECT_FALSE(reg().ReadFailed());  // not there is no failure
    EXPECT_FALSE(reg().DeleteValue(*key, "Text"));
    reg().CloseKey(*key);
}

TEST_F(RegistryContract, MissingKeysAreNotOpenedButCreated) {
    EXPECT_FALSE(reg().OpenKey(hkey::CurrentUser, std::string(kKey) + "\\Not there"));
    EXPECT_FALSE(reg().ReadFailed());
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

// Entries by name, folders marked with a trailing "\", in the order of their names.
std::vector<std::string> Names(const std::vector<FilePort::Entry>& entries) {
    std::vector<std::string> names;
    for (const FilePort::Entry& e : entries) names.push_back(e.name + (e.folder ? "\\" : ""));
    std::sort(names.begin(), names.end());
    return names;
}

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

TEST(FileContract, AFolderListsWhatItHoldsButNotWhatIsHidden) {
    FilePort& files = Ports().files;
    const std::string folder = ScratchFolder() + "Listing";
    for (const char* name : {"\\Sub folder", "\\Kopfh\xC3\xB6rer", "\\Hidden folder"}) MakeFolder(folder + name);
    files.RemoveFile(folder + "\\hidden.txt");  // a hidden file cannot be written over
    ASSERT_TRUE(files.WriteTextFile(folder + "\\Readme.txt", "x"));
    ASSERT_TRUE(files.WriteTextFile(folder + "\\hidden.txt", "x"));
    MakeHidden(folder + "\\hidden.txt");
    MakeHidden(folder + "\\Hidden folder");

    const std::vector<std::string> expected = {"Kopfh\xC3\xB6rer\\", "Readme.txt", "Sub folder\\"};
    auto listed = files.ListFolder(folder);
    ASSERT_TRUE(listed);
    EXPECT_EQ(Names(*listed), expected);  // no "." or "..", names as they were written
    listed = files.ListFolder(folder + "\\");
    ASSERT_TRUE(listed);
    EXPECT_EQ(Names(*listed), expected);
    listed = files.ListFolder(folder + "\\Sub folder");
    ASSERT_TRUE(listed);  // empty, but it can be read
    EXPECT_TRUE(listed->empty());

    EXPECT_FALSE(files.ListFolder(folder + "\\No such folder"));
    EXPECT_FALSE(files.ListFolder(folder + "\\Readme.txt"));  // a file is no folder
    EXPECT_FALSE(files.ListFolder(""));
    EXPECT_TRUE(files.RemoveFile(folder + "\\hidden.txt"));
}

TEST(FileContract, TheDrivesAndARootFolder) {
    FilePort& files = Ports().files;
    const std::string scratch = ScratchFolder();
    const std::vector<std::string> drives = files.Drives();
    ASSERT_FALSE(drives.empty());
    for (const std::string& drive : drives) {
        ASSERT_EQ(drive.size(), 2u) << drive;
        EXPECT_TRUE(std::isupper(static_cast<unsigned char>(drive[0]))) << drive;
        EXPECT_EQ(drive[1], ':');
    }
    const std::string own = std::string(1, static_cast<char>(std::toupper(static_cast<unsigned char>(scratch[0])))) + ":";
    EXPECT_NE(std::find(drives.begin(), drives.end(), own), drives.end());

    // The root holds the first folder on the way to the scratch folder.
    const std::string first = Lower(scratch.substr(3, scratch.find('\\', 3) - 3));
    for (const std::string& root : {own + "\\", own}) {  // "C:" is the root too
        auto listed = files.ListFolder(root);
        ASSERT_TRUE(listed) << root;
        bool found = false;
        for (const FilePort::Entry& e : *listed) {
            EXPECT_NE(e.name, ".");
            EXPECT_NE(e.name, "..");
            if (Lower(e.name) == first && e.folder) found = true;
        }
        EXPECT_TRUE(found) << first << " in " << root;
    }
}

TEST(FileContract, AReadOnlyFileIsNeitherWrittenNorRemoved) {
    FilePort& files = Ports().files;
    const std::string file = ScratchFolder() + "read only.txt";
    SetReadOnly(file, false);
    files.RemoveFile(file);
    ASSERT_TRUE(files.WriteTextFile(file, "kept"));
    SetReadOnly(file, true);
    EXPECT_FALSE(files.WriteTextFile(file, "replaced"));
    EXPECT_FALSE(files.RemoveFile(file));
    EXPECT_TRUE(files.FileExists(file));
    SetReadOnly(file, false);
    EXPECT_TRUE(files.RemoveFile(file));
}

// ---- what the updater reads and moves

TEST(FileContract, ASizeAndTheFirstBytesOfAFileButNotOfAFolder) {
    FilePort& files = Ports().files;
    const std::string folder = ScratchFolder();
    const std::string file = folder + "Kopfh\xC3\xB6rer.bin";
    // Bytes a text file would not keep: NULs, CR LF, a lone LF, end-of-file, bytes above 127.
    std::string bytes = std::string("MZ\0\x01\r\n\n\x1a\xff", 9);
    for (int i = 0; i < 70000; ++i) bytes += static_cast<char>(i * 7 % 256);
    ASSERT_TRUE(files.WriteTextFile(file, bytes));
    EXPECT_EQ(files.FileSize(file), bytes.size());
    EXPECT_EQ(files.ReadFileStart(file, 4), bytes.substr(0, 4));
    EXPECT_EQ(files.ReadFileStart(file, 0), "");
    EXPECT_EQ(files.ReadFileStart(file, bytes.size() - 1), bytes.substr(0, bytes.size() - 1));
    EXPECT_EQ(files.ReadFileStart(file, bytes.size() + 4096), bytes);  // a shorter file: all of it

    const std::string empty = folder + "empty.bin";
    ASSERT_TRUE(files.WriteTextFile(empty, ""));
    EXPECT_EQ(files.FileSize(empty), 0u);
    EXPECT_EQ(files.ReadFileStart(empty, 4096), "");

    const std::string missing = folder + "missing.bin";
    files.RemoveFile(missing);
    EXPECT_FALSE(files.FileSize(missing));
    EXPECT_FALSE(files.ReadFileStart(missing, 4096));
    const std::string here = folder.substr(0, folder.size() - 1);
    EXPECT_FALSE(files.FileSize(here));  // a folder is no file
    EXPECT_FALSE(files.ReadFileStart(here, 4096));
    EXPECT_FALSE(files.FileSize(folder));
    EXPECT_TRUE(files.RemoveFile(file));
    EXPECT_TRUE(files.RemoveFile(empty));
}

TEST(FileContract, TheSha256OfAFileIsTheOneEveryoneComputes) {
    FilePort& files = Ports().files;
    const std::string folder = ScratchFolder();
    const std::string file = folder + "digest.bin";
    ASSERT_TRUE(files.WriteTextFile(file, "abc"));
    EXPECT_EQ(files.FileSha256(file), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    ASSERT_TRUE(files.WriteTextFile(file, ""));
    EXPECT_EQ(files.FileSha256(file), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    // A million times "a": read in many pieces, the last one short.
    ASSERT_TRUE(files.WriteTextFile(file, std::string(1000000, 'a')));
    EXPECT_EQ(files.FileSha256(file), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
    EXPECT_TRUE(files.RemoveFile(file));
    EXPECT_FALSE(files.FileSha256(file));
    EXPECT_FALSE(files.FileSha256(folder.substr(0, folder.size() - 1)));
}

TEST(FileContract, ARenameReplacesATargetOnlyWhenAsked) {
    FilePort& files = Ports().files;
    const std::string folder = ScratchFolder();
    const std::string from = folder + "Varlindo.exe.new";
    const std::string to = folder + "Kopfh\xC3\xB6rer Varlindo.exe";
    for (const std::string& f : {from, to}) {
        SetReadOnly(f, false);
        files.RemoveFile(f);
    }
    auto listed = [&](const std::string& name) {
        for (const FilePort::Entry& e : files.ListFolder(folder).value_or(std::vector<FilePort::Entry>{}))
            if (e.name == name) return true;
        return false;
    };

    // To a free name: the file goes there under the name as written.
    ASSERT_TRUE(files.WriteTextFile(from, "new"));
    EXPECT_TRUE(files.RenameFile(from, to, false));
    EXPECT_FALSE(files.FileExists(from));
    EXPECT_EQ(files.ReadFileStart(to, 100), "new");
    EXPECT_TRUE(listed("Kopfh\xC3\xB6rer Varlindo.exe"));

    // Onto a file that is there, without replacing: refused, both as they were.
    ASSERT_TRUE(files.WriteTextFile(from, "newer"));
    EXPECT_FALSE(files.RenameFile(from, to, false));
    EXPECT_EQ(files.ReadFileStart(from, 100), "newer");
    EXPECT_EQ(files.ReadFileStart(to, 100), "new");

    // Replacing: the target holds the moved file, the old name is gone.
    EXPECT_TRUE(files.RenameFile(from, to, true));
    EXPECT_FALSE(files.FileExists(from));
    EXPECT_EQ(files.ReadFileStart(to, 100), "newer");

    // Nothing to move: false, with or without replacing, and the target stays.
    EXPECT_FALSE(files.RenameFile(from, to, false));
    EXPECT_FALSE(files.RenameFile(from, to, true));
    EXPECT_EQ(files.ReadFileStart(to, 100), "newer");

    // Into a folder that is not there, or onto a folder: refused.
    ASSERT_TRUE(files.WriteTextFile(from, "new"));
    EXPECT_FALSE(files.RenameFile(from, folder + "No such folder\\Varlindo.exe", true));
    MakeFolder(folder + "A folder");
    EXPECT_FALSE(files.RenameFile(from, folder + "A folder", true));
    EXPECT_EQ(files.IsFolder(folder + "A folder"), true);
    EXPECT_EQ(files.ReadFileStart(from, 100), "new");
    // A folder is not renamed.
    EXPECT_FALSE(files.RenameFile(folder + "A folder", folder + "Another folder", false));
    EXPECT_EQ(files.IsFolder(folder + "A folder"), true);
    EXPECT_FALSE(files.IsFolder(folder + "Another folder"));

    // A target that may not be replaced: refused, both as they were.
    SetReadOnly(to, true);
    EXPECT_FALSE(files.RenameFile(from, to, true));
    SetReadOnly(to, false);
    EXPECT_EQ(files.ReadFileStart(from, 100), "new");
    EXPECT_EQ(files.ReadFileStart(to, 100), "newer");

    EXPECT_TRUE(files.RemoveFile(from));
    EXPECT_TRUE(files.RemoveFile(to));
}

TEST(ShellContract, TheUsersDesktopAndStartMenuAreFoldersThatAreThere) {
    for (SpecialFolder which : {SpecialFolder::Desktop, SpecialFolder::StartMenu}) {
        const std::string folder = Ports().shell.UserFolder(which);
        ASSERT_GT(folder.size(), 3u);
        EXPECT_NE(folder.back(), '\\') << folder;
        EXPECT_EQ(Ports().files.IsFolder(folder), true) << folder;
    }
    EXPECT_NE(Lower(Ports().shell.UserFolder(SpecialFolder::Desktop)),
              Lower(Ports().shell.UserFolder(SpecialFolder::StartMenu)));
}

TEST(ShellContract, AShortcutIsWrittenThroughTheShellAndAFailureSaysWhy) {
    ShellPort& shell = Ports().shell;
    FilePort& files = Ports().files;
    const std::string folder = ScratchFolder();
    const std::string path = folder + "Kopfh\xC3\xB6rer Tool.lnk";
    SetReadOnly(path, false);
    files.RemoveFile(path);

    ShellLink link;
    link.target = "C:\\Program Files\\Varlindo\\Varlindo.exe";
    link.arguments = "/D=2 /V=50 \"C:\\Tools\\Kopfh\xC3\xB6rer.exe\"";
    link.icon_file = "C:\\Tools\\Kopfh\xC3\xB6rer.exe";
    link.icon_index = 3;
    link.show_command = 7;
    std::string error;
    ASSERT_TRUE(shell.SaveShortcut(path, link, error)) << error;
    EXPECT_TRUE(files.FileExists(path));
    auto read = ReadShortcut(path);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->target, link.target);
    EXPECT_EQ(read->arguments, link.arguments);
    EXPECT_EQ(read->icon_file, link.icon_file);
    EXPECT_EQ(read->icon_index, 3);
    EXPECT_EQ(read->show_command, 7);

    // Saved again with other values: the file is replaced.
    link.arguments = "/D=1";
    link.show_command = 1;
    ASSERT_TRUE(shell.SaveShortcut(path, link, error)) << error;
    read = ReadShortcut(path);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->arguments, "/D=1");
    EXPECT_EQ(read->show_command, 1);

    // Into a folder that is not there.
    const std::string nowhere = folder + "No such folder\\Tool.lnk";
    EXPECT_FALSE(shell.SaveShortcut(nowhere, link, error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(files.FileExists(nowhere));

    // Over a file that may not be replaced: it stays as it was.
    SetReadOnly(path, true);
    std::string refused;
    link.arguments = "/D=3";
    EXPECT_FALSE(shell.SaveShortcut(path, link, refused));
    EXPECT_FALSE(refused.empty());
    EXPECT_NE(refused, error) << "a read-only file and a missing folder are told apart";
    SetReadOnly(path, false);
    read = ReadShortcut(path);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->arguments, "/D=1");
    EXPECT_TRUE(files.RemoveFile(path));
    EXPECT_FALSE(ReadShortcut(path));
}

// ---- downloads, from a server on this machine

TEST(ShellContract, ADownloadWritesTheWholeBodyInPlaceOfTheFile) {
    ShellPort& shell = Ports().shell;
    FilePort& files = Ports().files;
    const std::string file = ScratchFolder() + "Varlindo.exe.download";
    // More than one piece of a transfer, with bytes a text transfer would change.
    std::string body = std::string("MZ\0\r\n\x1a", 6);
    for (int i = 0; i < 200000; ++i) body += static_cast<char>(i * 31 % 256);
    const std::string url = Publish("/eng/Varlindo.exe", WebPage{200, body, false, {}});
    ASSERT_TRUE(files.WriteTextFile(file, std::string(300000, 'z')));  // a longer file was there

    const DownloadResult result = shell.Download(url, file);
    EXPECT_TRUE(result.complete) << result.error;
    EXPECT_EQ(result.status, 200);
    EXPECT_EQ(files.FileSize(file), body.size());
    EXPECT_TRUE(files.ReadFileStart(file, body.size() + 1) == body);

    // An empty body is a whole one too.
    const DownloadResult empty = shell.Download(Publish("/empty", WebPage{200, "", false, {}}), file);
    EXPECT_TRUE(empty.complete) << empty.error;
    EXPECT_EQ(empty.status, 200);
    EXPECT_EQ(files.FileSize(file), 0u);
    EXPECT_TRUE(files.RemoveFile(file));
}

TEST(ShellContract, ARedirectIsFollowedToTheFileItNames) {
    ShellPort& shell = Ports().shell;
    FilePort& files = Ports().files;
    const std::string file = ScratchFolder() + "moved.sha256";
    const std::string target = Publish("/new/Varlindo.exe.sha256", WebPage{200, "0123abcd  Varlindo.exe\n", false, {}});
    const std::string moved = Publish("/old/Varlindo.exe.sha256", WebPage{302, "", false, target});

    const DownloadResult result = shell.Download(moved, file);
    EXPECT_TRUE(result.complete) << result.error;
    EXPECT_EQ(result.status, 200);
    EXPECT_EQ(files.ReadFileStart(file, 4096), "0123abcd  Varlindo.exe\n");
    EXPECT_TRUE(files.RemoveFile(file));
}

TEST(ShellContract, ADownloadThatFailsSaysHow) {
    ShellPort& shell = Ports().shell;
    FilePort& files = Ports().files;
    const std::string file = ScratchFolder() + "failed.download";

    // The server has no such file: its status comes back.
    DownloadResult result = shell.Download(Publish("/gone", WebPage{404, "<html>Not Found</html>", false, {}}), file);
    EXPECT_EQ(result.status, 404);

    // The connection ends before the announced length arrived.
    result = shell.Download(Publish("/broken", WebPage{200, std::string(100000, 'x'), true, {}}), file);
    EXPECT_FALSE(result.complete);
    EXPECT_EQ(result.status, 200);
    EXPECT_FALSE(result.error.empty());

    // No server answers: no status, and the system's reason.
    result = shell.Download(AddressNobodyServes(), file);
    EXPECT_FALSE(result.complete);
    EXPECT_EQ(result.status, 0);
    EXPECT_FALSE(result.error.empty());

    // The file cannot be written.
    const std::string nowhere = ScratchFolder() + "No such folder\\Varlindo.exe";
    result = shell.Download(Publish("/fine", WebPage{200, "fine", false, {}}), nowhere);
    EXPECT_FALSE(result.complete);
    EXPECT_FALSE(result.error.empty());
    EXPECT_FALSE(files.FileExists(nowhere));
    files.RemoveFile(file);
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

// ---- the audio endpoints behind the wave devices (Windows Vista and later)

std::vector<std::string> IdsOf(const std::vector<AudioEndpoint>& endpoints) {
    std::vector<std::string> ids;
    for (const AudioEndpoint& e : endpoints) ids.push_back(e.id);
    return ids;
}

bool Has(const std::vector<std::string>& ids, const std::string& id) {
    return std::find(ids.begin(), ids.end(), id) != ids.end();
}

TEST(EndpointContract, EachWaveOutDeviceNamesAnActiveEndpointOfItsOwn) {
    EndpointPort& endpoints = Ports().endpoints;
    ASSERT_TRUE(endpoints.DeviceApi());
    const auto active = endpoints.ActiveEndpoints(EndpointFlow::Render);
    const auto ids = IdsOf(active);
    ASSERT_FALSE(ids.empty());
    for (const AudioEndpoint& e : active) {
        EXPECT_FALSE(e.id.empty());
        EXPECT_EQ(std::count(ids.begin(), ids.end(), e.id), 1) << e.id;
        // Wine names one (each endpoint its own) and so does the simulation (its card).
        EXPECT_FALSE(e.adapter.empty()) << e.id;
        EXPECT_EQ(e.adapter.find('\0'), std::string::npos) << e.id;
    }
    const int count = Ports().waveout.DeviceCount();
    ASSERT_GE(count, 1);
    std::vector<std::string> named;
    for (int n = 0; n < count; ++n) {
        auto id = endpoints.WaveEndpointId(EndpointFlow::Render, n);
        ASSERT_TRUE(id) << n;
        EXPECT_TRUE(Has(ids, *id)) << n << " " << *id;
        EXPECT_FALSE(Has(named, *id)) << n << " " << *id;  // no two devices share one
        named.push_back(*id);
    }
    EXPECT_FALSE(endpoints.WaveEndpointId(EndpointFlow::Render, count));
    EXPECT_FALSE(endpoints.WaveEndpointId(EndpointFlow::Render, -1));
}

TEST(EndpointContract, EachWaveInDeviceHasANameAndAnActiveCaptureEndpoint) {
    EndpointPort& endpoints = Ports().endpoints;
    const auto ids = IdsOf(endpoints.ActiveEndpoints(EndpointFlow::Capture));
    const int count = endpoints.WaveInCount();
    ASSERT_GE(count, 1);
    for (int n = 0; n < count; ++n) {
        auto name = endpoints.WaveInName(n);
        ASSERT_TRUE(name) << n;
        EXPECT_FALSE(name->empty());
        EXPECT_LE(name->size(), 31u * 3);
        EXPECT_EQ(name->find('\0'), std::string::npos);
        auto id = endpoints.WaveEndpointId(EndpointFlow::Capture, n);
        ASSERT_TRUE(id) << n;
        EXPECT_TRUE(Has(ids, *id)) << n << " " << *id;
    }
    EXPECT_FALSE(endpoints.WaveInName(count));
    EXPECT_FALSE(endpoints.WaveInName(-1));
    EXPECT_FALSE(endpoints.WaveEndpointId(EndpointFlow::Capture, count));
}

TEST(EndpointContract, TheDefaultOfEachRoleIsAnActiveEndpoint) {
    EndpointPort& endpoints = Ports().endpoints;
    for (EndpointFlow flow : {EndpointFlow::Render, EndpointFlow::Capture}) {
        const auto ids = IdsOf(endpoints.ActiveEndpoints(flow));
        for (EndpointRole role : kEndpointRoles) {
            auto id = endpoints.DefaultEndpoint(flow, role);
            ASSERT_TRUE(id) << static_cast<int>(flow) << " " << static_cast<int>(role);
            EXPECT_TRUE(Has(ids, *id)) << *id;
        }
    }
}

// Windows itself has the policy object; neither Wine nor the simulation as the runners set
// it up has one.
TEST(EndpointContract, WithoutThePolicyObjectNoDefaultIsSetAndTheSystemSaysWhy) {
    EndpointPort& endpoints = Ports().endpoints;
    EXPECT_FALSE(endpoints.PolicyObject());
    const auto ids = IdsOf(endpoints.ActiveEndpoints(EndpointFlow::Render));
    ASSERT_FALSE(ids.empty());
    const auto before = endpoints.DefaultEndpoint(EndpointFlow::Render, EndpointRole::Console);
    std::string error;
    EXPECT_FALSE(endpoints.SetDefaultEndpoint(ids.back(), EndpointRole::Console, error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(endpoints.DefaultEndpoint(EndpointFlow::Render, EndpointRole::Console), before);
    EXPECT_FALSE(endpoints.PolicyObject());  // asking again changes nothing
}

TEST(EndpointContract, ThePolicyObjectMakesAnEndpointTheDefaultOfOneRole) {
    SetPolicyObject(true);
    struct Gone {
        ~Gone() { SetPolicyObject(false); }
    } gone;
    auto program = StartListeningProgram();
    EndpointPort& endpoints = program->Ports().endpoints;
    ASSERT_TRUE(endpoints.PolicyObject());
    const auto ids = IdsOf(endpoints.ActiveEndpoints(EndpointFlow::Render));
    ASSERT_GE(ids.size(), 2u);
    const auto console = endpoints.DefaultEndpoint(EndpointFlow::Render, EndpointRole::Console);
    const auto before = endpoints.DefaultEndpoint(EndpointFlow::Render, EndpointRole::Communications);
    ASSERT_TRUE(before);
    const std::string other = *before == ids.front() ? ids.back() : ids.front();

    std::string error;
    EXPECT_TRUE(endpoints.SetDefaultEndpoint(other, EndpointRole::Communications, error)) << error;
    EXPECT_EQ(endpoints.DefaultEndpoint(EndpointFlow::Render, EndpointRole::Communications), other);
    EXPECT_EQ(endpoints.DefaultEndpoint(EndpointFlow::Render, EndpointRole::Console), console);  // only that role

    error.clear();
    EXPECT_FALSE(endpoints.SetDefaultEndpoint("{0.0.0.00000000}.{no such endpoint}", EndpointRole::Console, error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(endpoints.DefaultEndpoint(EndpointFlow::Render, EndpointRole::Console), console);

    EXPECT_TRUE(endpoints.SetDefaultEndpoint(*before, EndpointRole::Communications, error)) << error;
}

TEST(EndpointContract, AChangedSoundMapperValueIsHeardWhileTheDefaultsAreWatched) {
    using namespace std::chrono_literals;
    const std::string key = "Software\\Microsoft\\Multimedia\\Sound Mapper";
    auto program = StartListeningProgram();
    EndpointPort& endpoints = program->Ports().endpoints;

    AnotherProgramWrites(key, "Playback", "USB Headset");
    EXPECT_EQ(program->EventsWithin(500ms, 1).size(), 0u);  // not watched yet

    endpoints.WatchDefaults();
    AnotherProgramWrites(key, "Playback", "Speakers");
    EXPECT_EQ(program->EventsWithin(2s, 1), std::vector<std::string>{"defaults-changed"});

    // Heard again after the first was handled; a burst may come as one.
    AnotherProgramWrites(key, "Record", "Speakers");
    AnotherProgramWrites(key, "Playback", "USB Headset");
    const auto events = program->EventsWithin(2s, 2);
    EXPECT_GE(events.size(), 2u);
    EXPECT_LE(events.size(), 3u);

    endpoints.StopWatching();
    const size_t heard = program->EventsWithin(300ms, ~size_t{0}).size();  // whatever still waited
    AnotherProgramWrites(key, "Playback", "Speakers");
    EXPECT_EQ(program->EventsWithin(500ms, heard + 1).size(), heard);  // no longer watched
}

TEST(EndpointContract, ADefaultTheSystemChangesIsHeardWhileWatchedAndReadBack) {
    using namespace std::chrono_literals;
    auto program = StartListeningProgram();
    EndpointPort& endpoints = program->Ports().endpoints;
    const auto ids = IdsOf(endpoints.ActiveEndpoints(EndpointFlow::Render));
    ASSERT_GE(ids.size(), 2u);
    const auto before = endpoints.DefaultEndpoint(EndpointFlow::Render, EndpointRole::Console);
    ASSERT_TRUE(before);
    const std::string other = *before == ids.front() ? ids.back() : ids.front();

    endpoints.WatchDefaults();
    SystemMakesDefault(EndpointFlow::Render, other);
    EXPECT_FALSE(program->EventsWithin(2s, 1).empty());
    for (EndpointRole role : kEndpointRoles)
        EXPECT_EQ(endpoints.DefaultEndpoint(EndpointFlow::Render, role), other) << static_cast<int>(role);
    // Every program reads the same.
    EXPECT_EQ(Ports().endpoints.DefaultEndpoint(EndpointFlow::Render, EndpointRole::Console), other);

    const size_t heard = program->EventsWithin(300ms, ~size_t{0}).size();
    SystemMakesDefault(EndpointFlow::Render, *before);
    EXPECT_GT(program->EventsWithin(2s, heard + 1).size(), heard);
    EXPECT_EQ(endpoints.DefaultEndpoint(EndpointFlow::Render, EndpointRole::Console), before);
    endpoints.StopWatching();
}

TEST(TrayContract, TheShellKeepsOneIconAndRefusesWhatDoesNotFit) {
    TrayPort& tray = Ports().tray;
    tray.RemoveIcon();  // whatever an earlier run left
    EXPECT_FALSE(tray.ModifyTip("not there"));
    EXPECT_TRUE(tray.AddIcon("Varlindo contract"));
    EXPECT_FALSE(tray.AddIcon("a second one"));  // one icon per window and id
    EXPECT_TRUE(tray.ModifyTip("USB Headset"));
    EXPECT_TRUE(tray.RemoveIcon());
    EXPECT_FALSE(tray.RemoveIcon());
    EXPECT_FALSE(tray.ModifyTip("gone"));
    EXPECT_TRUE(tray.AddIcon("back again"));
    EXPECT_TRUE(tray.RemoveIcon());
}

TEST(HotkeyContract, AtomsAreCountedAndAKeyIsHeldOnce) {
    HotkeyPort& keys = Ports().hotkeys;
    const auto atom = keys.AddAtom("191990");
    ASSERT_NE(atom, 0);
    EXPECT_EQ(keys.AddAtom("191990"), atom);  // the same name, counted once more
    const auto other = keys.AddAtom("191991");
    EXPECT_NE(other, atom);

    constexpr int kF11 = 122;  // Ctrl+F11: not held by anything on a test machine
    ASSERT_TRUE(keys.RegisterHotkey(atom, kF11));
    EXPECT_FALSE(keys.RegisterHotkey(other, kF11));  // held already
    keys.UnregisterHotkey(atom);
    EXPECT_TRUE(keys.RegisterHotkey(other, kF11));
    keys.UnregisterHotkey(other);
    for (auto a : {atom, atom, other}) keys.DeleteAtom(a);
}

TEST(MenuContract, APopupMenuShowsItsEntriesAndReturnsThePickedId) {
    const std::vector<MenuItem> items = {
        {1, "Open", false, false, false}, {2, "", true, false, false},     {3, "Mute", false, true, false},
        {5, "Exit", false, false, false}, {6, "Eject", false, false, true},
    };
    AnswerNextMenu(2);
    EXPECT_EQ(Ports().menu.TrackPopupMenu(items), 5);
    const auto shown = LastMenuShown();
    ASSERT_EQ(shown.size(), items.size());
    for (size_t i = 0; i < items.size(); ++i) {
        EXPECT_EQ(shown[i].id, items[i].id) << i;
        EXPECT_EQ(shown[i].separator, items[i].separator) << i;
        if (items[i].separator) continue;  // a separator's state means nothing
        EXPECT_EQ(shown[i].text, items[i].text) << i;
        EXPECT_EQ(shown[i].checked, items[i].checked) << i;
        EXPECT_EQ(shown[i].grayed, items[i].grayed) << i;
    }
    AnswerNextMenu(0);
    EXPECT_EQ(Ports().menu.TrackPopupMenu(items), 1);
    AnswerNextMenu(-1);
    EXPECT_EQ(Ports().menu.TrackPopupMenu(items), 0);  // dismissed
}

TEST(FormHostContract, AModalFormHoldsTheOtherWindowsUntilItIsHidden) {
    FormHostPort& forms = Ports().forms;
    ui::Form main("Form1", "Varlindo contract main", 3000, 2000);
    ui::Form dialog("Dialog", "Varlindo contract dialog", 2000, 1500);
    ui::Form late("Late", "Varlindo contract late", 2000, 1500);
    for (ui::Form* form : {&main, &dialog, &late}) forms.Load(*form);
    forms.Show(main);
    EXPECT_TRUE(TakesInput(main));

    bool main_took_input = true, late_took_input = true, dialog_shown = false;
    DuringNextModal("Dialog", [&] {
        dialog_shown = dialog.Visible();
        main_took_input = TakesInput(main);
        forms.Show(late);  // a window that comes up meanwhile waits as well
        late_took_input = TakesInput(late);
        dialog.Hide();
    });
    forms.ShowModal(dialog);  // returns once the dialog is hidden
    EXPECT_TRUE(dialog_shown);
    EXPECT_FALSE(main_took_input);
    EXPECT_FALSE(late_took_input);
    EXPECT_TRUE(TakesInput(main));
    EXPECT_TRUE(TakesInput(late));
    EXPECT_FALSE(dialog.Visible());
    main.Hide();
    late.Hide();
    for (ui::Form* form : {&main, &dialog, &late}) forms.Close(*form);
}

TEST(FormHostContract, APinnedWindowStaysOnTopWhileHiddenUntilLetGo) {
    FormHostPort& forms = Ports().forms;
    ui::Form form("Pinned", "Varlindo contract pinned", 3000, 2000);
    ui::Label label(form, "Label1", "With a tooltip", 120, 120, 2000, 255);
    label.SetToolTipText("A tooltip of the pinned window");  // a popup of its own
    forms.Load(form);
    EXPECT_FALSE(IsTopMost(form));
    forms.SetTopMost(form, true);  // pinned while it loads, before it is ever shown
    forms.Show(form);
    EXPECT_TRUE(IsTopMost(form));
    form.Hide();  // sent to the tray and brought back: still pinned
    forms.Show(form);
    EXPECT_TRUE(IsTopMost(form));
    forms.SetTopMost(form, false);
    EXPECT_FALSE(IsTopMost(form));
    forms.SetTopMost(form, true);
    EXPECT_TRUE(IsTopMost(form));
    form.Hide();
    forms.Close(form);
}

TEST(SliderContract, TheTopValueIsAtTheTopAndTheUsersMovesAreHeardOnceEach) {
    FormHostPort& forms = Ports().forms;
    ui::Form form("Sliders", "Varlindo contract sliders", 3000, 3000);
    ui::VScrollBar level(form, "Level", 100, 0, 300, 200, 255, 2200);  // a level: 100 at the top
    ui::VScrollBar plain(form, "Plain", 0, 50, 900, 200, 255, 2200);
    std::vector<int> heard;
    level.Change = [&] { heard.push_back(level.Value()); };
    plain.Change = [&] { heard.push_back(1000 + plain.Value()); };
    forms.Load(form);
    forms.Show(form);
    EXPECT_EQ(ThumbPosition(level), 0);
    EXPECT_EQ(ThumbPosition(plain), 0);

    // The program's own change moves the thumb; only the model's change is heard.
    level.SetValue(80);
    EXPECT_EQ(ThumbPosition(level), 20);
    EXPECT_EQ(heard, (std::vector<int>{80}));

    UserDragsThumb(level, 55);
    EXPECT_EQ(level.Value(), 45);
    EXPECT_EQ(ThumbPosition(level), 55);
    UserDragsThumb(plain, 30);
    EXPECT_EQ(ThumbPosition(plain), 30);
    UserPressesKey(plain, "page down");  // 20 further down, but the bottom value is 50
    EXPECT_EQ(ThumbPosition(plain), 50);
    EXPECT_EQ(heard, (std::vector<int>{80, 45, 1030, 1050}));

    // Keys step by SmallChange and LargeChange, down meaning towards the bottom value.
    heard.clear();
    for (const char* key : {"down", "page up", "home", "page down", "end", "up"}) UserPressesKey(level, key);
    EXPECT_EQ(heard, (std::vector<int>{44, 64, 100, 80, 0, 1}));
    EXPECT_EQ(ThumbPosition(level), 99);
    UserPressesKey(level, "end");
    UserPressesKey(level, "end");  // already there: nothing to hear
    EXPECT_EQ(heard, (std::vector<int>{44, 64, 100, 80, 0, 1, 0}));

    // A disabled slider takes no move.
    heard.clear();
    level.SetEnabled(false);
    UserDragsThumb(level, 10);
    UserPressesKey(level, "home");
    EXPECT_EQ(level.Value(), 0);
    EXPECT_EQ(ThumbPosition(level), 100);
    EXPECT_TRUE(heard.empty());
    level.SetValue(35);  // the program still moves it
    EXPECT_EQ(ThumbPosition(level), 65);
    level.SetEnabled(true);
    UserPressesKey(level, "page up");
    EXPECT_EQ(heard, (std::vector<int>{35, 55}));
    form.Hide();
    forms.Close(form);
}

std::string Joined(const std::vector<std::string>& texts) {
    std::string all;
    for (const std::string& t : texts) all += (all.empty() ? "" : "|") + t;
    return all;
}

TEST(FormViewContract, DroppedFilesReachTheControlUnderThemOrWhatHoldsIt) {
    FormHostPort& forms = Ports().forms;
    ui::Form form("Drops", "Varlindo contract drops", 7000, 5000);
    ui::Frame frame(form, "ProgramFrame", "Program", 120, 120, 3600, 2600);
    ui::TextBox text(form, "ProgramText", 120, 400, 3000, 315, &frame);           // 240..3240, 520..835
    ui::CheckBox check(form, "RunCheck", "Run", 120, 1200, 2000, 255, &frame);    // none of its own
    ui::Label label(form, "Hint", "Drop a program here", 4000, 200, 2500, 600);  // none of its own
    ui::TextBox hidden(form, "Hidden", 4000, 2000, 2500, 315);
    hidden.SetVisible(false);
    std::vector<std::string> heard;
    auto record = [&heard](const std::string& who) {
        return [&heard, who](const ui::DropData& data) { heard.push_back(who + " " + Joined(data.files)); };
    };
    text.OLEDragDrop = record("text");
    frame.OLEDragDrop = record("frame");
    hidden.OLEDragDrop = record("hidden");
    forms.Load(form);
    form.OLEDragDrop = record("form");  // bound once the window is there
    forms.Show(form);

    const std::string tool = "C:\\Program Files\\Kopfh\xC3\xB6rer \xE2\x80\x93 Tool\\tool.exe";
    UserDropsFiles(form, 1000, 650, {tool, "C:\\b.txt"});
    UserDropsFiles(form, 600, 1400, {"C:\\on the check box.txt"});
    UserDropsFiles(form, 3000, 2400, {"C:\\in the frame.txt"});
    UserDropsFiles(form, 5000, 400, {"C:\\on the label.txt"});
    UserDropsFiles(form, 5000, 2100, {"C:\\where the hidden box is.txt"});
    UserDropsFiles(form, 6000, 3500, {"C:\\on the form.txt"});
    EXPECT_EQ(heard, (std::vector<std::string>{"text " + tool + "|C:\\b.txt", "frame C:\\on the check box.txt",
                                               "frame C:\\in the frame.txt", "form C:\\on the label.txt",
                                               "form C:\\where the hidden box is.txt", "form C:\\on the form.txt"}));

    // While a modal form holds the window, it takes nothing.
    ui::Form dialog("DropDialog", "Varlindo contract drop dialog", 3000, 2000);
    forms.Load(dialog);
    DuringNextModal("DropDialog", [&] {
        UserDropsFiles(form, 1000, 650, {"C:\\held.txt"});
        dialog.Hide();
    });
    forms.ShowModal(dialog);
    EXPECT_EQ(heard.size(), 6u);
    forms.Close(dialog);
    form.Hide();
    forms.Close(form);
}

TEST(FormViewContract, EnterGoesToTheFocusedControlOrTheFormAndClicksAButton) {
    FormHostPort& forms = Ports().forms;
    ui::Form form("Enter", "Varlindo contract enter", 5000, 4000);
    ui::TextBox text(form, "Text1", 120, 120, 3000, 315);
    ui::TextBox plain(form, "Text2", 120, 600, 3000, 315);
    ui::ListBox list(form, "List1", 120, 1080, 3000, 900);
    ui::Button button(form, "Button1", "OK", 120, 2200, 1500, 420);
    ui::Button picture(form, "Button2", "", 1800, 2200, 855, 855);
    picture.Graphical = true;
    picture.SetPicture(ui::Image::Desktop);
    list.AddItem("C:\\");
    std::vector<std::string> heard;
    text.KeyPress = [&heard](int& key) { heard.push_back("text " + std::to_string(key)); };
    form.KeyPress = [&heard](int& key) { heard.push_back("form " + std::to_string(key)); };
    button.Click = [&heard] { heard.push_back("button"); };
    picture.Click = [&heard] { heard.push_back("picture"); };
    forms.Load(form);
    forms.Show(form);

    for (ui::Control* c : std::initializer_list<ui::Control*>{&text, &plain, &list, &button, &picture})
        UserPressesEnter(*c);
    EXPECT_EQ(heard, (std::vector<std::string>{"text 13", "form 13", "form 13", "button", "picture"}));
    form.Hide();
    forms.Close(form);
}

TEST(FormViewContract, TheProgramPutsTheTextCursorWhereTheBoxShowsIt) {
    FormHostPort& forms = Ports().forms;
    ui::Form form("Caret", "Varlindo contract caret", 5000, 2000);
    ui::TextBox path(form, "ProgrammText", 120, 120, 2000, 315);  // far too narrow for the path
    forms.Load(form);
    forms.Show(form);
    const std::string text =
        "C:\\Program Files\\A rather long folder name\\Kopfh\xC3\xB6rer \xE2\x80\x93 \xC3\x9C" "bersicht\\"
        "Tool \xF0\x9F\x98\x80 and more\\tool.exe";
    path.SetText(text);
    path.SetSelStart(static_cast<int>(text.size()));
    EXPECT_EQ(CaretPosition(path), static_cast<int>(text.size()));  // the end of the path is seen
    path.SetSelStart(3);
    EXPECT_EQ(CaretPosition(path), 3);  // and back at its start
    const int after_umlaut = static_cast<int>(text.find("\xC3\xB6") + 2);
    path.SetSelStart(after_umlaut);
    EXPECT_EQ(CaretPosition(path), after_umlaut);
    const int after_smile = static_cast<int>(text.find("\xF0\x9F\x98\x80") + 4);  // two UTF-16 units
    path.SetSelStart(after_smile);
    EXPECT_EQ(CaretPosition(path), after_smile);
    // With the focus in the box as well.
    path.SetFocus();
    path.SetSelStart(static_cast<int>(text.size()));
    EXPECT_EQ(CaretPosition(path), static_cast<int>(text.size()));
    form.Hide();
    forms.Close(form);
}

TEST(InstanceContract, ASecondStartOfTheSameUserSeesTheFirst) {
    EXPECT_FALSE(Ports().instance.PreviousInstance());
    EXPECT_FALSE(Ports().instance.PreviousInstance());  // asking again is no second start
    EXPECT_TRUE(SecondPorts().instance.PreviousInstance());
}

TEST(InstanceContract, AProgramHearsAnotherInstancesNoticeFromItsStart) {
    using namespace std::chrono_literals;
    // Started, and busy with its start-up: its message loop has not run yet.
    auto program = StartListeningProgram();
    Ports().instance.NotifyDeviceChanged(424242);
    EXPECT_EQ(program->EventsWithin(2s, 1), std::vector<std::string>{"device-changed 424242"});
}

TEST(InstanceContract, AnotherProgramsWindowIsFoundToldAndBroughtForward) {
    const std::string title = "Varlindo contract";
    InstancePort& instance = Ports().instance;
    EXPECT_FALSE(instance.FindProgramWindow(title));
    EXPECT_FALSE(instance.ActivateProgram(title));

    // A window of our own never counts.
    ui::Form own("Form1", title + " (own)", 3000, 2000);
    Ports().forms.Load(own);
    EXPECT_FALSE(instance.FindProgramWindow(title));

    auto other = StartOtherProgram(title + " Vers. 2.0.1");
    const auto window = instance.FindProgramWindow(title);
    ASSERT_TRUE(window);
    instance.RestoreWindow(*window);
    instance.SetTopMost(*window, true);
    instance.SetTopMost(*window, false);
    instance.NotifyDeviceChanged(703812);
    EXPECT_TRUE(instance.ActivateProgram(title));
    std::vector<std::string> events;
    for (int i = 0; i < 100 && events.size() < 2; ++i) {
        events = other->Events();
        if (events.size() < 2) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    EXPECT_EQ(events, (std::vector<std::string>{"device-changed 703812", "bring-forward"}));
    Ports().forms.Close(own);
}

}  // namespace
}  // namespace varlindo::contract
