// Every system call of the common flows fails once, in turn: the program must neither crash
// nor let an exception out, every stored setting must hold its old or its new value, and
// the program must still switch cards afterwards.

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <functional>
#include <map>

#include "base/text.h"
#include "support/sim_fixture.h"
#include "tray/system_tray.h"
#include "volume/volume_settings_dialog.h"

namespace varlindo::test {
namespace {

constexpr const char* kHotkeys = "HKCU\\Software\\VB and VBA Program Settings\\Varlindo\\Hotkeys";
constexpr int F2 = 113;

// One desktop with stored settings worth losing: nicknames, levels, a start-up card,
// hotkeys and the Sound Mapper values.
class World : public SimTest {
public:
    World() {
        desktop.SetString(kMapper, "Playback", "Speakers (Realtek HD Audio)");
        desktop.SetString(kMapper, "Record", "Speakers (Realtek HD Audio)");
        desktop.SetString(CardSection("USB Headset"), "AliasName", "Headset");
        desktop.SetString(CardSection("USB Headset"), "SetVolumeOnStartup", "1");
        desktop.SetString(CardSection("USB Headset"), "StartupVolume", "70");
        desktop.SetString(CardSection("HDMI Output"), "SpeakerVolume", "40");
        desktop.SetString(kSettings, "SetDefaultOnStartupCheck", "1");
        desktop.SetString(kSettings, "StartupDevice", "USB Headset");
        desktop.SetString(kSettings, "EnableHotkeys", "1");
        desktop.SetString(kHotkeys, std::to_string(F2), "HDMI Output");
    }
    void TestBody() override {}
    using SimTest::desktop;
    using SimTest::Sim;
    using SimTest::sims;

    App& Start() {
        App& app = StartApp();
        app_ = &app;
        return app;
    }
    App& app() { return *app_; }
    bool Running() const { return !sims.empty() && sims.back()->Running(); }

    // Every stored value, by "key\name".
    std::map<std::string, std::string> Stored() const {
        std::map<std::string, std::string> all;
        for (const auto& [key, k] : desktop.keys)
            for (const auto& [lower, value] : k.values) all[key + "\\" + lower] = value.second.data;
        return all;
    }

    App* app_ = nullptr;
};

struct Flow {
    const char* name;
    // Brings the world to where the flow begins; no call fails here.
    std::function<void(World&)> before;
    // What the user (or the system) does; one call in it fails.
    std::function<void(World&)> act;
};

void Pick(World& w, const std::string& text) {
    w.Sim(w.sims.size() - 1).tray.pick = [text](const std::vector<MenuItem>& items) {
        for (const MenuItem& item : items)
            if (item.text.find(text) != std::string::npos) return item.id;
        return 0;
    };
    w.app().TrayMouse(SystemTray::RightUp);
}

const std::vector<Flow>& Flows() {
    static const std::vector<Flow> flows = {
        {"start-up", [](World&) {}, [](World& w) { w.Start(); }},
        {"switch from the window", [](World& w) { w.Start(); },
         [](World& w) {
             UserDoes(w.app(), [&w] {
                 Form1& form = w.app().MainForm();
                 form.DeviceList.SetListIndex(2);
                 form.DeviceList_DblClick();
             });
         }},
        {"tray pick", [](World& w) { w.Start(); }, [](World& w) { Pick(w, "HDMI Output"); }},
        {"hotkey", [](World& w) { w.Start(); }, [](World& w) { w.desktop.PressHotkey(F2); }},
        {"closing", [](World& w) { w.Start(); },
         [](World& w) { UserDoes(w.app(), [&w] { w.app().MainForm().ExitBtn_Click(); }); }},
        {"settings page edits", [](World& w) { w.Start(); },
         [](World& w) {
             Form1& form = w.app().MainForm();
             UserDoes(w.app(), [&form] { form.StartupBtn_Click(); });
             UserDoes(w.app(), [&form] {
                 form.StartupCombo.RaiseGotFocus();
                 form.StartupCombo.UserSelect(2);
             });
             UserDoes(w.app(), [&form] {
                 form.TextNikname.UserEdit("Television");
                 form.TextNikname.RaiseLostFocus();
             });
             UserDoes(w.app(), [&form] { form.SetVolumeCheck.UserToggle(); });
             UserDoes(w.app(), [&form] { form.SetDefaultOnShutdownCheck.UserToggle(); });
         }},
        {"volume dialog in settings mode", [](World& w) { w.Start(); },
         [](World& w) {
             VolumeSettingsDialog& d = w.app().Form<VolumeSettingsDialog>();
             UserDoes(w.app(), [&d] { d.SetDialog("HDMI Output", true); });
             UserDoes(w.app(), [&d] { d.Wiedergabe.UserSet(80); });
             UserDoes(w.app(), [&d] { d.MuteCDAudio.UserToggle(); });
         }},
    };
    return flows;
}

// Runs the flow's action, keeping what escapes it; "" when nothing did.
std::string RunFlow(World& w, const Flow& flow) {
    try {
        flow.act(w);
    } catch (const sim::ProgramEnded&) {
    } catch (const std::exception& e) {
        return std::string("an exception escaped: ") + e.what();
    } catch (...) {
        return "an exception escaped";
    }
    return "";
}

// The card the program shows as the default can still be changed, by a program that runs
// on (or by a new start, when the flow ended it); "" when it can.
std::string StillSwitches(World& w) {
    if (!w.Running()) w.Start();
    // What a failed call left out of date, the next check of the default (a change notice,
    // or the one every minute) reads anew.
    w.app().DefaultsChanged();
    Form1& form = w.app().MainForm();
    const std::string target = form.CurrentDeviceName == "USB Headset" ? "Speakers (Realtek HD Audio)" : "USB Headset";
    form.PlayCheck.SetValue(1);
    UserDoes(w.app(), [&] {
        for (int i = 0; i < form.DeviceList.ListCount(); ++i)
            if (form.DeviceList.List(i) == target) form.DeviceList.SetListIndex(i);
        form.DeviceList_DblClick();
    });
    if (w.desktop.String(kMapper, "Playback") != target) return "a switch to " + target + " afterwards did not write it";
    if (form.CurrentDeviceName != target) return "a switch to " + target + " afterwards is not shown";
    return "";
}

// What a card record reads for a value it does not hold: a card's name for its nickname,
// 50 for a level, 0 for the rest.
std::string RecordFallback(const std::string& key) {
    const std::string section = "\\volume_";
    const size_t at = key.find(section);
    if (at == std::string::npos) return "<none>";
    const size_t name_end = key.rfind('\\');
    const std::string value_name = key.substr(name_end + 1);
    if (value_name == "aliasname") return key.substr(at + section.size(), name_end - at - section.size());
    return value_name.ends_with("volume") && value_name != "startupvolume" && value_name != "shutdownvolume" ? "50"
                                                                                                          : "0";
}

// Every stored value means what it meant before or what a clean run leaves (a record value
// written with what the record reads in its absence means the same as none); "" when so.
std::string OldOrNew(const std::map<std::string, std::string>& before, const std::map<std::string, std::string>& clean,
                     const std::map<std::string, std::string>& now) {
    auto value = [](const std::map<std::string, std::string>& m, const std::string& key) {
        auto it = m.find(key);
        if (it == m.end()) return RecordFallback(key);
        // Names compare as the store does, without case.
        return key.ends_with("\\aliasname") ? text::Lower(it->second) : it->second;
    };
    std::map<std::string, std::string> keys = before;
    keys.insert(clean.begin(), clean.end());
    keys.insert(now.begin(), now.end());
    for (const auto& [key, ignored] : keys) {
        const std::string v = value(now, key);
        if (v != value(before, key) && v != value(clean, key))
            return key + " = " + v + " (before " + value(before, key) + ", after a clean run " + value(clean, key) + ")";
    }
    return "";
}

// Runs `body` in a copy of this process, so that every case starts from the same world and a
// crash is seen as one; what it returns ("" for success) comes back.
std::string InCopy(const std::function<std::string()>& body) {
    int out[2];
    if (pipe(out) != 0) return "no pipe";
    const pid_t child = fork();
    if (child == 0) {
        close(out[0]);
        const std::string said = body();
        const char* p = said.data();
        for (size_t left = said.size(); left > 0;) {
            const ssize_t n = write(out[1], p, left);
            if (n <= 0) break;
            p += n;
            left -= static_cast<size_t>(n);
        }
        _exit(said.empty() ? 0 : 1);
    }
    close(out[1]);
    std::string said;
    char buffer[512];
    for (ssize_t n; (n = read(out[0], buffer, sizeof buffer)) > 0;) said.append(buffer, static_cast<size_t>(n));
    close(out[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (WIFSIGNALED(status)) return "crashed (signal " + std::to_string(WTERMSIG(status)) + ")";
    if (WIFEXITED(status) && WEXITSTATUS(status) != 0 && said.empty()) return "exited with " + std::to_string(WEXITSTATUS(status));
    return said;
}

class FaultSweep : public ::testing::TestWithParam<size_t> {};

TEST_P(FaultSweep, EveryCallMayFailOnce) {
    const Flow& flow = Flows()[GetParam()];
    // A run without failures: the calls to sweep, and the settings it leaves.
    World clean;
    flow.before(clean);
    const int start = clean.desktop.port_calls;
    ASSERT_EQ(RunFlow(clean, flow), "");
    const int calls = clean.desktop.port_calls - start;
    const auto after_clean = clean.Stored();
    ASSERT_GT(calls, 0);

    World w;
    flow.before(w);
    const auto before = w.Stored();
    int failures = 0;
    for (int k = 1; k <= calls; ++k) {
        const std::string said = InCopy([&]() -> std::string {
            w.desktop.fail_call = w.desktop.port_calls + k;
            std::string fault = RunFlow(w, flow);
            w.desktop.fail_call = 0;
            if (fault.empty()) fault = OldOrNew(before, after_clean, w.Stored());
            if (fault.empty()) fault = StillSwitches(w);
            return fault.empty() ? "" : w.desktop.failed_call + ": " + fault;
        });
        if (said.empty()) continue;
        ADD_FAILURE() << flow.name << ", call " << k << " of " << calls << " fails: " << said;
        if (++failures == 5) return;  // enough to read
    }
    RecordProperty("calls", calls);
}

std::string FlowName(const ::testing::TestParamInfo<size_t>& info) {
    std::string name;
    for (char c : std::string(Flows()[info.param].name))
        if (std::isalnum(static_cast<unsigned char>(c))) name += c;
    return name;
}

INSTANTIATE_TEST_SUITE_P(CommonFlows, FaultSweep, ::testing::Range<size_t>(0, 7), FlowName);

}  // namespace
}  // namespace varlindo::test
