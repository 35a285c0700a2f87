#pragma once
// An in-memory Windows for the tests. A SimDesktop holds what programs share (the
// registry, the sound cards and their mixers, the files, the running programs and their
// windows); each running program gets its own SimPlatform on that desktop, with one object
// per service as the Win32 backend has (sim_registry.cpp mirrors win32_registry.cpp ...).

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <source_location>
#include <string>
#include <vector>

#include "platform/ports.h"

namespace varlindo::sim {

class SimPlatform;

// ---------------------------------------------------------------- what programs share

struct SimMixerControl {
    std::uint32_t id = 0;
    std::int32_t minimum = 0;
    std::int32_t maximum = 65535;
    std::uint32_t value = 0;
};

struct SimMixerDevice {
    // component type -> (line id, control type -> control)
    struct Line {
        std::uint32_t id = 0;
        std::map<std::uint32_t, SimMixerControl> controls;
    };
    std::map<std::uint32_t, Line> lines;
    bool opens = true;

    // A card's mixer with all seven lines, volume 0..65535 and mute 0..1 each.
    static SimMixerDevice Full();
    // A recording device's mixer: line-in and microphone only.
    static SimMixerDevice CaptureOnly();
    SimMixerControl* Control(std::uint32_t component, std::uint32_t type);
};

struct SimCard {
    std::string name;
    bool answers = true;                        // the capability query succeeds
    std::optional<std::uint32_t> volume = 0;    // nothing: the query fails
    std::optional<int> mixer;                   // the mixer the platform maps the card to
    std::string endpoint;                       // the render endpoint the driver names; "" none
};

// An audio endpoint of the multimedia device API.
struct SimEndpoint {
    std::string id;
    EndpointFlow flow = EndpointFlow::Render;
    std::string adapter;
    bool active = true;
};

// A wave-in device and the capture endpoint its driver names ("" none).
struct SimWaveIn {
    std::string name;
    std::string endpoint;
};

class SimDesktop {
public:
    SimDesktop() = default;
    SimDesktop(const SimDesktop&) = delete;
    SimDesktop& operator=(const SimDesktop&) = delete;

    // ---- registry: key path ("HKCU\Software\...", lower case) -> values ----
    struct Key {
        std::map<std::string, std::pair<std::string, RegValue>> values;  // lower name -> (name, value)
    };
    std::map<std::string, Key> keys;
    std::optional<RegValue> Value(const std::string& key_path, const std::string& name) const;
    void SetValue(const std::string& key_path, const std::string& name, RegValue value);
    void SetString(const std::string& key_path, const std::string& name, const std::string& text) {
        SetValue(key_path, name, RegValue{regtype::Sz, text});
    }
    void SetDWord(const std::string& key_path, const std::string& name, std::uint32_t number);
    std::optional<std::string> String(const std::string& key_path, const std::string& name) const;
    std::optional<std::uint32_t> DWord(const std::string& key_path, const std::string& name) const;
    bool KeyExists(const std::string& key_path) const;
    std::vector<std::string> writes;  // "key path\value name" of every value written, in order

    // ---- audio ----
    // The mixers are numbered differently from the cards, as on real machines: mixer 0
    // belongs to a recording device, and a card without a mixer takes no number.
    std::vector<SimCard> cards;
    std::vector<SimMixerDevice> mixers;
    void AddCard(const std::string& name, bool with_mixer = true);
    // The mixer of card N; the card must have one.
    SimMixerDevice& CardMixer(int card);

    // ---- audio endpoints (Windows Vista and later; absent by default, as on XP) ----
    bool device_api = false;
    bool policy_object = false;
    std::vector<SimEndpoint> endpoints;
    std::vector<SimWaveIn> wave_in;
    std::map<std::pair<EndpointFlow, EndpointRole>, std::string> default_endpoints;
    std::vector<std::string> policy_calls;  // "<id> <role number>" of every default set
    std::string policy_refuses;             // not "": the policy object fails, with this reason
    // The device API and the policy object are there, and every card so far gets a render
    // endpoint "{render N}" and a wave-in device of its own name with a capture endpoint
    // "{capture N}", both on adapter "card N"; the first card is the default.
    void UseEndpoints();
    // Sets the system's default for all roles, as the system's own settings would.
    void SetDefaultEndpoint(EndpointFlow flow, const std::string& id);
    // Change notices of the defaults (a default endpoint or a Sound Mapper value changed)
    // wait until delivered, as a posted message waits for the message loop; a burst of them
    // reaches a watching program as one event.
    void QueueDefaultsNotice();
    void DeliverDefaultsNotices();

    // ---- files (paths compared without case) ----
    std::map<std::string, std::string> files;  // lower path -> content
    std::set<std::string> folders;             // lower paths, no trailing separator
    std::vector<std::string> file_writes;      // every file written, as named
    std::map<std::string, std::string> short_paths;    // lower long path -> short path
    std::map<std::string, std::string> associations;   // lower extension (".txt") -> program
    std::map<std::string, std::string> spelling;       // lower path -> the path as added
    std::set<std::string> hidden;                      // lower paths the file lists leave out
    std::set<std::string> read_only;                   // lower paths of files that cannot be replaced
    std::set<std::string> unreadable;                  // lower paths of folders that cannot be listed
    std::set<std::string> locked;                      // lower paths of files open without delete sharing: neither renamed nor removed
    std::set<std::string> running;                     // lower paths of running programs: renamed, but neither replaced nor removed
    bool HasFile(const std::string& path) const;
    // Adds a file or a folder, with the folders on its way, keeping its spelling.
    void AddFile(const std::string& path, const std::string& content = "");
    void AddFolder(const std::string& path);
    // Shell shortcuts written, by lower path.
    std::map<std::string, ShellLink> shortcuts;
    // The web as the programs see it: address -> (HTTP status, body). An address not
    // listed has no server; `cut_off` bodies arrive incomplete.
    std::map<std::string, std::pair<int, std::string>> web;
    std::set<std::string> cut_off;
    // Addresses whose server sends the client on to another address (a 302 without a body).
    std::map<std::string, std::string> redirects;
    std::vector<std::string> downloads;  // every address fetched, in order

    // ---- failures on demand ----
    // Every port call that can fail counts (of every program on the desktop); the one with
    // number `fail_call` (from 1) fails as the system's call would. 0: none fails.
    int port_calls = 0;
    int fail_call = 0;
    std::string failed_call;  // the port call that failed
    bool FailsNow() { return ++port_calls == fail_call; }

    // ---- running programs ----
    const std::vector<SimPlatform*>& Programs() const { return programs_; }
    // Delivers a device-change notice to every running program.
    void NotifyDeviceChanged(std::int32_t stamp);
    std::vector<std::int32_t> device_notices;
    // Explorer restarts: every tray icon is gone, and the programs are told.
    void RestartShell();
    std::set<std::string> locks;       // named per-user locks held by running programs
    std::map<int, bool> topmost;       // program id -> its main window is top-most

    // Global atoms: name -> (number, references); and the hotkeys held: key code -> (program
    // id, hotkey id).
    std::map<std::string, std::pair<std::uint16_t, int>> atoms;
    std::map<int, std::pair<int, int>> hotkeys;
    std::uint16_t next_atom = 0xC000;
    // The user presses Ctrl+key anywhere; false when no program holds it.
    bool PressHotkey(int key_code);

private:
    friend class SimPlatform;
    std::vector<SimPlatform*> programs_;
    int next_program_ = 1;
};

// Thrown by EndProgram so that the program unwinds back to the test.
struct ProgramEnded {};

// ---------------------------------------------------------------- one program's services

class SimService {
public:
    SimService(SimDesktop& desktop, SimPlatform& program) : desktop_(desktop), program_(program) {}

protected:
    // Counts one port call that can fail; true when this is the call the test makes fail.
    bool Fails(std::source_location call = std::source_location::current()) {
        if (!desktop_.FailsNow()) return false;
        desktop_.failed_call = call.function_name();
        return true;
    }
    SimDesktop& desktop_;
    SimPlatform& program_;
};

class SimRegistry final : public RegistryPort, SimService {
public:
    using SimService::SimService;
    std::optional<RegKey> CreateKey(RegKey parent, const std::string& path) override;
    std::optional<RegKey> OpenKey(RegKey parent, const std::string& path) override;
    void CloseKey(RegKey key) override;
    bool SetValue(RegKey key, const std::string& name, const RegValue& value) override;
    std::optional<RegValue> QueryValue(RegKey key, const std::string& name) override;
    bool DeleteValue(RegKey key, const std::string& name) override;
    bool ReadFailed() const override { return read_failed_; }
    int OpenKeys() const { return static_cast<int>(open_keys_.size()); }

private:
    std::optional<std::string> KeyPath(RegKey key) const;
    std::map<RegKey, std::string> open_keys_;
    RegKey next_key_ = 0x1000;
    bool read_failed_ = false;
};

class SimWaveOut final : public WaveOutPort, SimService {
public:
    using SimService::SimService;
    int DeviceCount() override;
    std::optional<std::string> ProductName(int device) override;
    std::optional<std::uint32_t> Volume(int device) override;
};

class SimEndpoints final : public EndpointPort, SimService {
public:
    using SimService::SimService;
    bool DeviceApi() override { return desktop_.device_api; }
    bool PolicyObject() override { return desktop_.device_api && desktop_.policy_object; }
    std::vector<AudioEndpoint> ActiveEndpoints(EndpointFlow flow) override;
    std::optional<std::string> WaveEndpointId(EndpointFlow flow, int device) override;
    int WaveInCount() override;
    std::optional<std::string> WaveInName(int device) override;
    std::optional<std::string> DefaultEndpoint(EndpointFlow flow, EndpointRole role) override;
    bool SetDefaultEndpoint(const std::string& id, EndpointRole role, std::string& error) override;
    void WatchDefaults() override { watching = true; }
    void StopWatching() override { watching = false; }
    bool watching = false;
    bool notice_pending = false;
};

class SimMixer final : public MixerPort, SimService {
public:
    using SimService::SimService;
    int MixerCount() override;
    std::optional<MixerHandle> Open(int mixer) override;
    std::uint32_t Close(MixerHandle h) override;
    std::optional<std::uint32_t> LineByComponentType(MixerHandle h, std::uint32_t component) override;
    std::optional<MixerControlInfo> ControlByType(MixerHandle h, std::uint32_t line, std::uint32_t type) override;
    std::optional<std::uint32_t> GetValue(MixerHandle h, std::uint32_t control) override;
    bool SetValue(MixerHandle h, std::uint32_t control, std::uint32_t value) override;
    std::optional<int> MixerOfWaveOut(int device) override;
    std::vector<int> opened;  // mixer numbers, in the order they were opened

private:
    SimMixerDevice* OpenMixerOf(MixerHandle h);
    SimMixerControl* FindControl(MixerHandle h, std::uint32_t control);
    std::map<MixerHandle, int> open_mixers_;
    MixerHandle next_mixer_ = 0x2000;
};

class SimFiles final : public FilePort, SimService {
public:
    SimFiles(SimDesktop& desktop, SimPlatform& program);
    bool FileExists(const std::string& path) override;
    std::optional<bool> IsFolder(const std::string& path) override;
    bool WriteTextFile(const std::string& path, const std::string& content) override;
    bool RemoveFile(const std::string& path) override;
    std::string CurrentFolder() override { return current_folder; }
    bool SetCurrentFolder(const std::string& path) override;
    bool SetCurrentDrive(char drive) override;
    std::string TempFolder() override { return temp_folder; }
    std::string ProgramFolder() override { return program_folder; }
    std::string ProgramName() override { return program_name; }
    std::string Environment(const std::string& name) override;
    std::vector<std::string> Drives() override;
    std::optional<std::vector<Entry>> ListFolder(const std::string& folder) override;
    std::optional<std::uint64_t> FileSize(const std::string& path) override;
    std::optional<std::string> ReadFileStart(const std::string& path, std::size_t count) override;
    std::optional<std::string> FileSha256(const std::string& path) override;
    bool RenameFile(const std::string& from, const std::string& to, bool replace) override;
    bool DuplicateFile(const std::string& from, const std::string& to) override;

    std::string current_folder = "C:\\Users\\test";
    std::string temp_folder = "C:\\Users\\test\\AppData\\Local\\Temp\\";
    std::string program_folder = "C:\\Program Files\\Varlindo";
    std::string program_name = "Varlindo";
    std::map<std::string, std::string> environment;
};

class SimShell final : public ShellPort, SimService {
public:
    using SimService::SimService;
    std::optional<std::string> ShortPath(const std::string& path) override;
    std::string ExecutableFor(const std::string& file) override;
    bool StartProgram(const std::string& command_line, int show) override;
    std::string UserFolder(SpecialFolder folder) override;
    bool SaveShortcut(const std::string& path, const ShellLink& link, std::string& error) override;
    DownloadResult Download(const std::string& url, const std::string& file) override;
    std::vector<std::string> started;  // command lines of started programs
    std::vector<std::string> started_in;  // the current folder at each start
    std::map<SpecialFolder, std::string> user_folders;  // what the shell reports
    bool link_object_missing = false;                    // the shell's link object cannot be made
    std::vector<std::string> shortcut_saves;             // every shortcut path saved, as named
};

class SimUi final : public UiPort, SimService {
public:
    using SimService::SimService;
    struct Box {
        std::string text, title;
        int style;
    };
    int ShowMessageBox(const std::string& text, const std::string& title, int style) override;
    void Beep(unsigned type) override { beeps.push_back(type); }
    void DoEvents() override {
        if (on_do_events) on_do_events();
    }
    int DoubleClickTime() override { return double_click_ms; }
    void EndProgram() override;

    std::vector<Box> boxes;
    std::vector<unsigned> beeps;
    int ended = 0;
    // Answers message boxes; by default the first button (OK, Yes).
    std::function<int(const Box&)> answer;
    int double_click_ms = 500;
    std::function<void()> on_do_events;
};

class SimClock final : public ClockPort {
public:
    LocalTime Now() override { return now; }
    LocalTime now{7, 0, 38, 12};
};

// The notification area and popup menus.
class SimTray final : public TrayPort, public MenuPort, SimService {
public:
    using SimService::SimService;
    bool AddIcon(const std::string& tip) override;
    bool ModifyTip(const std::string& tip) override;
    bool RemoveIcon() override;
    int TrackPopupMenu(const std::vector<MenuItem>& items) override;

    // The icon, as the notification area shows it.
    bool icon = false;
    std::string tip;
    int adds = 0;          // icons added
    int refuse_adds = 0;   // the shell refuses this many more adds (not ready yet)
    // The last popup menu shown, and who picks from it (by default nobody: dismissed).
    std::vector<MenuItem> last_menu;
    int menus_shown = 0;
    std::function<int(const std::vector<MenuItem>&)> pick;
};

class SimInstance final : public InstancePort, SimService {
public:
    using SimService::SimService;
    ~SimInstance() override;
    bool PreviousInstance() override;
    std::optional<WindowRef> FindProgramWindow(const std::string& title) override;
    void RestoreWindow(WindowRef window) override { restored.push_back(static_cast<int>(window)); }
    void SetTopMost(WindowRef window, bool on) override { desktop_.topmost[static_cast<int>(window)] = on; }
    bool ActivateProgram(const std::string& title) override;
    void NotifyDeviceChanged(std::int32_t stamp) override { desktop_.NotifyDeviceChanged(stamp); }
    std::vector<int> restored;

private:
    bool holds_lock_ = false;
};

// Forms have no windows here. A modal display runs the script the test gave for that form
// (by form name) while the form is shown; a form the script leaves shown is then hidden.
// While a modal form is shown, the other forms that are shown take no input.
class SimFormHost final : public FormHostPort, SimService {
public:
    using SimService::SimService;
    void Load(ui::Form& form) override;
    void Show(ui::Form& form) override;
    void ShowModal(ui::Form& form) override;
    void Close(ui::Form& form) override;
    void SetTopMost(ui::Form& form, bool topmost) override { topmost_[&form] = topmost; }
    void DragWindow(ui::Form& form) override;
    void ShapeWindowCorners(ui::Form& form, int corner_pixels) override;
    Area WorkArea() override { return work_area; }
    // A 1024 x 768 screen with a taskbar of 40 pixels at the bottom.
    Area work_area{0, 0, 15360, 10920};

    // The window is kept above all others.
    bool IsTopMost(const ui::Form& form) const {
        auto it = topmost_.find(&form);
        return it != topmost_.end() && it->second;
    }
    const std::vector<ui::Form*>& Loaded() const { return loaded_; }
    bool IsLoaded(const std::string& name) const;
    bool TakesInput(const ui::Form& form) const;
    std::map<std::string, std::function<void(ui::Form&)>> modal;
    // "load X", "show X", "modal X", "modal X ends", "close X", "drag X", "corners X n"
    std::vector<std::string> log;
    int modal_left_open = 0;       // modal forms the script did not close

private:
    std::vector<ui::Form*> loaded_;
    std::map<const ui::Form*, bool> topmost_;
    // Per modal display: the form and the forms that wait for it.
    std::vector<std::pair<const ui::Form*, std::vector<const ui::Form*>>> modal_levels_;
};

// Atoms and hotkeys are the desktop's: a key another program holds cannot be had.
class SimHotkeys final : public HotkeyPort, SimService {
public:
    using SimService::SimService;
    std::uint16_t AddAtom(const std::string& name) override;
    void DeleteAtom(std::uint16_t atom) override;
    bool RegisterHotkey(int id, int key_code) override;
    void UnregisterHotkey(int id) override;
    bool refuse_atoms = false;  // the atom table is full
};

// ---------------------------------------------------------------- one running program

class SimPlatform {
public:
    explicit SimPlatform(SimDesktop& desktop);
    ~SimPlatform();
    SimPlatform(const SimPlatform&) = delete;
    SimPlatform& operator=(const SimPlatform&) = delete;

    Platform& Ports() { return ports_; }
    SimDesktop& Desktop() { return desktop_; }
    int Id() const { return id_; }
    // The program that receives this platform's events.
    void Connect(ProgramEvents& events) { events_ = &events; }
    ProgramEvents* Events() const { return running_ ? events_ : nullptr; }
    bool Running() const { return running_; }
    void Ended() { running_ = false; }

    SimRegistry registry;
    SimWaveOut waveout;
    SimEndpoints endpoints;
    SimMixer mixer;
    SimFiles files;
    SimShell shell;
    SimUi ui;
    SimClock clock;
    SimTray tray;
    SimHotkeys hotkeys;
    SimInstance instance;
    SimFormHost forms;

private:
    SimDesktop& desktop_;
    int id_;
    ProgramEvents* events_ = nullptr;
    bool running_ = true;
    Platform ports_;
};

}  // namespace varlindo::sim
