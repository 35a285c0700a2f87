#include "ui/file_lists.h"

#include <algorithm>
#include <cctype>

#include "base/path_text.h"

namespace varlindo::ui {
namespace {

char UpperLetter(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }

bool SameText(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

// "C:\a\b" gives "C:\", "C:\a", "C:\a\b"; a path without a drive gives itself alone.
std::vector<std::string> FoldersOnTheWay(const std::string& path) {
    std::vector<std::string> way;
    if (path.size() < 3 || path[1] != ':') return {path};
    way.push_back(path.substr(0, 3));
    for (size_t cut = path.find('\\', 3); cut != std::string::npos; cut = path.find('\\', cut + 1))
        way.push_back(path.substr(0, cut));
    if (path.size() > 3) way.push_back(path);
    return way;
}

}  // namespace

std::string NormalFolder(const std::string& path) {
    std::string p = path;
    std::replace(p.begin(), p.end(), '/', '\\');
    while (p.size() > 1 && p.back() == '\\' && !(p.size() == 3 && p[1] == ':')) p.pop_back();
    if (p.size() == 2 && p[1] == ':') p += '\\';
    if (p.size() >= 2 && p[1] == ':') p[0] = UpperLetter(p[0]);
    return p;
}

DriveListBox::DriveListBox(Form& form, std::string name, FileSystemSource& source, int l, int t, int w, int h,
                           Control* in)
    : ComboBox(form, std::move(name), Kind::DriveListBox, l, t, w, h, in), source_(source) {}

void DriveListBox::Refresh() {
    const std::vector<std::string> drives = source_.Drives();
    if (drives == items_) return;
    Clear();
    for (const std::string& d : drives) AddItem(d);
    const auto it = std::find_if(items_.begin(), items_.end(), [this](const std::string& d) { return SameText(d, drive_); });
    if (it != items_.end()) {
        list_index_ = static_cast<int>(it - items_.begin());
        SetCaption(*it);
    }
}

bool DriveListBox::SetDrive(const std::string& drive) {
    if (drive.empty()) return false;
    Refresh();
    const char letter = UpperLetter(drive[0]);
    for (int i = 0; i < ListCount(); ++i) {
        if (!List(i).empty() && UpperLetter(List(i)[0]) == letter) {
            if (i == ListIndex()) return true;
            SetListIndex(i);
            return true;
        }
    }
    return false;
}

void DriveListBox::SelectionChanged() {
    const std::string chosen = List(ListIndex());
    SetCaption(chosen);
    if (chosen.empty() || chosen == drive_) return;
    drive_ = chosen;
    if (Change) Change();
}

DirListBox::DirListBox(Form& form, std::string name, FileSystemSource& source, int l, int t, int w, int h,
                       Control* in)
    : ListBox(form, std::move(name), Kind::DirListBox, l, t, w, h, in), source_(source) {}

bool DirListBox::SetPath(const std::string& path) {
    const std::string folder = NormalFolder(path);
    if (folder.empty()) return false;
    const auto inside = source_.Folders(folder);
    if (!inside) return false;
    std::vector<std::string> lines;
    std::vector<std::string> paths;
    const std::vector<std::string> way = FoldersOnTheWay(folder);
    for (size_t depth = 0; depth < way.size(); ++depth) {
        lines.push_back(std::string(depth * 2, ' ') + (depth == 0 ? way[0] : FileNameOfPath(way[depth])));
        paths.push_back(way[depth]);
    }
    for (const std::string& name : *inside) {
        lines.push_back(std::string(way.size() * 2, ' ') + name);
        paths.push_back(AddTrailingSeparator(folder) + name);
    }
    const bool changed = folder != path_;
    if (lines != items_) {
        Clear();
        for (const std::string& line : lines) AddItem(line);
    }
    paths_ = std::move(paths);
    path_ = folder;
    list_index_ = -1;
    SetListIndex(static_cast<int>(way.size()) - 1);
    if (changed && Change) Change();
    return true;
}

std::string DirListBox::ListPath(int index) const {
    if (index < 0 || index >= static_cast<int>(paths_.size())) return {};
    return paths_[static_cast<size_t>(index)];
}

void DirListBox::UserDoubleClick() {
    UserOpen(ListIndex());
    RaiseDblClick();
}

FileListBox::FileListBox(Form& form, std::string name, FileSystemSource& source, int l, int t, int w, int h,
                         Control* in)
    : ListBox(form, std::move(name), Kind::FileListBox, l, t, w, h, in), source_(source) {}

bool FileListBox::SetPath(const std::string& path) {
    const std::string old = path_;
    path_ = NormalFolder(path);
    if (Refresh()) return true;
    path_ = old;
    return false;
}

void FileListBox::SetPattern(const std::string& pattern) {
    pattern_ = pattern;
    Refresh();
}

bool FileListBox::Refresh() {
    if (path_.empty()) return false;
    const auto files = source_.Files(path_);
    if (!files) return false;
    std::vector<std::string> shown;
    for (const std::string& name : *files)
        if (pattern_.empty() || MatchesFilePattern(name, pattern_)) shown.push_back(name);
    if (shown != items_) {
        Clear();
        for (const std::string& name : shown) AddItem(name);
    } else {
        SetListIndex(-1);
    }
    return true;
}

}  // namespace varlindo::ui
