#include "app/app.h"

#include "app/form1.h"
#include "tray/system_tray.h"

namespace varlindo {

App::App(Platform& platform, Language language, std::string command_line)
    : platform_(platform), language_(language), command_line_(std::move(command_line)), registry_(platform),
      mixer_(platform), run_file_(platform) {}

App::~App() = default;

Form1& App::MainForm() {
    if (!form1_) form1_ = std::make_unique<Form1>(*this);
    return *form1_;
}

SystemTray& App::Tray() {
    if (!tray_) {
        tray_ = std::make_unique<SystemTray>(platform_);
        tray_->Unload = [this] { UnloadTray(); };
    }
    return *tray_;
}

void App::UnloadTray() { tray_.reset(); }

void App::Start() { MainForm().Form_Load(); }

void App::Close() {
    if (MainForm().UnloadForm(Form1::kFormControlMenu)) platform_.ui.EndProgram();
}

bool App::QueryEndSession() {
    bool cancel = false;
    MainForm().Form_QueryUnload(cancel, Form1::kAppWindows);
    return !cancel;
}

void App::EndSession() {
    bool cancel = false;
    MainForm().Form_Unload(cancel);
    platform_.ui.EndProgram();
}

void App::HandleWindowMessage(unsigned message, std::uintptr_t wparam) {
    if (!form1_) return;
    if (message == kDeviceChangeMessage) form1_->OnDeviceChangeNotification(wparam);
    if (message == kBringForwardMessage) form1_->BringForward();
}

}  // namespace varlindo
