#pragma once
// One running program: the platform it runs on, its modules with state and its windows.
// Nothing here is global, so two programs can live side by side in one test.

#include <cstdint>
#include <memory>
#include <string>

#include "app/language.h"
#include "core/registry.h"
#include "launch/run_file.h"
#include "platform/ports.h"
#include "volume/sound_mixer.h"

namespace varlindo {

class Form1;

// The window message that tells running instances that the default card changed.
inline constexpr unsigned kDeviceChangeMessage = 818;

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

    // Loads the main window: the program starts.
    void Start();
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
};

}  // namespace varlindo
