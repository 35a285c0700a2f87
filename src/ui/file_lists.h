#pragma once
// The three lists of a file chooser: the drives, the folders on the way to the current
// folder and in it, and the files of a folder that match a pattern. Each reads the file
// system through a FileSystemSource; a folder that cannot be read leaves a list as it was.

#include <optional>
#include <string>
#include <vector>

#include "ui/widgets.h"

namespace varlindo::ui {

// The file system as the lists see it. Paths use "\"; a drive is its letter and ":" ("C:"),
// its root folder "C:\".
struct FileSystemSource {
    virtual ~FileSystemSource() = default;
    virtual std::vector<std::string> Drives() = 0;
    // The names of the folders, or of the normal files, in a folder, in the order to show;
    // nothing when the folder cannot be read.
    virtual std::optional<std::vector<std::string>> Folders(const std::string& folder) = 0;
    virtual std::optional<std::vector<std::string>> Files(const std::string& folder) = 0;
};

// "C:\x\" and "C:/x" give "C:\x"; "c:" and "C:\" give "C:\" (a root keeps its "\").
std::string NormalFolder(const std::string& path);

// A drop-down list of the drives. Choosing one (the user or SetDrive) raises change.
class DriveListBox : public ComboBox {
public:
    DriveListBox(Form& form, std::string name, FileSystemSource& source, int l, int t, int w, int h,
                 Control* in = nullptr);
    // The chosen drive ("C:"), "" before one is chosen.
    const std::string& Drive() const { return drive_; }
    // Chooses the drive named by the first letter of `drive`; false when there is none.
    bool SetDrive(const std::string& drive);
    // Reads the drives again; the chosen one stays chosen while it is there.
    void Refresh();

protected:
    void SelectionChanged() override;

private:
    FileSystemSource& source_;
    std::string drive_;
};

// The folders from the drive's root down to the current folder, then the folders in it,
// each indented by its depth. A double click (or UserOpen) makes an entry current, which
// raises change; a single click only selects it.
class DirListBox : public ListBox {
public:
    DirListBox(Form& form, std::string name, FileSystemSource& source, int l, int t, int w, int h,
               Control* in = nullptr);
    // The current folder, without a trailing "\" except at a root ("C:\").
    const std::string& Path() const { return path_; }
    // Makes a folder current; false (and nothing changes) when it cannot be read.
    bool SetPath(const std::string& path);
    // The folder entry `index` stands for; "" out of range.
    std::string ListPath(int index) const;
    // Opens entry `index`.
    bool UserOpen(int index) { return SetPath(ListPath(index)); }
    void UserDoubleClick() override;
    void Refresh() { SetPath(path_); }
    std::function<void()> Change;

private:
    FileSystemSource& source_;
    std::string path_;
    std::vector<std::string> paths_;  // per entry
};

// The files of a folder whose names match the pattern ("*.exe", "*.*", several separated
// by ";"). Nothing is selected after a refresh.
class FileListBox : public ListBox {
public:
    FileListBox(Form& form, std::string name, FileSystemSource& source, int l, int t, int w, int h,
                Control* in = nullptr);
    const std::string& Path() const { return path_; }
    // Lists the files of this folder; false (the list stays) when it cannot be read.
    bool SetPath(const std::string& path);
    const std::string& Pattern() const { return pattern_; }
    // An empty pattern lists every file.
    void SetPattern(const std::string& pattern);
    // The selected file's name, "" when none is selected.
    std::string FileName() const { return List(ListIndex()); }
    bool Refresh();

private:
    FileSystemSource& source_;
    std::string path_;
    std::string pattern_ = "*.*";
};

}  // namespace varlindo::ui
