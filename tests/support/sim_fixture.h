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

    // Starts a program on the desktop; its window receives broadcasts.
    App& StartApp(Language language = Language::English) {
        auto sim = std::make_unique<sim::SimPlatform>(desktop);
        auto app = std::make_unique<App>(sim->Ports(), language);
        App* raw = app.get();
        desktop.AddWindow([raw](unsigned m, std::uintptr_t w) { raw->HandleWindowMessage(m, w); });
        sims.push_back(std::move(sim));
        apps.push_back(std::move(app));
        raw->Start();
        return *raw;
    }
    sim::SimPlatform& Sim(size_t i = 0) { return *sims.at(i); }

    std::string Mapper(const char* name) const { return desktop.String(kMapper, name).value_or("<missing>"); }

    sim::SimDesktop desktop;
    std::vector<std::unique_ptr<sim::SimPlatform>> sims;
    std::vector<std::unique_ptr<App>> apps;
};

}  // namespace varlindo::test
