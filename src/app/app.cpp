#include "app/app.h"

#include <algorithm>

#include "app/form1.h"
#include "tray/system_tray.h"

// VARLINDO_PRODUCT_SITE, VARLINDO_UPDATER_SITE: where updates come from, build settings
// (CMakeLists.txt).

namespace varlindo {

App::App(Platform& platform, Language language, std::string command_line)
    : platform_(platform), language_(language), command_line_(std::move(command_line)),
      sites_{VARLINDO_PRODUCT_SITE, VARLINDO_UPDATER_SITE}, registry_(platform),
      sound_mapper_(registry_), mixer_(platform), run_file_(platform), hot_keys_(platform.hotkeys) {}

App::~App() {
    DestroyUnloaded();
    for (auto& form : forms_) platform_.forms.Close(*form);
    if (form1_) platform_.forms.Close(*form1_);
}

App::EventScope::~EventScope() {
    if (--app_.depth_ == 0) app_.DestroyUnloaded();
}

void App::DestroyUnloaded() {
    // In the order they were unloaded. A destructor unloads nothing, but should one ever
    // do so, its form goes in the next round.
    while (!unloaded_.empty()) {
        auto forms = std::move(unloaded_);
        unloaded_.clear();
        for (auto& form : forms) form.reset();
    }
}

Form1& App::MainForm() {
    if (!form1_) {
        form1_ = std::make_unique<Form1>(*this);
        Loaded(*form1_);
    }
    return *form1_;
}

SystemTray& App::Tray() { return Form<SystemTray>(); }

bool App::HasTray() const { return IsLoaded<SystemTray>(); }

void App::Loaded(ui::Form& form) {
    platform_.forms.Load(form);
    if (form.Load) form.Load();
}

bool App::Unload(ui::Form& form, int unload_mode) {
    // A form whose unload events are running (its close question may be open) is not
    // unloaded until they are over.
    if (IsUnloading(form)) return false;
    const bool is_main = form1_ && &form == form1_.get();
    auto owned = [this, &form] {
        return std::find_if(forms_.begin(), forms_.end(), [&form](const auto& f) { return f.get() == &form; });
    };
    if (!is_main && owned() == forms_.end()) return true;  // not loaded

    EventScope scope(*this);
    unloading_.push_back(&form);
    bool cancel = false;
    if (form.QueryUnload) form.QueryUnload(cancel, unload_mode);
    if (!cancel && form.Unload) form.Unload(cancel);
    unloading_.erase(std::find(unloading_.begin(), unloading_.end(), &form));
    if (cancel) return false;

    form.Hide();
    if (is_main) return true;  // the main window lives as long as the program
    platform_.forms.Close(form);
    if (auto it = owned(); it != forms_.end()) {
        unloaded_.push_back(std::move(*it));
        forms_.erase(it);
    }
    return true;
}

bool App::IsUnloading(const ui::Form& form) const {
    return std::find(unloading_.begin(), unloading_.end(), &form) != unloading_.end();
}

void App::Show(ui::Form& form) { platform_.forms.Show(form); }

void App::ShowModal(ui::Form& form) {
    EventScope scope(*this);
    platform_.forms.ShowModal(form);
}

void App::Start() {
    EventScope scope(*this);
    MainForm();
}

void App::ShowMainWindow() {
    EventScope scope(*this);
    Form1& form = MainForm();
    form.SetWindowState(ui::WindowState::Normal);
    Show(form);
    platform_.ui.DoEvents();
    form.Activate();
    // The window is back: the icon goes until the window is sent to the tray again.
    if (HasTray()) Unload(Tray());
}

void App::NotifyDeviceChanged(std::int32_t stamp) { platform_.instance.NotifyDeviceChanged(stamp); }

void App::DeviceChanged(std::int32_t stamp) {
    EventScope scope(*this);
    if (form1_) form1_->OnDeviceChangeNotification(stamp);
}

void App::DefaultsChanged() {
    EventScope scope(*this);
    if (form1_) form1_->CheckDefaultCard();
}

void App::BringForward() {
    if (form1_) ShowMainWindow();
}

void App::TrayMouse(int notification) {
    EventScope scope(*this);
    if (HasTray()) Tray().OnMouseNotification(notification);
}

void App::TaskbarCreated() {
    EventScope scope(*this);
    if (HasTray()) Tray().OnTaskbarCreated();
}

void App::HotkeyPressed(int id) {
    EventScope scope(*this);
    // A key of a set that was freed meanwhile (still queued) belongs to no card.
    const int key_code = hot_keys_.KeyCodeOf(id);
    if (form1_ && key_code != 0) form1_->HotkeyCallback(key_code);
}

bool App::SessionEnding() {
    EventScope scope(*this);
    // While the main window's own close question is open, the log-off is the answer.
    if (!form1_ || IsUnloading(*form1_)) return true;
    return form1_->ConfirmSessionEnd();
}

void App::SessionEnded(bool ending) {
    if (!ending) return;  // somebody cancelled it: the program goes on as before
    {
        EventScope scope(*this);
        if (form1_) {
            form1_->ExitConfirmed = true;  // the user was asked when the session asked
            // A close whose question is still open has not done its work yet: do it now.
            if (!Unload(*form1_, ui::AppWindows)) form1_->RunShutdownWork(true);
        }
    }
    platform_.ui.EndProgram();
}

void App::CloseRequested(ui::Form& form) {
    EventScope scope(*this);
    const bool is_main = form1_ && &form == form1_.get();
    if (Unload(form, ui::FormControlMenu) && is_main) platform_.ui.EndProgram();
}

void App::UserEvent(const std::function<void()>& handler) {
    EventScope scope(*this);
    handler();
}

}  // namespace varlindo
