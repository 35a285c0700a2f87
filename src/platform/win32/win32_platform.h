#pragma once
// The real Windows behind the ports.

#include <windows.h>

#include <functional>
#include <string>

#include "platform/win32/win32_handle.h"

#include "platform/ports.h"

namespace varlindo::win32 {

class Registry final : public RegistryPort {
public:
    std::optional<RegKey> CreateKey(RegKey parent, const std::string& path) override;
    std::optional<RegKey> OpenKey(RegKey parent, const std::string& path) override;
    void CloseKey(RegKey key) override;
    bool SetValue(RegKey key, const std::string& name, const RegValue& value) override;
    std::optional<RegValue> QueryValue(RegKey key, const std::string& name) override;
    bool DeleteValue(RegKey key, const std::string& name) override;
};

class WaveOut final : public WaveOutPort {
public:
    int DeviceCount() override;
    std::optional<std::string> ProductName(int device) override;
    std::optional<std::uint32_t> Volume(int device) override;
};

class Mixer final : public MixerPort {
public:
    int MixerCount() override;
    std::optional<MixerHandle> Open(int mixer) override;
    std::uint32_t Close(MixerHandle h) override;
    std::optional<std::uint32_t> LineByComponentType(MixerHandle h, std::uint32_t component) override;
    std::optional<MixerControlInfo> ControlByType(MixerHandle h, std::uint32_t line, std::uint32_t type) override;
    std::optional<std::uint32_t> GetValue(MixerHandle h, std::uint32_t control) override;
    bool SetValue(MixerHandle h, std::uint32_t control, std::uint32_t value) override;
    std::optional<int> MixerOfWaveOut(int device) override;
};

class Files final : public FilePort {
public:
    bool FileExists(const std::string& path) override;
    std::optional<bool> IsFolder(const std::string& path) override;
    bool WriteTextFile(const std::string& path, const std::string& content) override;
    bool RemoveFile(const std::string& path) override;
    std::string CurrentFolder() override;
    bool SetCurrentFolder(const std::string& path) override;
    bool SetCurrentDrive(char drive) override;
    std::string TempFolder() override;
    std::string ProgramFolder() override;
    std::string ProgramName() override;
    std::string Environment(const std::string& name) override;
};

class Shell final : public ShellPort {
public:
    std::optional<std::string> ShortPath(const std::string& path) override;
    std::string ExecutableFor(const std::string& file) override;
    bool StartProgram(const std::string& command_line, int show) override;
};

class Ui final : public UiPort {
public:
    // Message boxes belong to this window while it is shown.
    void SetOwner(HWND owner) { owner_ = owner; }
    int ShowMessageBox(const std::string& text, const std::string& title, int style) override;
    void Beep(unsigned type) override;
    void DoEvents() override;
    void BroadcastMessage(unsigned message, std::uintptr_t wparam) override;
    void EndProgram() override;

private:
    HWND owner_ = nullptr;
};

class Clock final : public ClockPort {
public:
    LocalTime Now() override;
};

// The notification-area icon and its popup menu. A hidden top-level window (not a
// message-only one, which would miss "TaskbarCreated") receives the icon's mouse
// notifications and owns the menu.
class Tray final : public TrayPort, public MenuPort {
public:
    explicit Tray(HINSTANCE instance);
    ~Tray() override;
    void SetIcon(HICON icon) { icon_ = icon; }
    // Receives the mouse message numbers of the icon (514 left button up ...).
    std::function<void(int notification)> OnNotification;

    bool AddIcon(const std::string& tip) override;
    bool ModifyTip(const std::string& tip) override;
    bool RemoveIcon() override;
    int TrackPopupMenu(const std::vector<MenuItem>& items) override;

private:
    static LRESULT CALLBACK WndProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
    bool Notify(DWORD action);

    HWND hwnd_ = nullptr;
    HICON icon_ = nullptr;
    std::wstring tip_;
    bool added_ = false;
    UINT taskbar_created_ = 0;
};

class Instance final : public InstancePort {
public:
    bool PreviousInstance() override;
    std::optional<WindowRef> FindProgramWindow(const std::string& title) override;
    void RestoreWindow(WindowRef window) override;
    void SetTopMost(WindowRef window, bool topmost) override;
    bool ActivateProgram(const std::string& title) override;
    // The registered message that carries the request to come forward.
    static UINT BringForwardMessage();

private:
    unique_kernel lock_;
};

// All ports of the running program.
class Win32Platform {
public:
    explicit Win32Platform(HINSTANCE instance)
        : tray(instance), ports_{registry, waveout, mixer, files, shell, ui, clock, tray, tray, this->instance} {}
    Platform& Ports() { return ports_; }

    Registry registry;
    WaveOut waveout;
    Mixer mixer;
    Files files;
    Shell shell;
    Ui ui;
    Clock clock;
    Tray tray;
    Instance instance;

private:
    Platform ports_;
};

}  // namespace varlindo::win32
