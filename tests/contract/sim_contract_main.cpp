// Runs the port expectations against the simulation.
#include "contract.h"
#include "platform/sim/sim_platform.h"

namespace varlindo::contract {
namespace {
struct World {
    World() : platform(desktop) {
        for (const char* f : {"c:", "c:\\users", "c:\\users\\test", "c:\\users\\test\\appdata",
                              "c:\\users\\test\\appdata\\local", "c:\\users\\test\\appdata\\local\\temp",
                              "c:\\scratch"})
            desktop.folders.insert(f);
        desktop.AddCard("Speakers");
        desktop.AddCard("USB Headset");
    }
    sim::SimDesktop desktop;
    sim::SimPlatform platform;
};
World& TheWorld() {
    static World world;
    return world;
}
}  // namespace

Platform& Ports() { return TheWorld().platform.Ports(); }
std::string ScratchFolder() { return "C:\\scratch\\"; }

}  // namespace varlindo::contract
