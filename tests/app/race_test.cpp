// Two programs on one desktop switching the card in turn, many times over: each tells the
// other of every switch, and neither may end up showing another card than the system's,
// write anything but the Sound Mapper values, or answer a notice with a notice of its own.

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/sim/sim_paths.h"
#include "support/sim_fixture.h"

namespace varlindo::test {
namespace {

constexpr const char* kStore = "HKCU\\Software\\VB and VBA Program Settings\\Varlindo";

// The registry as key -> value name -> (type, data), all names in lower case.
using Snapshot = std::map<std::string, std::map<std::string, std::pair<std::uint32_t, std::string>>>;

class RaceTest : public SimTest {
protected:
    // The card each switch goes to. Three cards and two programs: every switch changes the
    // default, and each program switches to every card in turn.
    static int LineOf(int switch_number) { return switch_number % 3; }

    // Stored settings that a switch has no business touching: the program's own choices and
    // a record for every card, with an alias, levels and start-up and shut-down volumes.
    void StoreSettings() {
        desktop.SetString(kSettings, "PlaybackCheck", "1");
        desktop.SetString(kSettings, "RecordCheck", "1");
        desktop.SetString(kSettings, "SetDefaultOnShutdownCheck", "0");
        desktop.SetString(kSettings, "ShutdownDevice", "HDMI Output");
        desktop.SetString(kSettings, "StartupDevice", "USB Headset");
        desktop.SetString(kSettings, "SetDefaultOnStartupCheck", "0");
        desktop.SetString(CardSection("Speakers (Realtek HD Audio)"), "AliasName", "Desk speakers");
        desktop.SetString(CardSection("Speakers (Realtek HD Audio)"), "SpeakerVolume", "72");
        desktop.SetString(CardSection("USB Headset"), "AliasName", "Headset");
        desktop.SetString(CardSection("USB Headset"), "StartupVolume", "35");
        desktop.SetString(CardSection("USB Headset"), "SetVolumeOnStartup", "1");
        desktop.SetString(CardSection("USB Headset"), "WaveMute", "1");
        desktop.SetString(CardSection("HDMI Output"), "ShutdownVolume", "20");
        desktop.SetString(CardSection("HDMI Output"), "SetVolumeOnShutdown", "1");
    }

    Snapshot Registry() const {
        Snapshot all;
        for (const auto& [path, key] : desktop.keys)
            for (const auto& [name, value] : key.values) all[path][name] = {value.second.type, value.second.data};
        return all;
    }

    // Starts the two programs. A second plain start would find the first, bring it forward
    // and end (the single-instance guard); a start whose command line names no card skips
    // that guard, does nothing and stays resident. That is how two resident programs meet
    // on one machine, so the second is started that way, a second after the first: a start
    // in the same second would carry the same stamp and take the other's notices for its own.
    void StartBoth() {
        StoreSettings();
        StartApp();
        next_start_time.second += 1;
        StartWith("D=no-such-card");
        ASSERT_EQ(Sim(0).ui.ended, 0);
        ASSERT_EQ(Sim(1).ui.ended, 0);
        ASSERT_NE(Form(0).StartStamp, Form(1).StartStamp);
        ASSERT_TRUE(Sim(0).ui.boxes.empty());
        ASSERT_TRUE(Sim(1).ui.boxes.empty());
        // The user has both windows open and double-clicks in one list, then in the other.
        for (size_t i : {0u, 1u}) apps[i]->ShowMainWindow();
        ASSERT_TRUE(Form(0).Visible());
        ASSERT_TRUE(Form(1).Visible());
    }

    Form1& Form(size_t i) { return apps.at(i)->MainForm(); }

    // A double-click on a line of the program's card list.
    void DoubleClick(size_t program, int line) {
        Form1& form = Form(program);
        UserDoes(*apps[program], [&form, line] {
            form.DeviceList.SetListIndex(line);
            form.DeviceList_DblClick();
        });
    }

    // The entries of the tray menu that carry a mark, as the menu string has them.
    static std::vector<std::string> MarkedMenuEntries(const Form1& form) {
        std::vector<std::string> marked;
        const std::string& menu = form.MenuString();
        size_t start = 0;
        while (start < menu.size()) {
            size_t end = menu.find(", ", start);
            if (end == std::string::npos) end = menu.size();
            std::string entry = menu.substr(start, end - start);
            entry.erase(0, entry.find_first_not_of(' '));
            if (entry.find("[CHECKED]") != std::string::npos) marked.push_back(entry);
            start = end + 2;
        }
        return marked;
    }

    // What the window shows as the current card, checked the ways the user sees it.
    void ExpectShows(size_t program, const std::string& card, int line, const std::string& alias, int step) {
        Form1& form = Form(program);
        EXPECT_EQ(form.CurrentDeviceName, card) << "program " << program << " after switch " << step;
        EXPECT_EQ(form.DeviceList.ListIndex(), line) << "program " << program << " after switch " << step;
        EXPECT_EQ(form.NiknameList.ListIndex(), line) << "program " << program << " after switch " << step;
        EXPECT_EQ(form.CurrentDeviceTitle.Caption(), card) << "program " << program << " after switch " << step;
        EXPECT_EQ(form.CurrentCardTxt.Caption().substr(0, alias.size() + 1), alias + "\r")
            << "program " << program << " after switch " << step;
        EXPECT_EQ(form.GetDefaultDevice(), card) << "program " << program << " after switch " << step;
        const std::vector<std::string> marked = MarkedMenuEntries(form);
        ASSERT_EQ(marked.size(), 1u) << "program " << program << " after switch " << step << ": "
                                     << form.MenuString();
        EXPECT_EQ(marked[0].rfind(std::to_string(line + 1) + ": " + alias + " ", 0), 0u)
            << "program " << program << " after switch " << step << ": " << marked[0];
        EXPECT_NE(marked[0].find("(Play + Rec)[CHECKED]"), std::string::npos) << marked[0];
    }

    // The race: the programs switch in turn from their windows; each switch tells the other
    // program at once, and the system's change notices (the Sound Mapper value, the default
    // endpoint) reach the programs after it, or, with `late`, only after the next switch,
    // as a posted message can arrive after the other program already switched again. The
    // refresh timer ticks now and then as well. Both windows are checked after every switch.
    void Race(int switches, bool late = false) {
        StartBoth();
        const std::vector<std::string> cards = Form(0).DeviceList.Items();
        ASSERT_EQ(cards, Form(1).DeviceList.Items());
        ASSERT_EQ(cards.size(), 3u);
        const std::vector<std::string> aliases{"Desk speakers", "Headset", "HDMI Output"};
        const Snapshot before = Registry();
        desktop.writes.clear();
        desktop.device_notices.clear();
        desktop.DeliverDefaultsNotices();  // nothing from the start-up is left over
        const int open_keys[] = {Sim(0).registry.OpenKeys(), Sim(1).registry.OpenKeys()};

        for (int i = 0; i < switches; ++i) {
            const size_t program = static_cast<size_t>(i % 2);
            const int line = LineOf(i);
            DoubleClick(program, line);
            ASSERT_EQ(Mapper("Playback"), cards[line]) << "after switch " << i;
            ASSERT_EQ(Mapper("Record"), cards[line]) << "after switch " << i;
            // The other program follows the notice of the switch alone, before the system's
            // own notices arrive...
            for (size_t p : {0u, 1u}) ExpectShows(p, cards[line], line, aliases[line], i);
            // ... and these, and the timer's check, leave it there.
            if (!late || i % 2 == 1) desktop.DeliverDefaultsNotices();
            if (i % 7 == 0) {
                Form(0).RefreshTimer.RaiseTick();
                Form(1).RefreshTimer.RaiseTick();
            }
            for (size_t p : {0u, 1u}) ExpectShows(p, cards[line], line, aliases[line], i);
            if (HasFailure()) return;  // one report is enough
        }
        desktop.DeliverDefaultsNotices();

        const int last = LineOf(switches - 1);
        for (size_t p : {0u, 1u}) ExpectShows(p, cards[last], last, aliases[last], switches - 1);
        EXPECT_EQ(Mapper("Playback"), cards[last]);
        EXPECT_EQ(Mapper("Record"), cards[last]);
        for (size_t p : {0u, 1u}) {
            EXPECT_TRUE(Sim(p).ui.boxes.empty()) << Sim(p).ui.boxes[0].text;
            // A long run leaves no registry key open behind it.
            EXPECT_EQ(Sim(p).registry.OpenKeys(), open_keys[p]) << "program " << p;
        }

        // Each switch wrote the two Sound Mapper values once, and nothing else was written:
        // a program that follows a notice does not write back what it saw.
        ASSERT_EQ(desktop.writes.size(), 2u * static_cast<size_t>(switches));
        for (size_t w = 0; w < desktop.writes.size(); ++w)
            ASSERT_EQ(sim::NormalPath(desktop.writes[w]),
                      sim::NormalPath(std::string(kMapper) + (w % 2 == 0 ? "\\Record" : "\\Playback")))
                << "write " << w;
        // Each switch told the others once, under its own program's stamp; a notice heard
        // was not passed on.
        ASSERT_EQ(desktop.device_notices.size(), static_cast<size_t>(switches));
        for (int i = 0; i < switches; ++i)
            ASSERT_EQ(desktop.device_notices[static_cast<size_t>(i)], Form(static_cast<size_t>(i % 2)).StartStamp) << i;

        // Every stored value is as it was, except the two values a switch writes.
        // (The snapshot holds the store: the settings and the card records put in above.)
        ASSERT_TRUE(before.count(sim::NormalPath(kSettings)));
        ASSERT_TRUE(before.count(sim::NormalPath(std::string(kStore) + "\\Volume_USB Headset")));
        Snapshot after = Registry();
        Snapshot expected = before;
        const std::string mapper = sim::NormalPath(kMapper);
        for (const char* name : {"playback", "record"}) {
            EXPECT_EQ(after[mapper][name], (std::pair<std::uint32_t, std::string>{regtype::Sz, cards[last]}));
            after[mapper].erase(name);
            expected[mapper].erase(name);
        }
        EXPECT_EQ(after, expected);

        // Sent back to the notification area, each program names the card in its icon's tip.
        for (size_t p : {0u, 1u}) {
            Form1& form = Form(p);
            UserDoes(*apps[p], [&form] { form.Command1_Click(); });
            EXPECT_FALSE(form.Visible());
            EXPECT_TRUE(Sim(p).tray.icon);
            EXPECT_EQ(Sim(p).tray.tip, "current: " + cards[last]);
        }
    }
};

// A thousand switches: about three seconds in a debug build, as each switch reads every
// card's record a few times over in both programs. The variants below run shorter.
TEST_F(RaceTest, TwoProgramsSwitchingInTurnAgreeOnTheCardAndKeepTheSettings) { Race(1000); }

TEST_F(RaceTest, NoticesOfTheSystemThatArriveAfterTheNextSwitchChangeNothing) { Race(100, true); }

TEST_F(RaceTest, WithEndpointsTheSystemsDefaultEndsOnTheLastCardForEveryRole) {
    desktop.UseEndpoints();
    constexpr int switches = 100;
    Race(switches);
    const std::string last = "{render " + std::to_string(LineOf(switches - 1)) + "}";
    const std::string last_capture = "{capture " + std::to_string(LineOf(switches - 1)) + "}";
    for (EndpointRole role : kEndpointRoles) {
        EXPECT_EQ(desktop.default_endpoints[std::make_pair(EndpointFlow::Render, role)], last);
        EXPECT_EQ(desktop.default_endpoints[std::make_pair(EndpointFlow::Capture, role)], last_capture);
    }
}

}  // namespace
}  // namespace varlindo::test
