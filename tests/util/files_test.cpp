// The file chooser in both modes, and where the user's desktop and start menu are found.

#include <gtest/gtest.h>

#include "platform/sim/sim_paths.h"
#include "support/sim_fixture.h"
#include "util/files.h"
#include "util/special_folders.h"

namespace varlindo::test {
namespace {

constexpr const char* kShellFolders = "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
constexpr const char* kDefaultFolders =
    "HKU\\.DEFAULT\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

class ChooserTest : public SimTest {
protected:
    ChooserTest() {
        desktop.AddFile("C:\\Games\\Racer\\racer.exe");
        desktop.AddFile("C:\\Games\\Racer\\readme.txt");
        desktop.AddFile("C:\\Games\\Racer\\Setup.EXE");
        desktop.AddFolder("C:\\Games\\Racer\\saves");
        desktop.AddFolder("C:\\Users\\test\\Desktop");
        desktop.AddFolder("D:\\Music");
        app_ = &StartApp();
    }
    // Runs a dialog; `user` acts in the chooser while it is shown.
    std::string Run(const std::function<std::string(Files&)>& dialog, const std::function<void(Files&)>& user) {
        Sim().forms.modal["Files"] = [&](ui::Form& form) {
            auto& files = static_cast<Files&>(form);
            seen.caption = files.Caption();
            seen.folder = files.Dir1.Path();
            seen.files = files.File1.Items();
            seen.width = files.Width();
            seen.height = files.Height();
            user(files);
        };
        std::string result;
        UserDoes(*app_, [&] { result = dialog(app_->Form<Files>()); });
        EXPECT_FALSE(app_->IsLoaded<Files>());
        return result;
    }
    std::string Open(const std::string& start, const std::function<void(Files&)>& user) {
        return Run([&](Files& f) { return f.FileOpenDialog(start, "Programm...", "*.exe"); }, user);
    }
    std::string Folder(const std::string& start, const std::function<void(Files&)>& user) {
        return Run([&](Files& f) { return f.FileDirSelectDialog(start, ""); }, user);
    }
    struct Seen {
        std::string caption, folder;
        std::vector<std::string> files;
        int width = 0, height = 0;
    } seen;
    App* app_ = nullptr;
};

TEST_F(ChooserTest, PatternsFromDefaultNames) {
    EXPECT_EQ(Files::PatternFromName("*.*"), "*.*");
    EXPECT_EQ(Files::PatternFromName("*.exe"), "*.exe");
    EXPECT_EQ(Files::PatternFromName("C:\\dir\\song.mp3"), "*.mp3");
    EXPECT_EQ(Files::PatternFromName("C:\\dir.d\\README"), "*.README");
    EXPECT_EQ(Files::PatternFromName("README"), "");
}

TEST_F(ChooserTest, FileModeStartsInTheFoldersParentAndTakesTheNameOrTheSelection) {
    // A file path starts in its folder, filtered by the default name's extension.
    std::string result = Open("C:\\Games\\Racer\\racer.exe", [](Files& f) {
        f.File1.UserSelect(1);
        f.Ok.RaiseClick();
    });
    EXPECT_EQ(seen.caption, "Programm...    (\"*.exe\")");
    EXPECT_EQ(seen.folder, "C:\\Games\\Racer");
    EXPECT_EQ(seen.files, (std::vector<std::string>{"racer.exe", "Setup.EXE"}));
    EXPECT_EQ(seen.width, Files::kFileWidth);
    EXPECT_EQ(result, "C:\\Games\\Racer\\Setup.EXE");

    // A typed name wins over the selection; blanks do not count as a name.
    result = Open("C:\\Games\\Racer\\racer.exe", [](Files& f) {
        f.File1.UserSelect(0);
        f.FileName.UserEdit("other.exe");
        f.Ok.RaiseClick();
    });
    EXPECT_EQ(result, "C:\\Games\\Racer\\other.exe");
    result = Open("C:\\Games\\Racer\\racer.exe", [](Files& f) {
        f.File1.UserSelect(0);
        f.FileName.UserEdit("   ");
        f.Ok.RaiseClick();
    });
    EXPECT_EQ(result, "C:\\Games\\Racer\\racer.exe");
    // A folder path without its "\" starts in the parent; a double click confirms.
    result = Open("C:\\Games\\Racer", [](Files& f) {
        f.Dir1.UserOpen(f.Dir1.ListCount() - 1);  // "Racer" again
        f.File1.UserSelect(0);
        f.File1.UserDoubleClick();
    });
    EXPECT_EQ(seen.folder, "C:\\Games");
    EXPECT_EQ(result, "C:\\Games\\Racer\\racer.exe");
    // With no start path: the parent of the current folder.
    Open("", [](Files& f) { f.Abbruch.RaiseClick(); });
    EXPECT_EQ(seen.folder, "C:\\Users");
}

TEST_F(ChooserTest, AWildcardNameFiltersAndARootedNameIsTakenAsTyped) {
    int shown_after_ok = -1;
    std::vector<std::string> filtered;
    std::string result = Open("C:\\Games\\Racer\\", [&](Files& f) {
        f.FileName.UserEdit("*.txt");
        f.Ok.RaiseClick();
        shown_after_ok = f.Visible();
        filtered = f.File1.Items();
        f.FileName.UserEdit("D:\\Music\\list.m3u");
        f.Ok.RaiseClick();
    });
    EXPECT_EQ(shown_after_ok, 1);
    EXPECT_EQ(filtered, std::vector<std::string>{"readme.txt"});
    EXPECT_EQ(result, "D:\\Music\\list.m3u");

    // Ok with the default "*.*" and nothing picked never returns a wildcard.
    result = Run([](Files& f) { return f.FileOpenDialog("C:\\Games\\Racer\\", "", "*.*"); },
                 [](Files& f) {
                     f.Ok.RaiseClick();
                     f.Ok.RaiseClick();
                     f.Abbruch.RaiseClick();
                 });
    EXPECT_EQ(seen.caption, "Open File    (\"*.*\")");
    EXPECT_EQ(result, "");
}

TEST_F(ChooserTest, FolderModeReturnsOneTrailingSeparatorAlsoForARoot) {
    std::string result = Folder("C:\\Games\\", [](Files& f) {
        EXPECT_FALSE(f.File1.Shown());
        EXPECT_FALSE(f.FileName.Shown());
        EXPECT_FALSE(f.Ok.Shown());
        EXPECT_FALSE(f.Frame3.Shown());
        EXPECT_TRUE(f.OkBtn2.Shown());
        // The folder list: the way down, then what is inside, indented by depth.
        EXPECT_EQ(f.Dir1.Items(), (std::vector<std::string>{"C:\\", "  Games", "    Racer"}));
        f.Dir1.UserSelect(2);
        f.Dir1.UserDoubleClick();
        f.OkBtn2.RaiseClick();
    });
    EXPECT_EQ(seen.caption, "Open Directory");
    EXPECT_EQ(seen.width, Files::kDirWidth);
    EXPECT_EQ(seen.height, Files::kDirHeight);
    EXPECT_EQ(result, "C:\\Games\\Racer\\");

    result = Folder("C:\\", [](Files& f) { f.OkBtn2.RaiseClick(); });
    EXPECT_EQ(result, "C:\\");
    // A folder only marked (not opened) is the one meant.
    result = Folder("C:\\Games", [](Files& f) {
        f.Dir1.UserSelect(2);
        f.OkBtn2.RaiseClick();
    });
    EXPECT_EQ(result, "C:\\Games\\Racer\\");
    // Another drive, then back up to its root with Enter.
    result = Folder("C:\\Games", [](Files& f) {
        f.Drive1.UserSelect(1);
        EXPECT_EQ(f.Dir1.Path(), "D:\\");
        f.Dir1.UserSelect(1);
        int enter = 13;
        f.Dir1.KeyPress(enter);
        f.OkBtn2.RaiseClick();
    });
    EXPECT_EQ(result, "D:\\Music\\");
}

TEST_F(ChooserTest, CancelEscAndTheTitleBarLeaveNoResult) {
    EXPECT_EQ(Folder("C:\\Games", [](Files& f) { f.AbbruchBtn2.RaiseClick(); }), "");
    EXPECT_EQ(Folder("C:\\Games", [](Files& f) {
                  int esc = 27;
                  f.KeyPress(esc);
              }),
              "");
    EXPECT_EQ(Folder("C:\\Games", [this](Files& f) { app_->CloseRequested(f); }), "");
}

TEST_F(ChooserTest, QuickButtonsJumpToTheUsersFoldersAndRestAForSecond) {
    // The shell knows the desktop was moved to another drive.
    desktop.AddFolder("D:\\Redirected\\Desktop");
    Sim().shell.user_folders[SpecialFolder::Desktop] = "D:\\Redirected\\Desktop";
    desktop.SetString(kShellFolders, "Start Menu", "%USERPROFILE%\\Start Menu");
    desktop.AddFolder("C:\\Users\\test\\Start Menu");
    std::string result = Folder("C:\\Games", [](Files& f) {
        f.Command1.RaiseClick();
        EXPECT_EQ(f.Dir1.Path(), "D:\\Redirected\\Desktop");
        EXPECT_EQ(f.Drive1.Drive(), "D:");
        EXPECT_FALSE(f.Command1.Enabled());
        EXPECT_EQ(f.Command1.Picture(), ui::Image::DesktopPressed);
        EXPECT_TRUE(f.EnableTimer.Enabled());
        f.StartmenüBtn.RaiseClick();
        EXPECT_EQ(f.Dir1.Path(), "C:\\Users\\test\\Start Menu");
        EXPECT_TRUE(f.StartmenüBtn.Enabled());
        EXPECT_EQ(f.StartmenüBtn.Picture(), ui::Image::StartMenuPressed);
        f.EnableTimer.RaiseTick();
        EXPECT_TRUE(f.Command1.Enabled());
        EXPECT_EQ(f.Command1.Picture(), ui::Image::Desktop);
        EXPECT_EQ(f.StartmenüBtn.Picture(), ui::Image::StartMenu);
        EXPECT_FALSE(f.EnableTimer.Enabled());
        f.OkBtn2.RaiseClick();
    });
    EXPECT_EQ(result, "C:\\Users\\test\\Start Menu\\");
}

TEST_F(ChooserTest, AFolderThatCannotBeReadLeavesTheLists) {
    desktop.unreadable.insert("c:\\games\\racer\\saves");
    desktop.hidden.insert("c:\\games\\racer\\readme.txt");
    std::string result = Open("C:\\Games\\Racer\\x", [](Files& f) {
        EXPECT_EQ(f.File1.Items(), (std::vector<std::string>{"racer.exe", "Setup.EXE"}));
        EXPECT_FALSE(f.Dir1.UserOpen(f.Dir1.ListCount() - 1));  // "saves"
        EXPECT_EQ(f.Dir1.Path(), "C:\\Games\\Racer");
        f.FileName.UserEdit("*.*");
        f.Ok.RaiseClick();
        EXPECT_EQ(f.File1.ListCount(), 2);  // the hidden file stays out
        f.Abbruch.RaiseClick();
    });
    EXPECT_EQ(result, "");
}

class SpecialFoldersTest : public SimTest {
protected:
    SpecialFoldersTest() : app_(StartApp()), folders_(app_.GetRegistry()) {}
    App& app_;
    SpecialFolders folders_;
};

TEST_F(SpecialFoldersTest, TheShellFirstThenTheUsersListThenTheDefaultProfile) {
    Sim().files.environment["SystemDrive"] = "C:";
    desktop.SetValue(kDefaultFolders, "Desktop", RegValue{regtype::ExpandSz, "%USERPROFILE%\\Desktop"});
    desktop.SetValue(kDefaultFolders, "Start Menu", RegValue{regtype::ExpandSz, "%SystemDrive%\\%USERPROFILE%x%UNSET%"});
    // Only the default profile's list: %USERPROFILE% and the other variables are expanded.
    EXPECT_EQ(folders_.GetDesktopPath(), "C:\\Users\\test\\Desktop");
    EXPECT_EQ(folders_.GetStartMenuPath(), "C:\\C:\\Users\\testx%UNSET%");
    // The user's own list, redirected with a variable.
    Sim().files.environment["HOMESHARE"] = "\\\\server\\home";
    desktop.SetValue(kShellFolders, "Desktop", RegValue{regtype::ExpandSz, "%HOMESHARE%\\Desktop"});
    EXPECT_EQ(folders_.GetDesktopPath(), "\\\\server\\home\\Desktop");
    // The shell's answer wins.
    Sim().shell.user_folders[SpecialFolder::Desktop] = "E:\\Desk";
    EXPECT_EQ(folders_.GetDesktopPath(), "E:\\Desk");
    // A number where a text belongs gives nothing.
    desktop.SetDWord(kShellFolders, "Start Menu", 4);
    desktop.SetDWord(kDefaultFolders, "Start Menu", 4);
    EXPECT_EQ(folders_.GetStartMenuPath(), "");
}

TEST_F(SpecialFoldersTest, FullRegistryPathsAndReplaceAll) {
    desktop.SetString("HKU\\.DEFAULT\\Software\\Test", "Value", std::string("stored\0tail", 11));
    std::string path = "  hkey_users\\.DEFAULT\\Software\\Test\\Value\\ ";
    EXPECT_EQ(folders_.RegistryGetAbsolutValue(path), "stored");
    EXPECT_EQ(path, ".DEFAULT\\Software\\Test");  // the key path alone
    path = "HKU\\.DEFAULT\\Software\\Test\\Value";
    EXPECT_EQ(folders_.RegistryGetAbsolutValue(path), "");  // short root names are not known
    path = "HKEY_USERS\\Value";
    EXPECT_EQ(folders_.RegistryGetAbsolutValue(path), "");
    EXPECT_EQ(path, "Value");

    EXPECT_EQ(replaceall("%A%%A%", "%A%", "x"), "x%A%");  // right behind an inserted text: kept
    EXPECT_EQ(replaceall("%A%-%A%", "%A%", "x"), "x-x");
    // The scan goes on one character past each insert: the "a" right behind it is skipped.
    EXPECT_EQ(replaceall("aaa", "a", "aa"), "aaaaa");
}

}  // namespace
}  // namespace varlindo::test
