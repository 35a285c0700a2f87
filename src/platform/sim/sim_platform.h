#pragma once
// An in-memory Windows for the tests. A SimDesktop holds what programs share (the
// registry, the sound cards and their mixers, the files, the top-level windows that
// receive broadcasts); each running program gets its own SimPlatform on that desktop.

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/ports.h"

namespace varlindo::sim {

struct SimControl {
    std::uint32_t id = 0;
    std::int32_t minimum = 0;
    std::int32_t maximum = 65535;
    std::uint32_t value = 0;
};

struct SimMixer {
    // component type -> (line id, control type -> control)
    struct Line {
        std::uint32_t id = 0;
        std::map<std::uint32_t, SimControl> controls;
    };
    std::map<std::uint32_t, Line> lines;
    bool opens = true;

    // A mixer with all seven lines, volume 0..65535 and mute 0..1 each.
    static SimMixer Full();
    SimControl* Control(std::uint32_t component, std::uint32_t type);
};

struct SimCard {
    std::string name;
    bool answers = true;                        // the capability query succeeds
    std::optional<std::uint32_t> volume = 0;    // nothing: the query fails
};

class SimDesktop {
public:
    // ---- registry: key path ("HKCU\Software\...", lower case) -> values ----
    struct Key {
        std::map<std::string, std::pair<std::string, RegValue>> values;  // lower name -> (name, value)
    };
    std::map<std::string, Key> keys;
    std::optional<RegValue> Value(const std::string& key_path, const std::string& name) const;
    void SetValue(const std::string& key_path, const std::string& name, RegValue value);
    void SetString(const std::string& key_path, const std::string& name, const std::string& text) {
        SetValue(key_path, name, RegValue{1, text});
    }
    void SetDWord(const std::string& key_path, const std::string& name, std::uint32_t number);
    std::optional<std::string> String(const std::string& key_path, const std::string& name) const;
    std::optional<std::uint32_t> DWord(const std::string& key_path, const std::string& name) const;
    bool KeyExists(const std::string& key_path) const;
    std::vector<std::string> writes;  // "key path\value name" of every value written, in order

    // ---- audio ----
    std::vector<SimCard> cards;
    std::vector<SimMixer> mixers;
    // Mixer of each wave-out device; empty: the platform has no mapping.
    std::vector<int> waveout_to_mixer;
    void AddCard(const std::string& name, bool with_mixer = true);

    // ---- files (paths compared without case) ----
    std::map<std::string, std::string> files;  // lower path -> content
    std::set<std::string> folders;             // lower paths, no trailing separator
    std::vector<std::string> file_writes;      // every file written, as named
    std::map<std::string, std::string> short_paths;    // lower long path -> short path
    std::map<std::string, std::string> associations;   // lower extension (".txt") -> program
    bool HasFile(const std::string& path) const;

    // ---- programs' main windows: they receive broadcast messages ----
    using Receiver = std::function<void(unsigned message, std::uintptr_t wparam)>;
    int AddWindow(Receiver receiver, std::string title = "Varlindo");
    void Send(int window, unsigned message, std::uintptr_t wparam);
    std::set<std::string> locks;  // named per-user locks held by running programs
    std::map<int, bool> topmost;
    void RemoveWindow(int id);
    void Broadcast(unsigned message, std::uintptr_t wparam);
    std::vector<std::pair<unsigned, std::uintptr_t>> broadcasts;

    struct Window {
        Receiver receiver;
        std::string title;
    };
    const std::map<int, Window>& Windows() const { return windows_; }

private:
    std::map<int, Window> windows_;
    int next_window_ = 1;
};

// Thrown by EndProgram so that the program unwinds back to the test.
struct ProgramEnded {};

class SimPlatform : public RegistryPort,
                    public WaveOutPort,
                    public MixerPort,
                    public FilePort,
                    public ShellPort,
                    public UiPort,
                    public ClockPort,
                    public TrayPort,
                    public MenuPort,
                    public InstancePort {
public:
    explicit SimPlatform(SimDesktop& desktop);
    ~SimPlatform() override;
    Platform& Ports() { return ports_; }
    SimDesktop& Desktop() { return desktop_; }

    // ---- what the program did, for the tests ----
    struct Box {
        std::string text, title;
        int style;
    };
    std::vector<Box> boxes;
    std::vector<unsigned> beeps;
    std::vector<std::string> started;   // command lines of started programs
    int ended = 0;
    // Answers message boxes; by default the first button (OK, Yes).
    std::function<int(const Box&)> answer;
    std::function<void()> on_do_events;
    LocalTime now{7, 0, 38, 12};
    std::string current_folder = "C:\\Users\\test";
    std::string temp_folder = "C:\\Users\\test\\AppData\\Local\\Temp\\";
    std::string program_folder = "C:\\Program Files\\Varlindo";
    std::string program_name = "Varlindo";
    // The tray icon, as the notification area shows it.
    bool tray_icon = false;
    std::string tray_tip;
    int tray_adds = 0;
    // The last popup menu shown, and who picks from it (by default nobody: dismissed).
    std::vector<MenuItem> last_menu;
    int menus_shown = 0;
    std::function<int(const std::vector<MenuItem>&)> pick;
    // This program's own main window on the desktop (set by whoever starts it).
    int own_window = 0;
    std::map<std::string, std::string> environment;
    int open_keys() const { return static_cast<int>(open_keys_.size()); }

    // RegistryPort
    std::optional<RegKey> CreateKey(RegKey parent, const std::string& path) override;
    std::optional<RegKey> OpenKey(RegKey parent, const std::string& path) override;
    void CloseKey(RegKey key) override;
    bool SetValue(RegKey key, const std::string& name, const RegValue& value) override;
    std::optional<RegValue> QueryValue(RegKey key, const std::string& name) override;
    bool DeleteValue(RegKey key, const std::string& name) override;
    // WaveOutPort
    int DeviceCount() override;
    std::optional<std::string> ProductName(int device) override;
    std::optional<std::uint32_t> Volume(int device) override;
    // MixerPort
    int MixerCount() override;
    std::optional<MixerHandle> Open(int mixer) override;
    std::uint32_t Close(MixerHandle h) override;
    std::optional<std::uint32_t> LineByComponentType(MixerHandle h, std::uint32_t component) override;
    std::optional<MixerControlInfo> ControlByType(MixerHandle h, std::uint32_t line, std::uint32_t type) override;
    std::optional<std::uint32_t> GetValue(MixerHandle h, std::uint32_t control) override;
    bool SetValue(MixerHandle h, std::uint32_t control, std::uint32_t value) override;
    std::optional<int> MixerOfWaveOut(int device) override;
    // FilePort
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
    // ShellPort
    std::optional<std::string> ShortPath(const std::string& path) override;
    std::string ExecutableFor(const std::string& file) override;
    bool StartProgram(const std::string& command_line, int show) override;
    // UiPort
    int ShowMessageBox(const std::string& text, const std::string& title, int style) override;
    void Beep(unsigned type) override { beeps.push_back(type); }
    void DoEvents() override {
        if (on_do_events) on_do_events();
    }
    void BroadcastMessage(unsigned message, std::uintptr_t wparam) override { desktop_.Broadcast(message, wparam); }
    void EndProgram() override;
    // ClockPort
    LocalTime Now() override { return now; }
    // TrayPort
    bool AddIcon(const std::string& tip) override;
    bool ModifyTip(const std::string& tip) override;
    bool RemoveIcon() override;
    // MenuPort
    int TrackPopupMenu(const std::vector<MenuItem>& items) override;
    // InstancePort
    bool PreviousInstance() override;
    std::optional<WindowRef> FindProgramWindow(const std::string& title) override;
    void RestoreWindow(WindowRef) override {}
    void SetTopMost(WindowRef window, bool on) override { desktop_.topmost[static_cast<int>(window)] = on; }
    bool ActivateProgram(const std::string& title) override;

private:
    std::optional<std::string> KeyPath(RegKey key) const;
    SimMixer* OpenMixerOf(MixerHandle h);

    SimDesktop& desktop_;
    Platform ports_;
    std::map<RegKey, std::string> open_keys_;
    RegKey next_key_ = 0x1000;
    std::map<MixerHandle, int> open_mixers_;
    MixerHandle next_mixer_ = 0x2000;
    bool holds_lock_ = false;
};

}  // namespace varlindo::sim
