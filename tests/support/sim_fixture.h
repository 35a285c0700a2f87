#pragma once
// A simulated desktop with three sound cards and one program running on it.

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

    // Starts a program on the desktop; its main window receives broadcasts. A program that
    // ends during start-up has its window taken off the desktop again.
    App& StartApp(Language language = Language::English, const std::string& command_line = "") {
        auto sim = std::make_unique<sim::SimPlatform>(desktop);
        sim->now = next_start_time;
        auto app = std::make_unique<App>(sim->Ports(), language, command_line);
        App* raw = app.get();
        const int window = desktop.AddWindow([raw](unsigned m, std::uintptr_t w) { raw->HandleWindowMessage(m, w); });
        sim->own_window = window;
        sims.push_back(std::move(sim));
        apps.push_back(std::move(app));
        try {
            raw->Start();
        } catch (const sim::ProgramEnded&) {
            desktop.RemoveWindow(window);
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

}  // namespace varlindo::test
