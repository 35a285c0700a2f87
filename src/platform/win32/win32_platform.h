#pragma once
// The real Windows behind the ports, one class per service.

#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ports.h"
#include "platform/win32/win32_handle.h"

namespace varlindo::ui {
class Control;
}

namespace varlindo::win32 {

class Win32FormWindow;

// Where the backend delivers what reaches the program from outside. Until a program is
// connected, nothing is delivered and user events run their handlers directly.
class EventTarget {
public:
    void Connect(ProgramEvents& events) { events_ = &events; }
    ProgramEvents* Events() const { return events_; }
    void UserEvent(const std::function<void()>& handler) {
        if (events_)
            events_->UserEvent(handler);
        else
            handler();
    }

private:
    ProgramEvents* events_ = nullptr;
};

class Win32Registry final : public RegistryPort {
public:
    std::optional<RegKey> CreateKey(RegKey parent, const std::string& path) override;
    std::optional<RegKey> OpenKey(RegKey parent, const std::string& path) override;
    void CloseKey(RegKey key) override;
    bool SetValue(RegKey key, const std::string& name, const RegValue& value) override;
    std::optional<RegValue> QueryValue(RegKey key, const std::string& name) override;
    bool DeleteValue(RegKey key, const std::string& name) override;
    bool ReadFailed() const override { return read_failed_; }

private:
    // Keeps whether a read that gave nothing failed (anything but "not found").
    bool Missed(LSTATUS status) {
        read_failed_ = status != ERROR_FILE_NOT_FOUND && status != ERROR_PATH_NOT_FOUND;
        return true;
    }
    bool read_failed_ = false;
};

class Win32WaveOut final : public WaveOutPort {
public:
    int DeviceCount() override;
    std::optional<std::string> ProductName(int device) override;
    std::optional<std::uint32_t> Volume(int device) override;
};

// Kernel objects that the UI thread's message loop waits on beside the messages, so that
// no thread of the program's own has to wait for them.
class MessageLoopWaits {
public:
    virtual ~MessageLoopWaits() = default;
    // While `handle` (an auto-reset event) is watched, `signalled` runs on the UI thread
    // each time it is signalled: whenever the program waits for messages or lets the waiting
    // ones through. The loops of a message box or a menu wait for messages only; a signal
    // during one is handled once it has closed.
    virtual void WatchHandle(HANDLE handle, std::function<void()> signalled) = 0;
    virtual void StopWatchingHandle(HANDLE handle) = 0;
};

// The multimedia device API (Windows Vista and later) and the policy object that sets the
// default endpoint. Needs COM on the calling thread (the platform sets it up on the UI
// thread); the device enumerator and the policy object are made once and kept.
class Win32Endpoints final : public EndpointPort {
public:
    // `tell` passes a change on to the program; the device API calls it from threads of
    // its own while the defaults are watched. `loop` waits for the Sound Mapper key's
    // changes. `before_watching` runs before the first watch starts (the window that `tell`
    // posts to is made then).
    Win32Endpoints(std::function<void()> tell, MessageLoopWaits& loop, std::function<void()> before_watching = {});
    ~Win32Endpoints() override;
    Win32Endpoints(const Win32Endpoints&) = delete;
    Win32Endpoints& operator=(const Win32Endpoints&) = delete;

    bool DeviceApi() override;
    bool PolicyObject() override;
    std::vector<AudioEndpoint> ActiveEndpoints(EndpointFlow flow) override;
    std::optional<std::string> WaveEndpointId(EndpointFlow flow, int device) override;
    int WaveInCount() override;
    std::optional<std::string> WaveInName(int device) override;
    std::optional<std::string> DefaultEndpoint(EndpointFlow flow, EndpointRole role) override;
    bool SetDefaultEndpoint(const std::string& id, EndpointRole role, std::string& error) override;
    // A change of a default endpoint (or of an endpoint's state) reported by the device API,
    // and a change of the per-user Sound Mapper values, which the message loop waits for
    // (also where there is no device API). Neither ever waits for the UI thread.
    void WatchDefaults() override;
    void StopWatching() override;

private:
    struct Com;
    class Watcher;
    std::function<void()> tell_;
    MessageLoopWaits& loop_;
    std::function<void()> before_watching_;
    std::unique_ptr<Com> com_;
    std::unique_ptr<Watcher> watcher_;
};

class Win32Mixer final : public MixerPort {
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

class Win32Files final : public FilePort {
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
    std::vector<std::string> Drives() override;
    std::optional<std::vector<Entry>> ListFolder(const std::string& folder) override;
    std::optional<std::uint64_t> FileSize(const std::string& path) override;
    std::optional<std::string> ReadFileStart(const std::string& path, std::size_t count) override;
    // Through the system's own SHA-256 (CNG).
    std::optional<std::string> FileSha256(const std::string& path) override;
    // Written through to the disk before it returns. Only files are renamed, within a drive.
    bool RenameFile(const std::string& from, const std::string& to, bool replace) override;
    bool DuplicateFile(const std::string& from, const std::string& to) override;
};

class Win32Shell final : public ShellPort {
public:
    std::optional<std::string> ShortPath(const std::string& path) override;
    std::string ExecutableFor(const std::string& file) override;
    bool StartProgram(const std::string& command_line, int show) override;
    std::string UserFolder(SpecialFolder folder) override;
    // Needs COM on the calling thread (the platform sets it up on the UI thread).
    bool SaveShortcut(const std::string& path, const ShellLink& link, std::string& error) override;
    // Through WinHTTP, with the system's proxy settings; gives up on a server that does not
    // answer for 15 seconds.
    DownloadResult Download(const std::string& url, const std::string& file) override;
};

class Win32FormHost;

class Win32Ui final : public UiPort {
public:
    explicit Win32Ui(Win32FormHost& forms) : forms_(forms) {}
    // Message boxes belong to the program's active window while it is shown.
    int ShowMessageBox(const std::string& text, const std::string& title, int style) override;
    void Beep(unsigned type) override;
    void DoEvents() override;
    int DoubleClickTime() override { return static_cast<int>(GetDoubleClickTime()); }
    void EndProgram() override;

private:
    Win32FormHost& forms_;
};

class Win32Clock final : public ClockPort {
public:
    LocalTime Now() override;
};

// The program's icon in the two sizes Windows shows, loaded when first asked for: loading
// an icon connects to the display, which a start that switches and ends never needs.
class AppIcons {
public:
    // `resource`: the icon's resource number in the program; 0: none.
    AppIcons(HINSTANCE instance, int resource) : instance_(instance), resource_(resource) {}
    HICON Large() { return Load(large_, SM_CXICON); }
    HICON Small() { return Load(small_, SM_CXSMICON); }

private:
    HICON Load(unique_icon& icon, int metric);
    HINSTANCE instance_;
    int resource_;
    unique_icon large_, small_;
};

// The program's message window: a hidden top-level window (not a message-only one, which
// would miss broadcasts) that lives as long as the program. It owns the notification-area
// icon and the popup menus, holds the hotkeys, and turns what arrives from outside (the
// icon's mouse notifications, a new notification area, another instance's device-change
// notice, the end of the session) into program events. It is made when first needed, at
// the latest when the message loop starts.
class Win32Tray final : public TrayPort, public MenuPort, public HotkeyPort {
public:
    Win32Tray(HINSTANCE instance, EventTarget& events, AppIcons& icons);
    ~Win32Tray() override;
    Win32Tray(const Win32Tray&) = delete;
    Win32Tray& operator=(const Win32Tray&) = delete;
    // Makes the window now, on the UI thread.
    void MakeWindow();

    bool AddIcon(const std::string& tip) override;
    bool ModifyTip(const std::string& tip) override;
    bool RemoveIcon() override;
    int TrackPopupMenu(const std::vector<MenuItem>& items) override;

    std::uint16_t AddAtom(const std::string& name) override;
    void DeleteAtom(std::uint16_t atom) override;
    bool RegisterHotkey(int id, int key_code) override;
    void UnregisterHotkey(int id) override;

    // Tells the program, from any thread, that a default card may have changed. While one
    // such notice waits in the window's queue, another adds nothing.
    void PostDefaultsChanged();

private:
    static LRESULT CALLBACK WndProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
    LRESULT Handle(UINT message, WPARAM wparam, LPARAM lparam);
    bool Notify(DWORD action);

    HWND Window() {
        MakeWindow();
        return hwnd_;
    }

    HINSTANCE instance_;
    EventTarget& events_;
    AppIcons& icons_;
    HWND hwnd_ = nullptr;
    std::wstring tip_;
    UINT taskbar_created_ = 0;
    std::atomic<bool> defaults_notice_waiting_{false};
};

class Win32Instance final : public InstancePort {
public:
    bool PreviousInstance() override;
    std::optional<WindowRef> FindProgramWindow(const std::string& title) override;
    void RestoreWindow(WindowRef window) override;
    void SetTopMost(WindowRef window, bool topmost) override;
    bool ActivateProgram(const std::string& title) override;
    void NotifyDeviceChanged(std::int32_t stamp) override;
    // The registered message that carries the request to come forward, and the message
    // number of the device-change notice between instances.
    static UINT BringForwardMessage();
    static constexpr UINT kDeviceChangeMessage = 818;

private:
    unique_kernel lock_;
};

// Gives each loaded form a top-level window of the class "VarlindoForm" and runs the
// message loops: the program's own and one per modal form.
class Win32FormHost final : public FormHostPort, public MessageLoopWaits {
public:
    Win32FormHost(HINSTANCE instance, EventTarget& events, AppIcons& icons);
    ~Win32FormHost() override;
    Win32FormHost(const Win32FormHost&) = delete;
    Win32FormHost& operator=(const Win32FormHost&) = delete;

    // From now on a loaded form gets its window only once something needs it: the form is
    // shown, a message box or the message loop runs (so that its timers and broadcasts
    // arrive as before), or someone asks for the window. `first` runs before the first
    // window is made. A start that carries out its command line and ends then makes no
    // windows at all.
    void DeferWindows(std::function<void()> first) {
        defer_windows_ = true;
        before_first_window_ = std::move(first);
    }
    // Gives every loaded form that has none yet its window, in the order they were loaded.
    void MakeWindows();

    void Load(ui::Form& form) override;
    void Show(ui::Form& form) override;
    void ShowModal(ui::Form& form) override;
    void Close(ui::Form& form) override;
    void SetTopMost(ui::Form& form, bool topmost) override;
    void DragWindow(ui::Form& form) override;
    void ShapeWindowCorners(ui::Form& form, int corner_pixels) override;
    Area WorkArea() override;

    // Runs the program's message loop until the program ends.
    int Run();
    // Handles the messages that are waiting (and the watched handles that are signalled),
    // then returns.
    void DoEvents();
    // MessageLoopWaits
    void WatchHandle(HANDLE handle, std::function<void()> signalled) override;
    void StopWatchingHandle(HANDLE handle) override;
    // The window of a loaded form, or nothing.
    HWND WindowOf(const ui::Form& form);
    // The child window that shows a control of a loaded form, or nothing.
    HWND WindowOf(const ui::Control& control);
    EventTarget& Events() { return events_; }

    // ---- for the form windows
    // A window is about to hide or go. When it is a modal form's, the windows its display
    // disabled take input again first, so that Windows hands the activation back to them
    // and not to another program.
    void WindowLeaving(const Win32FormWindow& window);
    // A window is about to show while a modal form is shown: it takes no input either.
    void WindowShowing(const Win32FormWindow& window);

private:
    struct ModalLevel {
        const Win32FormWindow* window;
        std::vector<HWND> disabled;
    };
    // The form's window, made now if it was deferred.
    std::shared_ptr<Win32FormWindow> Find(const ui::Form& form);
    bool IsDeferred(const ui::Form& form) const;
    void MakeWindow(ui::Form& form);
    bool IsOurs(HWND window) const;
    // Handles one message that was taken from the queue.
    void Dispatch(MSG& msg);
    // Waits for one message and handles it; false when the loop should end (WM_QUIT).
    bool PumpOne();
    // Runs the handler of a watched handle that is signalled, waiting up to `timeout` ms
    // for one or for a message; false when none was.
    bool RunSignalled(DWORD timeout);

    HINSTANCE instance_;
    EventTarget& events_;
    AppIcons& icons_;
    std::vector<std::shared_ptr<Win32FormWindow>> windows_;
    std::vector<ModalLevel> modal_levels_;
    bool defer_windows_ = false;
    std::function<void()> before_first_window_;
    struct DeferredForm {
        ui::Form* form;
        std::optional<bool> topmost;  // asked for before the window was made
    };
    std::vector<DeferredForm> deferred_;
    std::vector<std::pair<HANDLE, std::function<void()>>> watched_;
};

// COM on the thread that makes the platform (the UI thread), apartment-threaded, for as
// long as the platform lives: the shell's link object needs it. The updater, which has no
// platform, holds one itself.
class ComApartment {
public:
    ComApartment();
    ~ComApartment();
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    bool entered_ = false;  // else the thread had COM of another kind already: left as it is
};

// All ports of the running program.
class Win32Platform {
public:
    // When the windows are made: the tray's hidden window at once, so that the program hears
    // other instances and the system from its start; or only once one is needed, for a
    // start that may switch and end (see Win32FormHost::DeferWindows; until then the program
    // hears no other instance's notice).
    enum class Windows { AtOnce, WhenNeeded };
    // `icon`: the resource number of the program's icon (0: none).
    explicit Win32Platform(HINSTANCE instance, int icon = 0, Windows windows = Windows::AtOnce);
    // The watching of the defaults ends before the tray's window goes.
    ~Win32Platform();
    Platform& Ports() { return ports_; }
    // The program that receives the platform's events.
    void Connect(ProgramEvents& events) { events_.Connect(events); }
    // Runs the program's message loop until the program ends; its windows are all made
    // by then, so that every message for them arrives.
    int Run();

private:
    ComApartment com_;
    EventTarget events_;
    AppIcons icons_;

public:
    Win32Registry registry;
    Win32WaveOut waveout;
    Win32Endpoints endpoints;
    Win32Mixer mixer;
    Win32Files files;
    Win32Shell shell;
    Win32FormHost forms;
    Win32Ui ui;
    Win32Clock clock;
    Win32Tray tray;
    Win32Instance instance;

private:
    Platform ports_;
};

}  // namespace varlindo::win32
