#include "launch/shortcut_wizzard.h"

#include "app/captions.h"
#include "app/form1.h"
#include "base/path_text.h"
#include "base/text.h"
#include "core/command_line.h"
#include "launch/file_ops.h"
#include "launch/launch_messages.h"
#include "tray/window_handling.h"
#include "util/files.h"

namespace varlindo {

namespace {

constexpr const char* kGermanTitle = "Verknüpfungs Assistent";
constexpr const char* kDropTipGerman = "Programm auf dieses Feld ziehen";
constexpr const char* kDropTipEnglish = "Drop a program on this field";

constexpr Caption kCaptions[] = {
    {"Ueberschrift", "Make default Soundcard", "Soundkarte setzen:"},
    {"SetVolumeCheck", "Set Volume (wave+speaker):", "Lautstärke ändern:"},
    {"RunProgram", "Start external program:", "Programm nach dem Wechsel starten"},
    {"ProgramTitel", "Program path", "Programm Pfad"},
    {"BrowseBtn", "...", nullptr},
    {"ParameterTitel", "Parameter (optional):", nullptr},
    {"Label1", "Drag && drop your exacutable here:", "Programm per Drag && Drop hier ablegen:"},
    {"NameLabel", "Shortcut name:", "Name der Verknüpfung"},
    {"CreateShortcutBtn", "Create Shortcut", "Verknüpfung Erstellen"},
    {"CloseBtn", "Close", "Schließen"},
};

// The name field: dark red while it is not being edited, plain while it is.
constexpr ui::Color kNameBack = 0x0000C0;
constexpr ui::Color kWhite = 0xFFFFFF;

constexpr Text kFolderCaptionStart{"Save: ", "Verknüpfung: "};
constexpr Text kFolderCaptionEnd{" in..", "speichern unter.."};

// Why a shortcut would not do what the wizard shows, and the question that follows.
constexpr Text kHelpMark{"The command line holds a \"?\", so every start of the shortcut would only show the help text.",
                         "Die Befehlszeile enthält ein \"?\"; jeder Start der Verknüpfung zeigt dann nur die Hilfe an."};
constexpr Text kKeyInside{
    "A blank followed by D=, V=, R= or P= in the program path or the parameters starts a key of its own, "
    "so the text before it would be cut off.",
    "Ein Leerzeichen mit D=, V=, R= oder P= dahinter im Programmpfad oder in den Parametern beginnt einen "
    "eigenen Schlüssel; der Text davor würde abgeschnitten."};
constexpr Text kCardNameInside{"The card's name is part of the name of a card listed before it: the shortcut would switch to ",
                               "Der Name der Karte ist Teil des Namens einer Karte weiter oben: die Verknüpfung würde "
                               "umschalten auf "};
constexpr Text kSaveAnyway{"\r\rSave the shortcut all the same?", "\r\rVerknüpfung trotzdem speichern?"};

}  // namespace

ShortcutWizzard::ShortcutWizzard(App& app)
    : ui::Form("ShortcutWizzard", "", kWidth, kCollapsedHeight),
      Ueberschrift(*this, "Ueberschrift", "", 120, 150, 3900, 255),
      ShortcutDeviceCombo(*this, "ShortcutDeviceCombo", 120, 420, 4350, 315),
      SetVolumeCheck(*this, "SetVolumeCheck", "", 120, 870, 3000, 255),
      ShortcutVolumeCombo(*this, "ShortcutVolumeCombo", 3240, 840, 1230, 315),
      RunProgram(*this, "RunProgram", "", 120, 1290, 3600, 255),
      Picture1(*this, "Picture1", ui::Image::DropTarget, 3750, 1290, 720, 720),
      NameLabel(*this, "NameLabel", "", 120, 1710, 3480, 255),
      VerknName(*this, "VerknName", 120, 1980, 3480, 315),
      Label1(*this, "Label1", "", 120, 2415, 4350, 255),
      ProgramFrame(*this, "ProgramFrame", "", 120, 2685, 4350, 1560),
      ProgramTitel(*this, "ProgramTitel", "", 120, 210, 3000, 255, &ProgramFrame),
      ProgrammText(*this, "ProgrammText", 120, 465, 3570, 315, &ProgramFrame),
      BrowseBtn(*this, "BrowseBtn", "", 3780, 450, 450, 345, &ProgramFrame),
      ParameterTitel(*this, "ParameterTitel", "", 120, 855, 3000, 255, &ProgramFrame),
      ParameterText(*this, "ParameterText", 120, 1110, 4110, 315, &ProgramFrame),
      CreateShortcutBtn(*this, "CreateShortcutBtn", "", 120, kCollapsedButtonsTop, 2895, 420),
      CloseBtn(*this, "CloseBtn", "", 3150, kCollapsedButtonsTop, 1320, 420),
      CenterTimer(*this, "CenterTimer", 150, false),
      AlwaysOnTop1(*this, app.GetRegistry(), app.GetPlatform().forms, 4155, 90),
      app_(app),
      main_(app.MainForm()) {
    ApplyCaptions(*this, kCaptions, Language::English);
    VerknName.SetText("FileName");
    ShortcutVolumeCombo.SetEnabled(false);
    VerknName.SetForeColor(kWhite);
    VerknName.SetBackColor(kNameBack);

    Load = [this] { Form_Load(); };
    KeyPress = [this](int& key) { Form_KeyPress(key); };
    CenterTimer.Tick = [this] { CenterTimer_Timer(); };
    ShortcutDeviceCombo.Change = [this] { UpdateShortcutName(); };
    ShortcutDeviceCombo.Click = [this] { UpdateShortcutName(); };
    ShortcutDeviceCombo.LostFocus = [this] { UpdateShortcutName(); };
    // Both lists are chosen from, never typed into.
    ShortcutDeviceCombo.KeyPress = [](int& key) { key = 0; };
    ShortcutVolumeCombo.KeyPress = [](int& key) { key = 0; };
    RunProgram.Click = [this] { RunProgram_Click(); };
    SetVolumeCheck.Click = [this] { SetVolumeCheck_Click(); };
    BrowseBtn.Click = [this] { BrowseBtn_Click(); };
    ProgrammText.Change = [this] { ProgrammText_Change(); };
    CreateShortcutBtn.Click = [this] { CreateShortcutBtn_Click(); };
    CloseBtn.Click = [this] { CloseBtn_Click(); };
    VerknName.GotFocus = [this] {
        VerknName.SetForeColor(ui::kButtonTextColor);
        VerknName.SetBackColor(kWhite);
    };
    VerknName.LostFocus = [this] {
        VerknName.SetForeColor(kWhite);
        VerknName.SetBackColor(kNameBack);
    };
    auto drop = [this](const ui::DropData& data) { Picture1_OLEDragDrop(data); };
    OLEDragDrop = drop;
    for (ui::Control* target : std::initializer_list<ui::Control*>{&Picture1, &Label1, &ProgramFrame, &ProgrammText,
                                                                  &RunProgram, &SetVolumeCheck})
        target->OLEDragDrop = drop;
    WindowHandling::DragBy(app.GetPlatform().forms, *this, {&Label1, &Picture1, &ProgramFrame, &ProgramTitel});
}

void ShortcutWizzard::ApplyWizardLanguage() {
    const Language lang = main_.GetLanguage() == 1 ? Language::German : Language::English;
    ApplyCaptions(*this, kCaptions, lang);
    SetCaption(lang == Language::German ? kGermanTitle : main_.ShortcutWizzardBtn.Caption());
    Picture1.SetToolTipText(lang == Language::German ? kDropTipGerman : kDropTipEnglish);
}

void ShortcutWizzard::Form_Load() {
    ApplyWizardLanguage();

    ShortcutVolumeCombo.Clear();
    SetProgramSectionVisible(false);
    // 0 % would read as "leave the volume alone" on the command line: it is not offered.
    for (const std::string& entry : main_.VolumeCombo.Items())
        if (entry != "0%") ShortcutVolumeCombo.AddItem(entry);
    ShortcutVolumeCombo.SetListIndex(0);

    ShortcutDeviceCombo.Clear();
    for (const std::string& device : main_.DeviceList.Items()) ShortcutDeviceCombo.AddItem(device);
    ShortcutDeviceCombo.SetListIndex(0);
    RunProgram_Click();

    AlwaysOnTop1.SetToTop(true);
    // Placed at the centre at once; the timer only puts it back there once it is shown.
    CenterTimer_Timer();
    CenterTimer.SetEnabled(true);
    UpdateShortcutName();
}

void ShortcutWizzard::CenterTimer_Timer() {
    const FormHostPort::Area screen = app_.GetPlatform().forms.WorkArea();
    SetPosition((screen.left + screen.right) / 2 - 2355, (screen.top + screen.bottom) / 2 - 1746);
    CenterTimer.SetEnabled(false);
}

void ShortcutWizzard::SetProgramSectionVisible(bool expanded) {
    SetHeight(expanded ? kExpandedHeight : kCollapsedHeight);
    const int top = expanded ? kExpandedButtonsTop : kCollapsedButtonsTop;
    CreateShortcutBtn.Move(CreateShortcutBtn.Left(), top, CreateShortcutBtn.Width(), CreateShortcutBtn.Height());
    CloseBtn.Move(CloseBtn.Left(), top, CloseBtn.Width(), CloseBtn.Height());
}

std::string ShortcutWizzard::ProgramToRun() const {
    if (RunProgram.Value() != 1) return {};
    return text::Trim(ProgrammText.Text());
}

std::string ShortcutWizzard::ProgramBaseName() const {
    std::string base = text::Trim(app_.GetPlatform().files.ProgramName());
    if (const std::string program = ProgramToRun(); !program.empty()) {
        base = text::Trim(FileNameOfPath(StripQuotes(program)));
        // A three-letter extension goes (counted in characters, not bytes).
        const size_t length = text::CharCount(base);
        if (length > 4 && text::Substr(base, length - 4, 1) == ".") base = text::LeftChars(base, length - 4);
    }
    return base;
}

void ShortcutWizzard::UpdateShortcutName() {
    std::string base = ProgramBaseName();
    if (const int line = main_.GetDeviceLine(ShortcutDeviceCombo.Text()); line >= 0)
        base += "_" + main_.NiknameList.List(line);
    VerknName.SetText(base);
}

void ShortcutWizzard::RunProgram_Click() {
    const bool expanded = RunProgram.Value() == 1;
    SetProgramSectionVisible(expanded);
    ParameterText.SetEnabled(expanded);
    ProgrammText.SetEnabled(expanded);
    ProgramFrame.SetVisible(expanded);
    Label1.SetVisible(expanded);
    UpdateShortcutName();
}

void ShortcutWizzard::SetVolumeCheck_Click() { ShortcutVolumeCombo.SetEnabled(SetVolumeCheck.Value() == 1); }

void ShortcutWizzard::ProgrammText_Change() {
    // Only a path that names a file renames the shortcut, not every letter typed.
    const std::string path = StripQuotes(ProgrammText.Text());
    if (!path.empty() && app_.GetPlatform().files.FileExists(path)) UpdateShortcutName();
}

void ShortcutWizzard::CursorNearEnd() {
    ProgrammText.SetSelStart(static_cast<int>(ProgrammText.Text().size()) - 1);
}

void ShortcutWizzard::BrowseBtn_Click() {
    AlwaysOnTop1.SetToTop(false);
    const std::string chosen = app_.Form<Files>().FileOpenDialog(ProgrammText.Text(), "Programm...", "*.*");
    SetWindowState(ui::WindowState::Normal);
    AlwaysOnTop1.SetToTop(true);
    if (chosen.empty() || chosen == "*.exe") return;
    ProgrammText.SetText(chosen);
    if (RunProgram.Value() != 1) RunProgram.SetValue(1);
    CursorNearEnd();
}

void ShortcutWizzard::Picture1_OLEDragDrop(const ui::DropData& data) {
    if (data.text) ProgrammText.SetText(*data.text);
    if (!data.files.empty()) {
        for (const std::string& file : data.files) ProgrammText.SetText(file);
        if (RunProgram.Value() != 1) RunProgram.SetValue(1);
    }
    CursorNearEnd();
    UpdateShortcutName();
}

std::string ShortcutWizzard::ShortcutArguments() const {
    std::string arguments = "D=" + ShortcutDeviceCombo.Text();
    if (SetVolumeCheck.Value() == 1) {
        const std::string entry = ShortcutVolumeCombo.Text();
        if (!entry.empty()) arguments += " V=" + entry.substr(0, entry.size() - 1);
    }
    if (const std::string program = ProgramToRun(); !program.empty()) {
        arguments += " R=" + QuoteIfSpaces(program);
        if (const std::string parameters = text::Trim(ParameterText.Text()); !parameters.empty())
            arguments += " P=" + parameters;
    }
    return arguments;
}

std::string ShortcutWizzard::ShortcutProblem(const std::string& arguments) const {
    const Language lang = main_.GetLanguage() == 1 ? Language::German : Language::English;
    const CommandLineKeys keys = ParseCommandLine(arguments);
    if (keys.help) return Pick(lang, kHelpMark);
    const std::string program = ProgramToRun();
    const std::string parameters = program.empty() ? std::string() : text::Trim(ParameterText.Text());
    if (keys.device.value_or("") != text::Trim(ShortcutDeviceCombo.Text()) ||
        StripQuotes(keys.program.value_or("")) != StripQuotes(program) || keys.parameters.value_or("") != parameters)
        return Pick(lang, kKeyInside);
    // D= picks the first card whose name holds its text: that must be the card chosen here.
    if (!text::Trim(ShortcutDeviceCombo.Text()).empty()) {
        const int line = main_.CommandLineCardLine(ShortcutDeviceCombo.Text());
        if (line >= 0 && line != ShortcutDeviceCombo.ListIndex())
            return Pick(lang, kCardNameInside) + ("\"" + main_.DeviceList.List(line) + "\".");
    }
    return {};
}

void ShortcutWizzard::CreateShortcutBtn_Click() {
    Platform& platform = app_.GetPlatform();
    const Language lang = main_.GetLanguage() == 1 ? Language::German : Language::English;
    std::string start_folder = platform.files.CurrentFolder();
    const std::string program = ProgramToRun();
    if (!program.empty()) start_folder = app_.Runner().FolderOfPath(StripQuotes(program));
    const std::string arguments = ShortcutArguments();

    // A shortcut that would do something else than the wizard shows is questioned first.
    if (const std::string problem = ShortcutProblem(arguments);
        !problem.empty() && platform.ui.ShowMessageBox(problem + Pick(lang, kSaveAnyway), "",
                                                       mb::YesNo | mb::IconExclamation) != mb::AnswerYes)
        return;

    // The name the file gets, safe in any folder; shown in the chooser's caption.
    const std::string name = FileOps::SafeShortcutName(VerknName.Text(), ProgramBaseName());
    AlwaysOnTop1.SetToTop(false);
    const std::string folder = app_.Form<Files>().FileDirSelectDialog(
        start_folder, Pick(lang, kFolderCaptionStart) + FileOps::ShortcutFileName(name) + Pick(lang, kFolderCaptionEnd));
    if (folder.empty()) return;
    VerknName.SetText(name);
    const std::string shortcut_path = AddTrailingSeparator(StripQuotes(folder)) + FileOps::ShortcutFileName(name);
    SetWindowState(ui::WindowState::Normal);
    AlwaysOnTop1.SetToTop(true);

    std::string target = platform.files.ProgramFolder();
    if (!target.empty() && target.back() != '\\' && target.back() != '/') target += '\\';
    target += platform.files.ProgramName() + ".exe";
    std::string icon_file = target;
    if (!program.empty()) icon_file = app_.Runner().GetAssociatedProgram(StripQuotes(program));

    FileOps(platform, app_.Runner()).CreateShortcutFile(target, shortcut_path, arguments, name, 0, icon_file);
}

void ShortcutWizzard::CloseBtn_Click() { app_.Unload(*this); }

void ShortcutWizzard::Form_KeyPress(int& key_ascii) {
    if (key_ascii == 27) CloseBtn_Click();
}

}  // namespace varlindo
