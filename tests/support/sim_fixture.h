#pragma once
// A simulated desktop with three sound cards, on which tests start programs.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/app.h"
#include "app/form1.h"
#include "platform/sim/sim_platform.h"

namespace varlindo::test {

inline constexpr const char* kMapper = "HKCU\\Software\\Microsoft\\Multimedia\\Sound Mapper";
inline constexpr const char* kSettings = "HKCU\\Software\\VB and VBA Program Settings\\Varlindo\\Settings";
inline std::string CardSection(const std::string& device) {
    return "HKCU\\Software\\VB and VBA Program Settings\\Varlindo\\Volume_" + device;
}

class SimTest : public ::testing::Test {
protected:
    SimTest() {
        desktop.AddCard("Speakers (Realtek HD Audio)");
        desktop.AddCard("USB Headset");
        desktop.AddCard("HDMI Output");
        for (const char* f : {"c:", "c:\\users", "c:\\users\\test", "c:\\users\\test\\appdata",
                              "c:\\users\\test\\appdata\\local", "c:\\users\\test\\appdata\\local\\temp",
                              "c:\\program files", "c:\\program files\\varlindo", "c:\\windows"})
            desktop.folders.insert(f);
    }

    // Starts a program on the desktop. A program that ends during start-up stays in the
    // lists, ended, so that the test can look at what it did.
    App& StartApp(Language language = Language::English, const std::string& command_line = "") {
        auto sim = std::make_unique<sim::SimPlatform>(desktop);
        sim->clock.now = next_start_time;
        auto app = std::make_unique<App>(sim->Ports(), language, command_line);
        sim->Connect(*app);
        App* raw = app.get();
        sims.push_back(std::move(sim));
        apps.push_back(std::move(app));
        try {
            raw->Start();
        } catch (const sim::ProgramEnded&) {
        }
        return *raw;
    }
    App& StartWith(const std::string& command_line) { return StartApp(Language::English, command_line); }
    sim::SimPlatform& Sim(size_t i = 0) { return *sims.at(i); }

    std::string Mapper(const char* name) const { return desktop.String(kMapper, name).value_or("<missing>"); }

    LocalTime next_start_time{7, 0, 38, 12};
    sim::SimDesktop desktop;
    std::vector<std::unique_ptr<sim::SimPlatform>> sims;
    std::vector<std::unique_ptr<App>> apps;
};

// What the user does in a window arrives as one event of the program.
inline void UserDoes(App& app, const std::function<void()>& action) { app.UserEvent(action); }

}  // namespace varlindo::test
