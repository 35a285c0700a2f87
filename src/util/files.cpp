#include "util/files.h"

#include <algorithm>
#include <cctype>

#include "base/path_text.h"
#include "base/text.h"
#include "tray/window_handling.h"

namespace varlindo {
namespace {

constexpr const char* kOpenFileCaption = "Open File";
constexpr const char* kOpenDirectoryCaption = "Open Directory";
constexpr int kQuickButton = 855;

bool LessNoCase(const std::string& a, const std::string& b) { return text::Lower(a) < text::Lower(b); }

// "\x", "\\server\share\x" and "C:..." name their folder themselves.
bool IsRooted(const std::string& name) {
    return (!name.empty() && (name[0] == '\\' || name[0] == '/')) || (name.size() >= 2 && name[1] == ':');
}

// A folder the chooser can go to: on a drive ("C:", "C:\...") or a network share.
bool IsFolderPath(const std::string& path) {
    const bool drive = path.size() == 2 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':';
    return drive || IsAbsolutePath(path);
}

}  // namespace

std::optional<std::vector<std::string>> PortFileSystem::Names(const std::string& folder, bool folders) {
    auto entries = files_.ListFolder(folder);
    if (!entries) return std::nullopt;
    std::vector<std::string> names;
    for (const FilePort::Entry& e : *entries)
        if (e.folder == folders) names.push_back(e.name);
    std::sort(names.begin(), names.end(), LessNoCase);
    return names;
}

Files::Files(App& app)
    : ui::Form("Files", kOpenFileCaption, kFileWidth, kFileHeight),
      file_system_(app.GetPlatform().files),
      Drive1(*this, "Drive1", file_system_, 1095, 120, 2775, 315),
      Dir1(*this, "Dir1", file_system_, 1095, 540, 2775, 3915),
      File1(*this, "File1", file_system_, 3990, 540, 2955, 3915),
      FileName(*this, "FileName", 3990, 120, 2955, 315),
      Frame3(*this, "Frame3", "", 3990, 4440, 2955, 690),
      Ok(*this, "Ok", "Ok", 120, 210, 1305, 390, &Frame3),
      Abbruch(*this, "Abbruch", "Abbruch", 1530, 210, 1305, 390, &Frame3),
      OkBtn2(*this, "OkBtn2", "Ok", 2880, 4560, 1215, 420),
      AbbruchBtn2(*this, "AbbruchBtn2", "Abbruch", 4215, 4560, 1215, 420),
      Command1(*this, "Command1", "", 120, 120, kQuickButton, kQuickButton),
      StartmenüBtn(*this, "StartmenüBtn", "", 120, 1095, kQuickButton, kQuickButton),
      Picture1(*this, "Picture1", ui::Image::DesktopPressed, 0, 0, kQuickButton, kQuickButton),
      Picture2(*this, "Picture2", ui::Image::StartMenuPressed, 0, 0, kQuickButton, kQuickButton),
      Picture3(*this, "Picture3", ui::Image::Desktop, 0, 0, kQuickButton, kQuickButton),
      Picture4(*this, "Picture4", ui::Image::StartMenu, 0, 0, kQuickButton, kQuickButton),
      EnableTimer(*this, "EnableTimer", 1000, false),
      AlwaysOnTop1(*this, app.GetRegistry(), app.GetPlatform().forms, 120, 4800),
      app_(app),
      special_folders_(app.GetRegistry()) {
    // Image stores, never shown.
    for (ui::PictureBox* store : {&Picture1, &Picture2, &Picture3, &Picture4}) store->SetVisible(false);
    OkBtn2.SetVisible(false);
    AbbruchBtn2.SetVisible(false);
    for (ui::Button* quick : {&Command1, &StartmenüBtn}) quick->Graphical = true;
    Command1.SetPicture(Picture3.Picture());
    StartmenüBtn.SetPicture(Picture4.Picture());
    Command1.SetToolTipText("Desktop");
    StartmenüBtn.SetToolTipText(app.GetLanguage() == Language::German ? "Startmenü" : "Start Menu");

    Load = [this] { Form_Load(); };
    KeyPress = [this](int& key) { Form_KeyPress(key); };
    Drive1.Change = [this] { Drive1_Change(); };
    Dir1.Change = [this] { Dir1_Change(); };
    // Enter opens the chosen folder, as a double click does.
    Dir1.KeyPress = [this](int& key) {
        if (key == 13) Dir1.UserOpen(Dir1.ListIndex());
    };
    File1.Click = [this] { File1_Click(); };
    File1.DblClick = [this] { File1_DblClick(); };
    File1.KeyPress = [this](int& key) {
        if (key == 13) File1_DblClick();
    };
    FileName.Change = [this] { FileName_Change(); };
    FileName.KeyPress = [this](int& key) {
        if (key == 13 && Ok.Enabled()) Ok_Click();
    };
    Ok.Click = [this] { Ok_Click(); };
    OkBtn2.Click = [this] { Ok_Click(); };
    Abbruch.Click = [this] { Abbruch_Click(); };
    AbbruchBtn2.Click = [this] { Abbruch_Click(); };
    Command1.Click = [this] { Command1_Click(); };
    StartmenüBtn.Click = [this] { StartmenüBtn_Click(); };
    EnableTimer.Tick = [this] { EnableTimer_Timer(); };
    // Closing by the title bar leaves no result.
    QueryUnload = [this](bool&, int) { SelectedPath.clear(); };
    WindowHandling::DragBy(app.GetPlatform().forms, *this, {&Frame3});
}

std::string Files::PatternFromName(const std::string& name) {
    const size_t cut = name.find_last_of(".\\");
    if (cut == std::string::npos) return {};
    return "*." + name.substr(cut + 1);
}

void Files::Form_Load() {
    FilePort& files = app_.GetPlatform().files;
    AlwaysOnTop1.SetToTop(false);
    const std::string current = files.CurrentFolder();
    // Browsing moves the current folder from drive to drive; it is put back at the end.
    program_folder_ = current;
    if (!current.empty()) {
        files.SetCurrentDrive(current[0]);
        Drive1.SetDrive(current);
    }
    Dir1.SetPath(current);
    File1.SetPath(Dir1.Path());
    AlwaysOnTop1.SetToTop(true);
}

void Files::GoTo(const std::string& folder) {
    // A bare name ("game.exe") names no folder, and its first letter no drive.
    if (!IsFolderPath(folder)) return;
    Drive1.SetDrive(folder);
    Dir1.SetPath(folder);
}

std::string Files::FileOpenDialog(const std::string& DefaultPath, const std::string& WindowCaption,
                                  const std::string& DefaultFilename) {
    std::string folder = DefaultPath.empty() ? app_.GetPlatform().files.CurrentFolder() : DefaultPath;
    if (const size_t cut = folder.rfind('\\'); cut != std::string::npos) folder.erase(cut);
    GoTo(folder);

    std::string caption = WindowCaption.empty() ? kOpenFileCaption : WindowCaption;
    if (!DefaultFilename.empty()) caption += "    (\"" + PatternFromName(DefaultFilename) + "\")";
    SetCaption(caption);
    if (!folder.empty()) {
        File1.SetPattern(PatternFromName(DefaultFilename));
        GoTo(folder);
    }
    FileName.SetVisible(true);
    FileName.SetText("");
    if (!DefaultFilename.empty()) FileName.SetText(DefaultFilename);
    File1.SetVisible(true);
    Drive1.SetVisible(true);

    DialogMode = "File";
    return Run();
}

std::string Files::FileDirSelectDialog(const std::string& DefaultPath, const std::string& WindowCaption) {
    DialogMode = "Dir";
    // The folder lists fill the narrower window.
    SetWidth(kDirWidth);
    SetHeight(kDirHeight);
    Drive1.Move(1095, 120, 4335, 315);
    Dir1.Move(1095, 540, 4335, 3900);
    AlwaysOnTop1.Move(120, 4680);
    if (!DefaultPath.empty()) GoTo(DefaultPath);
    FileName.SetVisible(false);
    File1.SetVisible(false);
    Dir1.SetVisible(true);
    Drive1.SetVisible(true);
    SetCaption(WindowCaption.empty() ? kOpenDirectoryCaption : WindowCaption);
    Abbruch.SetVisible(false);
    Ok.SetVisible(false);
    Frame3.SetVisible(false);
    OkBtn2.SetVisible(true);
    AbbruchBtn2.SetVisible(true);
    return Run();
}

std::string Files::Run() {
    // Centred on the screen at the size of its mode.
    const FormHostPort::Area screen = app_.GetPlatform().forms.WorkArea();
    SetPosition((screen.left + screen.right - Width()) / 2, (screen.top + screen.bottom - Height()) / 2);
    app_.ShowModal(*this);
    std::string result = SelectedPath;
    app_.Unload(*this);
    // The program does not keep a folder open on a drive the user only looked at.
    if (!program_folder_.empty()) app_.GetPlatform().files.SetCurrentFolder(program_folder_);
    return result;
}

void Files::Drive1_Change() {
    FilePort& files = app_.GetPlatform().files;
    const std::string drive = Drive1.Drive();
    if (drive.empty()) return;
    if (files.SetCurrentDrive(drive[0]) && Dir1.SetPath(files.CurrentFolder())) return;
    // A drive that cannot be read (no disc in it): the lists stay, and so does their drive.
    if (!Dir1.Path().empty()) Drive1.SetDrive(Dir1.Path());
}

void Files::Dir1_Change() {
    if (DialogMode == "Dir") {
        Ok.SetEnabled(true);
        return;
    }
    File1.SetPath(Dir1.Path());
}

void Files::File1_Click() {
    if (DialogMode == "Dir") return;
    if (File1.ListIndex() >= 0) FileName.SetText(File1.FileName());
    Ok.SetEnabled(File1.ListCount() > 0);
}

void Files::File1_DblClick() {
    File1_Click();
    if (!FileName.Text().empty() && Ok.Enabled()) Ok_Click();
}

void Files::FileName_Change() {
    if (!FileName.Text().empty()) Ok.SetEnabled(true);
}

void Files::Ok_Click() {
    std::string result = Dir1.Path();
    // In folder mode the folder the user marked counts, opened or not.
    if (DialogMode == "Dir" && Dir1.ListIndex() >= 0) result = Dir1.ListPath(Dir1.ListIndex());
    if (!result.empty() && result.back() != '\\') result += '\\';
    if (DialogMode != "Dir") {
        const std::string typed = FileName.Text();
        const std::string name = text::Trim(typed);
        if (name.find_first_of("*?") != std::string::npos) {
            // A pattern picks what the file list shows; it names no file.
            File1.SetPattern(name);
            return;
        }
        if (IsRooted(name)) {
            result = name;
        } else if (!name.empty()) {
            result += typed;
        } else if (File1.ListIndex() >= 0) {
            result += File1.FileName();
        } else {
            return;  // nothing named yet
        }
    }
    SelectedPath = result;
    Hide();
}

void Files::Abbruch_Click() {
    Hide();
    SelectedPath.clear();
    app_.Unload(*this);
}

void Files::Command1_Click() {
    GoTo(special_folders_.GetDesktopPath());
    Command1.SetPicture(Picture1.Picture());
    // The focus leaves the button before it rests, so that the keyboard still works.
    Dir1.SetFocus();
    Command1.SetEnabled(false);
    EnableTimer.SetEnabled(true);
}

void Files::StartmenüBtn_Click() {
    GoTo(special_folders_.GetStartMenuPath());
    StartmenüBtn.SetPicture(Picture2.Picture());
    EnableTimer.SetEnabled(true);
}

void Files::EnableTimer_Timer() {
    Command1.SetPicture(Picture3.Picture());
    StartmenüBtn.SetPicture(Picture4.Picture());
    Command1.SetEnabled(true);
    StartmenüBtn.SetEnabled(true);
    EnableTimer.SetEnabled(false);
}

void Files::Form_KeyPress(int& key_ascii) {
    if (key_ascii == 27) Abbruch_Click();
}

}  // namespace varlindo
