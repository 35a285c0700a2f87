#pragma once
// One running program: the platform it runs on, its modules with state and its windows.
// Nothing here is global, so two programs can live side by side in one test.
//
// The App owns every form. The windows are single shared instances, made on first use
// (their Load event runs then) and discarded when unloaded. Whatever reaches the program
// from outside arrives as one of the ProgramEvents; a form unloaded during such an event is
// destroyed only after the event has returned, so no object is destroyed in the middle of
// its own call (a tray click that shows the main window, a bring-forward request while a
// menu or a modal dialog is open).

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/language.h"
#include "core/registry.h"
#include "core/sound_mapper.h"
#include "hotkeys/hot_keys.h"
#include "launch/run_file.h"
#include "platform/ports.h"
#include "ui/widgets.h"
#include "util/online_update.h"
#include "volume/sound_mixer.h"

namespace varlindo {

class Form1;
class SystemTray;

class App final : public ProgramEvents {
public:
    App(Platform& platform, Language language, std::string command_line = "");
    ~App() override;
    App(const App&) = delete;
    App& operator=(const App&) = delete;

    Platform& GetPlatform() const { return platform_; }
    Registry& GetRegistry() { return registry_; }
    SoundMapper& Mapper() { return sound_mapper_; }
    SoundMixer& Mixer() { return mixer_; }
    RunFile& Runner() { return run_file_; }
    HotKeys& Keys() { return hot_keys_; }
    Language GetLanguage() const { return language_; }
    const std::string& CommandLine() const { return command_line_; }
    // Where updates come from: the build's settings, unless a test build names others.
    const UpdateSites& Sites() const { return sites_; }
    void SetSites(UpdateSites sites) { sites_ = std::move(sites); }
    // The text of `text` in the interface language.
    const char* Say(const Text& text) const { return Pick(language_, text); }

    // ---- the forms
    // The main window. It is made (and its start-up runs) on first use, and it lives as long
    // as the program: unloading it runs its close events and hides it.
    Form1& MainForm();
    bool HasMainForm() const { return form1_ != nullptr; }
    // The tray window; unloading it removes the icon.
    SystemTray& Tray();
    bool HasTray() const;

    // The one shared instance of a form class, made and loaded on first use. T is made
    // from the App.
    template <class T>
    T& Form() {
        for (auto& form : forms_)
            if (auto* found = dynamic_cast<T*>(form.get())) return *found;
        auto made = std::make_unique<T>(*this);
        T& form = *made;
        forms_.push_back(std::move(made));
        Loaded(form);
        return form;
    }
    template <class T>
    bool IsLoaded() const {
        for (const auto& form : forms_)
            if (dynamic_cast<const T*>(form.get())) return true;
        return false;
    }

    // Unloads a form: runs QueryUnload (which may cancel) and Unload, and takes its window
    // away. The object is destroyed once the current event has returned. True when the form
    // was unloaded (also when it was not loaded at all); false when it was cancelled, or
    // when an unload of the form is already running (asked again from inside it).
    bool Unload(ui::Form& form, int unload_mode = ui::FormCode);
    bool IsUnloading(const ui::Form& form) const;
    // Shows a form; shows it and waits until it is hidden or unloaded.
    void Show(ui::Form& form);
    void ShowModal(ui::Form& form);

    // ---- the program
    // Starts the program: the main window loads.
    void Start();
    // Brings the main window back from the tray: the tray double-click and another start
    // of the program both end here.
    void ShowMainWindow();
    // Tells the other running instances that this one switched the card.
    void NotifyDeviceChanged(std::int32_t stamp);

    // ---- ProgramEvents
    void DeviceChanged(std::int32_t stamp) override;
    void DefaultsChanged() override;
    void BringForward() override;
    void TrayMouse(int notification) override;
    void TaskbarCreated() override;
    void HotkeyPressed(int id) override;
    bool SessionEnding() override;
    void SessionEnded(bool ending) override;
    void CloseRequested(ui::Form& form) override;
    void UserEvent(const std::function<void()>& handler) override;

    // How many events are running now (nested events count each); 0 between events.
    int EventDepth() const { return depth_; }

private:
    // Marks one event: forms unloaded during it are destroyed when the outermost ends.
    class EventScope {
    public:
        explicit EventScope(App& app) : app_(app) { ++app_.depth_; }
        ~EventScope();
        EventScope(const EventScope&) = delete;
        EventScope& operator=(const EventScope&) = delete;

    private:
        App& app_;
    };

    void Loaded(ui::Form& form);
    void DestroyUnloaded();

    Platform& platform_;
    Language language_;
    std::string command_line_;
    UpdateSites sites_;
    Registry registry_;
    SoundMapper sound_mapper_;
    SoundMixer mixer_;
    RunFile run_file_;
    HotKeys hot_keys_;
    std::unique_ptr<Form1> form1_;
    std::vector<std::unique_ptr<ui::Form>> forms_;     // loaded shared forms
    std::vector<std::unique_ptr<ui::Form>> unloaded_;  // destroyed when the current event ends
    std::vector<const ui::Form*> unloading_;           // forms whose unload events are running
    int depth_ = 0;
};

}  // namespace varlindo
