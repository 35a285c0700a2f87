#pragma once
// The interfaces to the operating system. The core talks to Windows only through these;
// src/platform/win32 implements them for real, src/platform/sim in memory for the tests.
// Every text crossing a port is UTF-8.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace varlindo {

namespace ui {
class Form;
}

// ---------------------------------------------------------------- registry
using RegKey = std::uintptr_t;  // an open key or one of the predefined roots

namespace hkey {
inline constexpr RegKey None = 0;
inline constexpr RegKey ClassesRoot = 0x80000000;
inline constexpr RegKey CurrentUser = 0x80000001;
inline constexpr RegKey LocalMachine = 0x80000002;
inline constexpr RegKey Users = 0x80000003;
inline constexpr RegKey PerformanceData = 0x80000004;
inline constexpr RegKey CurrentConfig = 0x80000005;
inline constexpr RegKey DynData = 0x80000006;
}  // namespace hkey

namespace regtype {
inline constexpr std::uint32_t None = 0;
inline constexpr std::uint32_t Sz = 1;
inline constexpr std::uint32_t ExpandSz = 2;
inline constexpr std::uint32_t Binary = 3;
inline constexpr std::uint32_t DWord = 4;
inline constexpr std::uint32_t MultiSz = 7;
}  // namespace regtype

// A value as stored. For the string types `data` is the text (UTF-8) with any inner
// NULs kept and the terminating NUL removed; for the other types it is the raw bytes.
struct RegValue {
    std::uint32_t type = regtype::None;
    std::string data;
};

struct RegistryPort {
    virtual ~RegistryPort() = default;
    // Creates the missing keys along the path. An empty path opens the root itself.
    virtual std::optional<RegKey> CreateKey(RegKey parent, const std::string& path) = 0;
    virtual std::optional<RegKey> OpenKey(RegKey parent, const std::string& path) = 0;
    virtual void CloseKey(RegKey key) = 0;
    virtual bool SetValue(RegKey key, const std::string& name, const RegValue& value) = 0;
    virtual std::optional<RegValue> QueryValue(RegKey key, const std::string& name) = 0;
    virtual bool DeleteValue(RegKey key, const std::string& name) = 0;
    // After an OpenKey or QueryValue that gave nothing: true when the system could not read
    // it, false when the key or the value is simply not there.
    virtual bool ReadFailed() const = 0;
};

// ---------------------------------------------------------------- audio
struct WaveOutPort {
    virtual ~WaveOutPort() = default;
    virtual int DeviceCount() = 0;
    // The product name the device reports (text before the first NUL), or nothing when
    // the capability query fails.
    virtual std::optional<std::string> ProductName(int device) = 0;
    // Left channel in the low 16 bits, right in the high 16 bits.
    virtual std::optional<std::uint32_t> Volume(int device) = 0;
};

// The multimedia device API of Windows Vista and later: the audio endpoints behind the
// wave devices, the system's default endpoint for each role, and the policy object that
// sets it. Endpoints are named by their ids (IMMDevice::GetId), never by device names.
enum class EndpointFlow { Render, Capture };
enum class EndpointRole { Console = 0, Multimedia = 1, Communications = 2 };
inline constexpr EndpointRole kEndpointRoles[] = {EndpointRole::Console, EndpointRole::Multimedia,
                                                  EndpointRole::Communications};

struct AudioEndpoint {
    std::string id;
    // Which audio adapter the endpoint sits on: equal for the endpoints of one card, "" when
    // the system does not say.
    std::string adapter;
};

struct EndpointPort {
    virtual ~EndpointPort() = default;
    // False where the system has no device enumerator (Windows XP).
    virtual bool DeviceApi() = 0;
    // False where the policy object that sets the default endpoint cannot be made.
    virtual bool PolicyObject() = 0;
    // The active endpoints of the flow, in the system's order.
    virtual std::vector<AudioEndpoint> ActiveEndpoints(EndpointFlow flow) = 0;
    // The endpoint id the driver gives for wave-out (Render) or wave-in (Capture) device N.
    virtual std::optional<std::string> WaveEndpointId(EndpointFlow flow, int device) = 0;
    // The wave-in devices: their number, and the product name as for wave-out devices.
    virtual int WaveInCount() = 0;
    virtual std::optional<std::string> WaveInName(int device) = 0;
    // The id of the default endpoint of the flow for the role; nothing when there is none.
    virtual std::optional<std::string> DefaultEndpoint(EndpointFlow flow, EndpointRole role) = 0;
    // Makes the endpoint the default for the role through the policy object; false with the
    // system's reason in `error`.
    virtual bool SetDefaultEndpoint(const std::string& id, EndpointRole role, std::string& error) = 0;
    // From now until StopWatching, a change of a default endpoint or of the per-user Sound
    // Mapper values reaches the program as ProgramEvents::DefaultsChanged. Changes that
    // come in a burst may arrive as one event.
    virtual void WatchDefaults() = 0;
    virtual void StopWatching() = 0;
};

using MixerHandle = std::uintptr_t;

namespace mixer {
inline constexpr std::uint32_t DstSpeakers = 4;
inline constexpr std::uint32_t SrcLine = 0x1002;
inline constexpr std::uint32_t SrcMicrophone = 0x1003;
inline constexpr std::uint32_t SrcSynthesizer = 0x1004;
inline constexpr std::uint32_t SrcCompactDisc = 0x1005;
inline constexpr std::uint32_t SrcWaveOut = 0x1008;
inline constexpr std::uint32_t SrcAuxiliary = 0x1009;
inline constexpr std::uint32_t ControlVolume = 0x50030001;
inline constexpr std::uint32_t ControlMute = 0x20010002;
}  // namespace mixer

struct MixerControlInfo {
    std::uint32_t id = 0;
    std::int32_t minimum = 0;
    std::int32_t maximum = 0;
};

struct MixerPort {
    virtual ~MixerPort() = default;
    virtual int MixerCount() = 0;
    virtual std::optional<MixerHandle> Open(int mixer) = 0;
    virtual std::uint32_t Close(MixerHandle h) = 0;  // 0 on success
    // Line id of the first line of that component type.
    virtual std::optional<std::uint32_t> LineByComponentType(MixerHandle h, std::uint32_t component) = 0;
    virtual std::optional<MixerControlInfo> ControlByType(MixerHandle h, std::uint32_t line, std::uint32_t type) = 0;
    virtual std::optional<std::uint32_t> GetValue(MixerHandle h, std::uint32_t control) = 0;
    virtual bool SetValue(MixerHandle h, std::uint32_t control, std::uint32_t value) = 0;
    // The mixer that belongs to wave-out device N, as the platform maps them; nothing
    // when the platform has no mapping for it.
    virtual std::optional<int> MixerOfWaveOut(int device) = 0;
};

// ---------------------------------------------------------------- files and shell
struct FilePort {
    virtual ~FilePort() = default;
    virtual bool FileExists(const std::string& path) = 0;  // a normal file, not a folder
    // nothing when the path cannot be examined (it does not exist)
    virtual std::optional<bool> IsFolder(const std::string& path) = 0;
    virtual bool WriteTextFile(const std::string& path, const std::string& content) = 0;
    virtual bool RemoveFile(const std::string& path) = 0;
    virtual std::string CurrentFolder() = 0;
    virtual bool SetCurrentFolder(const std::string& path) = 0;
    virtual bool SetCurrentDrive(char drive) = 0;
    virtual std::string TempFolder() = 0;    // with a trailing separator
    virtual std::string ProgramFolder() = 0; // folder of the running program, no trailing separator
    virtual std::string ProgramName() = 0;   // file name of the running program, without extension
    virtual std::string Environment(const std::string& name) = 0;
    // The drives, as "C:", "D:" ..., in order.
    virtual std::vector<std::string> Drives() = 0;
    struct Entry {
        std::string name;
        bool folder = false;
    };
    // What a folder holds, without "." and ".." and without hidden or system entries;
    // nothing when the folder cannot be read.
    virtual std::optional<std::vector<Entry>> ListFolder(const std::string& folder) = 0;
    // The size of a normal file in bytes; nothing when there is none.
    virtual std::optional<std::uint64_t> FileSize(const std::string& path) = 0;
    // The first `count` bytes of a file (all of a shorter one); nothing when it cannot be read.
    virtual std::optional<std::string> ReadFileStart(const std::string& path, std::size_t count) = 0;
    // The SHA-256 of a file's bytes as 64 lower-case hex digits; nothing when it cannot be read.
    virtual std::optional<std::string> FileSha256(const std::string& path) = 0;
    // Renames a file, replacing a file at `to` when `replace` is set; false when it did not
    // happen (then both names are as they were). Replacing is one step: the file at `to` is
    // the old one or the new one, never missing.
    virtual bool RenameFile(const std::string& from, const std::string& to, bool replace) = 0;
    // Copies a file, replacing a file at `to`; false when it did not happen.
    virtual bool DuplicateFile(const std::string& from, const std::string& to) = 0;
};

// What a download brought: `status` is the HTTP status of the last response (0 when no
// server answered); `complete` when the whole body was written to the file.
struct DownloadResult {
    bool complete = false;
    int status = 0;
    std::string error;  // the system's reason when no answer came or the file could not be written
    std::string final_url;  // where the body came from, after redirects
};

// A shell shortcut: what the .lnk file starts and the icon it shows.
struct ShellLink {
    std::string target;
    std::string arguments;
    std::string icon_file;
    int icon_index = 0;
    int show_command = 1;  // window style of the started program (1: normal)
};

enum class SpecialFolder { Desktop, StartMenu };

struct ShellPort {
    virtual ~ShellPort() = default;
    // Short (8.3) form; nothing when the platform cannot give one.
    virtual std::optional<std::string> ShortPath(const std::string& path) = 0;
    // The program the shell associates with this existing file, or "".
    virtual std::string ExecutableFor(const std::string& file) = 0;
    // Starts a command line without waiting. `show` is a window style (1: normal, focused).
    virtual bool StartProgram(const std::string& command_line, int show) = 0;
    // The current user's folder as the shell knows it (redirected where it was moved); ""
    // when the shell has none.
    virtual std::string UserFolder(SpecialFolder folder) = 0;
    // Writes a shortcut file at `path` through the shell's link object, replacing a file
    // that is there. False, with the system's reason in `error`, when it was not saved.
    virtual bool SaveShortcut(const std::string& path, const ShellLink& link, std::string& error) = 0;
    // Fetches an http or https address into `file` (replacing it), waiting until it is done;
    // redirects are followed, never from https to http.
    virtual DownloadResult Download(const std::string& url, const std::string& file) = 0;
};

// ---------------------------------------------------------------- user interface
namespace mb {
inline constexpr int Ok = 0x0;
inline constexpr int YesNo = 0x4;
inline constexpr int IconError = 0x10;
inline constexpr int IconQuestion = 0x20;
inline constexpr int IconExclamation = 0x30;
inline constexpr int IconInformation = 0x40;
inline constexpr int AnswerOk = 1;
inline constexpr int AnswerYes = 6;
inline constexpr int AnswerNo = 7;
}  // namespace mb

struct UiPort {
    virtual ~UiPort() = default;
    // An empty title shows the application title.
    virtual int ShowMessageBox(const std::string& text, const std::string& title, int style) = 0;
    virtual void Beep(unsigned type) = 0;
    // Runs the events that are waiting (a button press in the window, a timer tick ...).
    virtual void DoEvents() = 0;
    // The longest time between the two clicks of a double click, in milliseconds.
    virtual int DoubleClickTime() = 0;
    // Ends the program at once; nothing after the call runs.
    virtual void EndProgram() = 0;
};

// Gives the program's forms their windows. A form is loaded (it gets its window, hidden),
// shown, and closed when it was unloaded (its window goes). The host never destroys the
// form itself: the App owns it.
struct FormHostPort {
    virtual ~FormHostPort() = default;
    virtual void Load(ui::Form& form) = 0;
    // Shows the form and brings it to the front; returns at once.
    virtual void Show(ui::Form& form) = 0;
    // Shows the form and returns when it is hidden or closed. Modal forms may nest; while
    // one is shown, the program's other windows take no input but its events still run.
    virtual void ShowModal(ui::Form& form) = 0;
    virtual void Close(ui::Form& form) = 0;
    // Keeps the form's window above all other windows, or lets it go back among them.
    virtual void SetTopMost(ui::Form& form, bool topmost) = 0;
    // A mouse button is down on the form: the window follows the mouse until the button is
    // released, as if its title bar had been pressed.
    virtual void DragWindow(ui::Form& form) = 0;
    // Rounds the window's corners with ellipses of this size, in pixels at 96 DPI (scaled
    // with the display).
    virtual void ShapeWindowCorners(ui::Form& form, int corner_pixels) = 0;
    // The part of the screen that windows may take (without the taskbar), in twips.
    struct Area {
        int left = 0, top = 0, right = 0, bottom = 0;
    };
    virtual Area WorkArea() = 0;
};

// ---------------------------------------------------------------- tray and menus
struct MenuItem {
    int id = 0;
    std::string text;
    bool separator = false;
    bool checked = false;
    bool grayed = false;
};

struct MenuPort {
    virtual ~MenuPort() = default;
    // Shows a popup menu at the mouse position and waits until it closes; the picked
    // item's id, or 0 when the menu was dismissed.
    virtual int TrackPopupMenu(const std::vector<MenuItem>& items) = 0;
};

struct TrayPort {
    virtual ~TrayPort() = default;
    // The program's one icon in the notification area, with the main window's icon.
    virtual bool AddIcon(const std::string& tip) = 0;
    virtual bool ModifyTip(const std::string& tip) = 0;
    virtual bool RemoveIcon() = 0;
};

// ---------------------------------------------------------------- hotkeys
// System-wide Ctrl+key hotkeys of the program. A pressed one arrives as
// ProgramEvents::HotkeyPressed with its id.
struct HotkeyPort {
    virtual ~HotkeyPort() = default;
    // The number of a global atom of this name (added, or counted once more); 0 on failure.
    virtual std::uint16_t AddAtom(const std::string& name) = 0;
    virtual void DeleteAtom(std::uint16_t atom) = 0;
    // Ctrl + the key with this virtual-key code; false when another program holds it.
    virtual bool RegisterHotkey(int id, int key_code) = 0;
    virtual void UnregisterHotkey(int id) = 0;
};

// ---------------------------------------------------------------- other instances
using WindowRef = std::uintptr_t;

struct InstancePort {
    virtual ~InstancePort() = default;
    // True when another instance of this program runs for this user.
    virtual bool PreviousInstance() = 0;
    // The main window of another running instance whose caption begins with `title`.
    virtual std::optional<WindowRef> FindProgramWindow(const std::string& title) = 0;
    virtual void RestoreWindow(WindowRef window) = 0;
    virtual void SetTopMost(WindowRef window, bool topmost) = 0;
    // Asks that instance to bring its main window forward; false when none was found.
    virtual bool ActivateProgram(const std::string& title) = 0;
    // Tells every running instance (this one included) that the default card changed;
    // `stamp` names the sender. Returns when all have been told, never waiting on a hung
    // one for long.
    virtual void NotifyDeviceChanged(std::int32_t stamp) = 0;
};

struct LocalTime {
    int day = 1, hour = 0, minute = 0, second = 0;
};

struct ClockPort {
    virtual ~ClockPort() = default;
    virtual LocalTime Now() = 0;
};

// What reaches the running program from outside: the platform delivers these, and the App
// handles them. Each is one event: forms unloaded while it runs are destroyed after it.
struct ProgramEvents {
    virtual ~ProgramEvents() = default;
    // Another instance (or this one) switched the default card; `stamp` names the sender.
    virtual void DeviceChanged(std::int32_t stamp) = 0;
    // A default card of the system may have changed (another program, the system's own
    // settings): what the program shows should be checked against it.
    virtual void DefaultsChanged() = 0;
    // Another start of the program asks for the main window.
    virtual void BringForward() = 0;
    // A mouse notification of the tray icon: the mouse message numbers 512 to 518.
    virtual void TrayMouse(int notification) = 0;
    // The notification area was (re)created, for example after Explorer restarted.
    virtual void TaskbarCreated() = 0;
    // A registered hotkey was pressed.
    virtual void HotkeyPressed(int id) = 0;
    // The session is about to end: may it? Nothing is done yet.
    virtual bool SessionEnding() = 0;
    // The session ends (true), or the ending was cancelled after all (false).
    virtual void SessionEnded(bool ending) = 0;
    // The user closed a form's window (close box, Alt+F4).
    virtual void CloseRequested(ui::Form& form) = 0;
    // Something the user did in a form (a click, a key, a timer tick): run its handler.
    virtual void UserEvent(const std::function<void()>& handler) = 0;
};

// Everything the program needs of the operating system.
struct Platform {
    RegistryPort& registry;
    WaveOutPort& waveout;
    EndpointPort& endpoints;
    MixerPort& mixer;
    FilePort& files;
    ShellPort& shell;
    UiPort& ui;
    ClockPort& clock;
    TrayPort& tray;
    MenuPort& menu;
    HotkeyPort& hotkeys;
    InstancePort& instance;
    FormHostPort& forms;
};

}  // namespace varlindo
