#include "platform/sim/sim_platform.h"
#include "ui/widgets.h"

namespace varlindo::sim {

SimInstance::~SimInstance() {
    if (holds_lock_) desktop_.locks.erase(program_.files.program_name);
}

bool SimInstance::PreviousInstance() {
    if (Fails()) return {};
    if (holds_lock_) return false;
    const std::string& lock = program_.files.program_name;
    if (desktop_.locks.count(lock)) return true;
    desktop_.locks.insert(lock);
    holds_lock_ = true;
    return false;
}

std::optional<WindowRef> SimInstance::FindProgramWindow(const std::string& title) {
    if (Fails()) return {};
    // The windows of the other running programs; the reference names the program.
    for (SimPlatform* other : desktop_.Programs()) {
        if (other == &program_ || !other->Running()) continue;
        for (const ui::Form* form : other->forms.Loaded())
            if (form->Caption().rfind(title, 0) == 0) return static_cast<WindowRef>(other->Id());
    }
    return std::nullopt;
}

bool SimInstance::ActivateProgram(const std::string& title) {
    if (Fails()) return {};
    auto window = FindProgramWindow(title);
    if (!window) return false;
    for (SimPlatform* other : desktop_.Programs())
        if (other->Id() == static_cast<int>(*window))
            if (ProgramEvents* events = other->Events()) events->BringForward();
    return true;
}

}  // namespace varlindo::sim
