#include "platform/sim/sim_platform.h"

#include <algorithm>

namespace varlindo::sim {

SimPlatform::SimPlatform(SimDesktop& desktop)
    : registry(desktop, *this),
      waveout(desktop, *this),
      endpoints(desktop, *this),
      mixer(desktop, *this),
      files(desktop, *this),
      shell(desktop, *this),
      ui(desktop, *this),
      tray(desktop, *this),
      hotkeys(desktop, *this),
      instance(desktop, *this),
      forms(desktop, *this),
      desktop_(desktop),
      id_(desktop.next_program_++),
      ports_{registry, waveout, endpoints, mixer, files, shell, ui, clock, tray, tray, hotkeys, instance, forms} {
    desktop_.programs_.push_back(this);
}

SimPlatform::~SimPlatform() {
    auto& programs = desktop_.programs_;
    programs.erase(std::remove(programs.begin(), programs.end(), this), programs.end());
}

}  // namespace varlindo::sim
