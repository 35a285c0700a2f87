#pragma once
// The program's own modal chooser for a file or a folder: a drive list, a folder list, a
// file list and a name field, with two quick buttons to the user's desktop and start
// menu. Each call of FileOpenDialog or FileDirSelectDialog loads the window, shows it
// modally and unloads it again.

#include <optional>
#include <string>
#include <vector>

#include "app/app.h"
#include "tray/always_on_top.h"
#include "ui/file_lists.h"
#include "ui/widgets.h"
#include "util/special_folders.h"

namespace varlindo {

// The file system of the platform, as the chooser's lists read it: folders and files each
// sorted by name, letter case ignored.
class PortFileSystem final : public ui::FileSystemSource {
public:
    explicit PortFileSystem(FilePort& files) : files_(files) {}
    std::vector<std::string> Drives() override { return files_.Drives(); }
    std::optional<std::vector<std::string>> Folders(const std::string& folder) override { return Names(folder, true); }
    std::optional<std::vector<std::string>> Files(const std::string& folder) override { return Names(folder, false); }

private:
    std::optional<std::vector<std::string>> Names(const std::string& folder, bool folders);
    FilePort& files_;
};

class Files : public ui::Form {
public:
    explicit Files(App& app);

    // The chosen file's full path, or "" when the user cancelled. Starts in the folder of
    // `DefaultPath` (the current folder when empty) and lists the files that match the
    // extension of `DefaultFilename`.
    std::string FileOpenDialog(const std::string& DefaultPath, const std::string& WindowCaption,
                               const std::string& DefaultFilename);
    // The chosen folder, ending in "\", or "" when the user cancelled.
    std::string FileDirSelectDialog(const std::string& DefaultPath, const std::string& WindowCaption);

    // "*." and the text after the last "." or "\" of the name; "" when it has neither.
    static std::string PatternFromName(const std::string& name);

    // Window sizes, in twips.
    static constexpr int kFileWidth = 7230;
    static constexpr int kFileHeight = 5640;
    static constexpr int kDirWidth = 5805;
    static constexpr int kDirHeight = 5610;

    std::string DialogMode;    // "File" or "Dir"
    std::string SelectedPath;  // "" until the user confirms

private:
    PortFileSystem file_system_;

public:
    ui::DriveListBox Drive1;
    ui::DirListBox Dir1;
    ui::FileListBox File1;
    ui::TextBox FileName;
    ui::Frame Frame3;
    ui::Button Ok;
    ui::Button Abbruch;
    ui::Button OkBtn2;
    ui::Button AbbruchBtn2;
    ui::Button Command1;
    ui::Button StartmenüBtn;
    ui::PictureBox Picture1;
    ui::PictureBox Picture2;
    ui::PictureBox Picture3;
    ui::PictureBox Picture4;
    ui::Timer EnableTimer;
    AlwaysOnTop AlwaysOnTop1;

    void Form_Load();
    void Drive1_Change();
    void Dir1_Change();
    void File1_Click();
    void File1_DblClick();
    void FileName_Change();
    void Ok_Click();
    void Abbruch_Click();
    void Command1_Click();
    void StartmenüBtn_Click();
    void EnableTimer_Timer();
    void Form_KeyPress(int& key_ascii);

private:
    // Shows a folder: its drive in Drive1 and the folder in Dir1 (the file list follows).
    void GoTo(const std::string& folder);
    // The modal display; the result once it ends.
    std::string Run();

    App& app_;
    SpecialFolders special_folders_;
    std::string program_folder_;  // the current folder before the chooser came
};

}  // namespace varlindo
