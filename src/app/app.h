#pragma once
// One running program: the platform it runs on, its modules with state and its windows.
// Nothing here is global, so two programs can live side by side in one test.

#include <cstdint>
#include <memory>
#include <utility>
#include <string>

#include "app/language.h"
#include "core/registry.h"
#include "launch/run_file.h"
#include "platform/ports.h"
#include "volume/sound_mixer.h"

namespace varlindo {

class Form1;
class SystemTray;

// The window message that tells running instances that the default card changed.
inline constexpr unsigned kDeviceChangeMessage = 818;

// The platform's system sound for a kind: MessageBeep(kind x 16) below 16, else the kind
// itself. Kind 3 is the exclamation sound that confirms a switch.
inline void PlaySystemSound(UiPort& ui, std::int16_t kind) {
    ui.Beep(static_cast<unsigned>(kind < 16 ? kind * 16 : kind));
}

class App {
public:
    App(Platform& platform, Language language, std::string command_line = "");
    ~App();
    App(const App&) = delete;
    App& operator=(const App&) = delete;

    Platform& GetPlatform() const { return platform_; }
    Registry& GetRegistry() { return registry_; }
    SoundMixer& Mixer() { return mixer_; }
    RunFile& Runner() { return run_file_; }
    Language GetLanguage() const { return language_; }
    const std::string& CommandLine() const { return command_line_; }

    // The main window, created on first use.
    Form1& MainForm();
    bool HasMainForm() const { return form1_ != nullptr; }

    // The tray window, created on first use; unloading it removes the icon.
    SystemTray& Tray();
    bool HasTray() const { return tray_ != nullptr; }
    void UnloadTray();

    // Loads the main window: the program starts.
    void Start();
    // The user closed the main window (close box, Alt+F4); ends the program unless the
    // close is cancelled.
    void Close();
    // Windows is ending the session: run the shut-down work without asking when hidden.
    // Returns false when the user declined.
    bool QueryEndSession();
    void EndSession();
    // A window message from outside (another instance's device-change notification).
    void HandleWindowMessage(unsigned message, std::uintptr_t wparam);

private:
    Platform& platform_;
    Language language_;
    std::string command_line_;
    Registry registry_;
    SoundMixer mixer_;
    RunFile run_file_;
    std::unique_ptr<Form1> form1_;
    std::unique_ptr<SystemTray> tray_;
};

}  // namespace varlindo
