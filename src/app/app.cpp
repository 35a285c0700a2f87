#include "app/app.h"

#include "app/form1.h"

namespace varlindo {

App::App(Platform& platform, Language language, std::string command_line)
    : platform_(platform), language_(language), command_line_(std::move(command_line)), registry_(platform),
      mixer_(platform), run_file_(platform) {}

App::~App() = default;

Form1& App::MainForm() {
    if (!form1_) form1_ = std::make_unique<Form1>(*this);
    return *form1_;
}

void App::Start() { MainForm().Form_Load(); }

void App::HandleWindowMessage(unsigned message, std::uintptr_t wparam) {
    if (message == kDeviceChangeMessage && form1_) form1_->OnDeviceChangeNotification(wparam);
}

}  // namespace varlindo
