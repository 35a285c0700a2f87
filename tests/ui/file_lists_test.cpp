// The drive, folder and file lists of the chooser, and the file-name patterns.

#include <gtest/gtest.h>

#include <map>

#include "base/path_text.h"
#include "ui/file_lists.h"

namespace varlindo::ui {
namespace {

struct FakeDisk final : FileSystemSource {
    std::vector<std::string> Drives() override { return drives; }
    std::optional<std::vector<std::string>> Folders(const std::string& folder) override { return Find(folders, folder); }
    std::optional<std::vector<std::string>> Files(const std::string& folder) override { return Find(files, folder); }
    static std::optional<std::vector<std::string>> Find(const std::map<std::string, std::vector<std::string>>& m,
                                                        const std::string& folder) {
        auto it = m.find(folder);
        if (it == m.end()) return std::nullopt;
        return it->second;
    }
    std::vector<std::string> drives{"C:", "D:"};
    std::map<std::string, std::vector<std::string>> folders{
        {"C:\\", {"Games", "Users"}}, {"C:\\Games", {"Racer"}}, {"C:\\Games\\Racer", {}}, {"D:\\", {}}};
    std::map<std::string, std::vector<std::string>> files{
        {"C:\\Games\\Racer", {"racer.exe", "README", "notes.TXT", "setup.exe.bak"}}, {"C:\\", {}}};
};

TEST(FilePattern, WildcardsCaseAndLists) {
    EXPECT_TRUE(MatchesFilePattern("Racer.EXE", "*.exe"));
    EXPECT_FALSE(MatchesFilePattern("setup.exe.bak", "*.exe"));
    EXPECT_TRUE(MatchesFilePattern("README", "*.*"));  // "*.*" is every file
    EXPECT_TRUE(MatchesFilePattern("a.b.c", "*.*"));
    EXPECT_TRUE(MatchesFilePattern("song1.mp3", "song?.mp3"));
    EXPECT_FALSE(MatchesFilePattern("song10.mp3", "song?.mp3"));
    EXPECT_TRUE(MatchesFilePattern("x.txt", "*.exe; *.txt"));
    EXPECT_FALSE(MatchesFilePattern("x.txt", ""));
    EXPECT_TRUE(MatchesFilePattern("aaab", "*a*b"));
    EXPECT_FALSE(MatchesFilePattern("aaa", "*a*b"));
}

TEST(FileLists, TheFolderListShowsTheWayDownAndWhatIsInside) {
    FakeDisk disk;
    Form form("F", "", 1000, 1000);
    DirListBox dir(form, "Dir1", disk, 0, 0, 100, 100);
    int changes = 0;
    dir.Change = [&] { ++changes; };
    EXPECT_TRUE(dir.SetPath("c:/Games/"));
    EXPECT_EQ(dir.Path(), "C:\\Games");
    EXPECT_EQ(dir.Items(), (std::vector<std::string>{"C:\\", "  Games", "    Racer"}));
    EXPECT_EQ(dir.ListIndex(), 1);
    EXPECT_EQ(dir.ListPath(2), "C:\\Games\\Racer");
    EXPECT_EQ(changes, 1);
    // A click selects; a double click opens.
    dir.UserSelect(0);
    EXPECT_EQ(dir.Path(), "C:\\Games");
    dir.UserDoubleClick();
    EXPECT_EQ(dir.Path(), "C:\\");
    EXPECT_EQ(dir.Items(), (std::vector<std::string>{"C:\\", "  Games", "  Users"}));
    EXPECT_EQ(changes, 2);
    // A folder that cannot be read changes nothing.
    EXPECT_FALSE(dir.SetPath("C:\\Users"));
    EXPECT_EQ(dir.Path(), "C:\\");
    EXPECT_EQ(changes, 2);
}

TEST(FileLists, TheFileListFiltersAndTheDriveListChooses) {
    FakeDisk disk;
    Form form("F", "", 1000, 1000);
    FileListBox files(form, "File1", disk, 0, 0, 100, 100);
    EXPECT_TRUE(files.SetPath("C:\\Games\\Racer\\"));
    EXPECT_EQ(files.ListCount(), 4);
    files.SetPattern("*.exe");
    EXPECT_EQ(files.Items(), std::vector<std::string>{"racer.exe"});
    files.UserSelect(0);
    EXPECT_EQ(files.FileName(), "racer.exe");
    files.SetPattern("*.txt");
    EXPECT_EQ(files.FileName(), "");
    EXPECT_EQ(files.Items(), std::vector<std::string>{"notes.TXT"});
    EXPECT_FALSE(files.SetPath("C:\\Nowhere"));
    EXPECT_EQ(files.Path(), "C:\\Games\\Racer");
    EXPECT_EQ(files.Items(), std::vector<std::string>{"notes.TXT"});

    DriveListBox drives(form, "Drive1", disk, 0, 0, 100, 100);
    std::vector<std::string> changes;
    drives.Change = [&] { changes.push_back(drives.Drive()); };
    EXPECT_TRUE(drives.SetDrive("d:\\anything"));
    EXPECT_TRUE(drives.SetDrive("D:"));  // the same drive: no change
    EXPECT_FALSE(drives.SetDrive("Q:"));
    drives.UserSelect(0);
    EXPECT_EQ(changes, (std::vector<std::string>{"D:", "C:"}));
    EXPECT_EQ(drives.Text(), "C:");
}

TEST(FileLists, ADropGoesToTheFirstTakerOnTheWayOut) {
    Form form("F", "", 1000, 1000);
    Frame frame(form, "Frame", "", 0, 0, 500, 500);
    Label inside(form, "Label", "", 10, 10, 50, 20, &frame);
    Label outside(form, "Other", "", 600, 10, 50, 20);
    EXPECT_FALSE(form.AcceptsDrops());
    std::vector<std::string> got;
    frame.OLEDragDrop = [&](const DropData& d) { got.push_back("frame " + d.files.at(0)); };
    EXPECT_TRUE(form.AcceptsDrops());
    EXPECT_TRUE(form.Drop(&inside, DropData{{"a.exe"}, {}}));
    EXPECT_FALSE(form.Drop(&outside, DropData{{"b.exe"}, {}}));
    form.OLEDragDrop = [&](const DropData& d) { got.push_back("form " + d.text.value_or("")); };
    EXPECT_TRUE(form.Drop(nullptr, DropData{{}, std::string("text")}));
    EXPECT_EQ(got, (std::vector<std::string>{"frame a.exe", "form text"}));
}

}  // namespace
}  // namespace varlindo::ui
