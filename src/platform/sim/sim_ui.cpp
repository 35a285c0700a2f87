#include "platform/sim/sim_platform.h"

namespace varlindo::sim {

int SimUi::ShowMessageBox(const std::string& text, const std::string& title, int style) {
    if (Fails()) return {};
    boxes.push_back(Box{text, title, style});
    if (answer) return answer(boxes.back());
    return (style & 0xF) == mb::YesNo ? mb::AnswerYes : mb::AnswerOk;
}

void SimUi::EndProgram() {
    ++ended;
    program_.Ended();
    throw ProgramEnded{};
}

}  // namespace varlindo::sim
