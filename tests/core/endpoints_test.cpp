// Switching through the audio endpoints (Windows Vista and later) and through the Sound
// Mapper values alone (Windows XP, Wine), and following changes made elsewhere.

#include <gtest/gtest.h>

#include "core/core_messages.h"
#include "support/sim_fixture.h"
#include "tray/system_tray.h"

namespace varlindo::test {
namespace {

class EndpointTest : public SimTest {
protected:
    // Selects line `line` of the card list and switches to it, as a double-click does.
    static void SwitchToLine(Form1& form, int line) {
        form.DeviceList.SetListIndex(line);
        form.DeviceList_DblClick();
    }
    // The default endpoint the system has for every role of the flow, or "<mixed>".
    std::string SystemDefault(EndpointFlow flow) const {
        std::string first;
        for (EndpointRole role : kEndpointRoles) {
            auto found = desktop.default_endpoints.find({flow, role});
            const std::string id = found == desktop.default_endpoints.end() ? "" : found->second;
            if (role == EndpointRole::Console)
                first = id;
            else if (id != first)
                return "<mixed>";
        }
        return first;
    }
    // Windows 10, and the headset is the card to make the default at start-up.
    void UseEndpointsWithTheHeadsetAtStartup() {
        desktop.UseEndpoints();
        desktop.SetString(kSettings, "SetDefaultOnStartupCheck", "1");
        desktop.SetString(kSettings, "StartupDevice", "USB Headset");
    }
    static std::vector<std::string> AllRoles(const std::string& id) { return {id + " 0", id + " 1", id + " 2"}; }
    static std::vector<std::string> Joined(std::vector<std::string> a, const std::vector<std::string>& b) {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    }
};

TEST_F(EndpointTest, WithEndpointsEveryRoleOfBothEndpointsIsSetRecordFirstAndTheMapperValuesStillWritten) {
    desktop.UseEndpoints();
    App& app = StartApp();
    Form1& form = app.MainForm();
    EXPECT_TRUE(app.Mapper().UsesEndpoints());
    desktop.policy_calls.clear();

    SwitchToLine(form, 1);
    EXPECT_EQ(desktop.policy_calls, Joined(AllRoles("{capture 1}"), AllRoles("{render 1}")));
    EXPECT_EQ(SystemDefault(EndpointFlow::Render), "{render 1}");
    EXPECT_EQ(SystemDefault(EndpointFlow::Capture), "{capture 1}");
    EXPECT_EQ(Mapper("Playback"), "USB Headset");
    EXPECT_EQ(Mapper("Record"), "USB Headset");
    EXPECT_EQ(form.CurrentDeviceName, "USB Headset");
    EXPECT_EQ(Sim().tray.tip, "USB Headset");
    EXPECT_TRUE(Sim().ui.boxes.empty());

    // Playback alone leaves the recording default where it is.
    desktop.policy_calls.clear();
    UserDoes(app, [&] { form.RecordCheck.SetValue(0); });
    SwitchToLine(form, 2);
    EXPECT_EQ(desktop.policy_calls, AllRoles("{render 2}"));
    EXPECT_EQ(SystemDefault(EndpointFlow::Capture), "{capture 1}");
    EXPECT_EQ(Mapper("Record"), "USB Headset");
}

// Where the program cannot set the system's default, the Sound Mapper values alone serve,
// for reading as well: the window shows what the program set, and no box alarms anyone.
void SwitchesThroughTheMapperValuesAlone(EndpointTest& test, sim::SimDesktop& desktop, App& app) {
    Form1& form = app.MainForm();
    EXPECT_FALSE(app.Mapper().UsesEndpoints());
    form.DeviceList.SetListIndex(2);
    form.DeviceList_DblClick();
    EXPECT_EQ(desktop.String(kMapper, "Playback"), "HDMI Output");
    EXPECT_EQ(form.CurrentDeviceName, "HDMI Output");
    EXPECT_TRUE(desktop.policy_calls.empty());
    (void)test;
}

TEST_F(EndpointTest, WithoutTheDeviceApiTheMapperValuesAloneServe) {
    App& app = StartApp();
    SwitchesThroughTheMapperValuesAlone(*this, desktop, app);
    EXPECT_TRUE(Sim().ui.boxes.empty());
}

TEST_F(EndpointTest, WithoutThePolicyObjectTheMapperValuesAloneServeQuietly) {
    desktop.UseEndpoints();
    desktop.policy_object = false;  // as under Wine
    App& app = StartApp();
    SwitchesThroughTheMapperValuesAlone(*this, desktop, app);
    EXPECT_EQ(SystemDefault(EndpointFlow::Render), "{render 0}");  // untouched, and not shown
    EXPECT_TRUE(Sim().ui.boxes.empty());
}

TEST_F(EndpointTest, TheShownDefaultIsTheSystemsEndpointMappedBackToItsCard) {
    desktop.UseEndpoints();
    // The Sound Mapper value says otherwise: on these systems it means nothing.
    desktop.SetString(kMapper, "Playback", "Speakers (Realtek HD Audio)");
    desktop.SetDefaultEndpoint(EndpointFlow::Render, "{render 2}");
    desktop.SetDefaultEndpoint(EndpointFlow::Capture, "{capture 1}");
    App& app = StartApp();
    Form1& form = app.MainForm();
    EXPECT_EQ(form.CurrentDeviceName, "HDMI Output");
    EXPECT_EQ(form.DeviceList.ListIndex(), 2);
    EXPECT_EQ(app.Mapper().Record(), "USB Headset");
    EXPECT_NE(form.MenuString().find(" 2: USB Headset   (Record)[CHECKED],  3: HDMI Output   (Playback)[CHECKED]"),
              std::string::npos)
        << form.MenuString();

    // A default the cards do not account for (a device without a wave-out driver) is none
    // of them, whatever the Sound Mapper value still says.
    desktop.endpoints.push_back({"{bluetooth}", EndpointFlow::Render, "bt"});
    desktop.SetDefaultEndpoint(EndpointFlow::Render, "{bluetooth}");
    EXPECT_EQ(app.Mapper().Playback(), "");
    desktop.DeliverDefaultsNotices();
    EXPECT_EQ(form.CurrentDeviceName, "");
    EXPECT_EQ(form.MenuString().find("(Playback)"), std::string::npos) << form.MenuString();
}

TEST_F(EndpointTest, CardsAreTiedToEndpointsByIdEvenWithCutAndRepeatedNames) {
    // Two headsets of one make whose name is longer than a device name can hold, and whose
    // endpoints the system lists in another order than the wave-out devices.
    const std::string long_name = "USB Audio Device with a rather long product name";
    desktop.cards.clear();
    desktop.AddCard(long_name);
    desktop.AddCard(long_name);
    desktop.AddCard("Speakers");
    desktop.UseEndpoints();
    std::swap(desktop.endpoints[0], desktop.endpoints[2]);
    desktop.cards[0].endpoint = "{render 1}";
    desktop.cards[1].endpoint = "{render 0}";
    const std::string cut = "USB Audio Device with a rather";  // 31 characters, the last a blank, trimmed

    App& app = StartApp();
    Form1& form = app.MainForm();
    ASSERT_EQ(form.DeviceList.Items(), (std::vector<std::string>{cut, cut, "Speakers"}));
    EXPECT_EQ(form.DeviceList.ListIndex(), 1);  // its endpoint, {render 0}, is the default
    desktop.policy_calls.clear();

    SwitchToLine(form, 0);
    // The first headset's own endpoints: render by the driver's id; the recording side by
    // the first wave-in device of that name.
    EXPECT_EQ(desktop.policy_calls, Joined(AllRoles("{capture 0}"), AllRoles("{render 1}")));
    EXPECT_EQ(form.DeviceList.ListIndex(), 0);
    EXPECT_EQ(Mapper("Playback"), cut);

    desktop.policy_calls.clear();
    SwitchToLine(form, 1);
    EXPECT_EQ(desktop.policy_calls, Joined(AllRoles("{capture 1}"), AllRoles("{render 0}")));
    EXPECT_EQ(form.DeviceList.ListIndex(), 1);

    // Without a wave-in device of its name, the recording endpoint on the card's adapter:
    // the one that is the default already, else the first.
    desktop.wave_in[2].name = "Microphone";
    desktop.endpoints.push_back({"{line in 2}", EndpointFlow::Capture, "card 2"});
    std::swap(desktop.endpoints.back(), desktop.endpoints[5]);  // listed before the microphone
    desktop.policy_calls.clear();
    SwitchToLine(form, 2);
    EXPECT_EQ(desktop.policy_calls, Joined(AllRoles("{line in 2}"), AllRoles("{render 2}")));
    EXPECT_EQ(app.Mapper().Record(), "Speakers");
    desktop.SetDefaultEndpoint(EndpointFlow::Capture, "{capture 2}");  // the user picks the microphone
    desktop.policy_calls.clear();
    SwitchToLine(form, 2);
    EXPECT_EQ(desktop.policy_calls, Joined(AllRoles("{capture 2}"), AllRoles("{render 2}")));
    EXPECT_EQ(app.Mapper().Record(), "Speakers");

    // The default moves from one headset to the other: followed, on the right line, and the
    // tray menu marks that line alone.
    desktop.SetDefaultEndpoint(EndpointFlow::Render, "{render 0}");  // the second headset
    desktop.DeliverDefaultsNotices();
    EXPECT_EQ(form.DeviceList.ListIndex(), 1);
    const std::string menu = form.MenuString();
    EXPECT_NE(menu.find(" 2: " + cut + "   (Playback)[CHECKED]"), std::string::npos) << menu;
    EXPECT_EQ(menu.find(" 1: " + cut + "   (Playback)"), std::string::npos) << menu;
}

TEST_F(EndpointTest, ASwitchThatDoesNotReachTheSystemIsReportedAndTheWindowKeepsTheTruth) {
    desktop.UseEndpoints();
    desktop.endpoints[4].active = false;  // HDMI: the monitor is off
    App& app = StartApp();
    Form1& form = app.MainForm();
    desktop.policy_calls.clear();

    SwitchToLine(form, 2);
    ASSERT_EQ(Sim().ui.boxes.size(), 1u);
    EXPECT_EQ(Sim().ui.boxes[0].title, "Sound card not switched");
    // The Sound Mapper values never name a card that did not become the default.
    EXPECT_EQ(Mapper("Playback"), "Speakers (Realtek HD Audio)");
    EXPECT_EQ(Sim().ui.boxes[0].text,
              "\"HDMI Output\" could not be made the default sound card.\r\n\r\nThe card has no active playback device.");
    EXPECT_EQ(SystemDefault(EndpointFlow::Render), "{render 0}");
    EXPECT_EQ(form.CurrentDeviceName, "Speakers (Realtek HD Audio)");
    EXPECT_EQ(Sim().tray.tip, "Speakers (Realtek HD Audio)");

    // The system refuses: its reason is shown.
    desktop.policy_refuses = "Access is denied.";
    SwitchToLine(form, 1);
    ASSERT_EQ(Sim().ui.boxes.size(), 2u);
    EXPECT_EQ(Sim().ui.boxes[1].text, "\"USB Headset\" could not be made the default sound card.\r\n\r\n"
                                      "Windows refused: Access is denied.");
    EXPECT_EQ(form.CurrentDeviceName, "Speakers (Realtek HD Audio)");

    // Recording alone on a card without a recording endpoint.
    desktop.policy_refuses.clear();
    desktop.endpoints[3].active = false;  // USB Headset's microphone
    UserDoes(app, [&] { form.PlayCheck.SetValue(0); });
    SwitchToLine(form, 1);
    ASSERT_EQ(Sim().ui.boxes.size(), 3u);
    EXPECT_NE(Sim().ui.boxes[2].text.find("The card has no active recording device."), std::string::npos);
    // With playback it is no failure: the card has no microphone, playback moves.
    UserDoes(app, [&] { form.PlayCheck.SetValue(1); });
    SwitchToLine(form, 1);
    EXPECT_EQ(Sim().ui.boxes.size(), 3u);
    EXPECT_EQ(SystemDefault(EndpointFlow::Render), "{render 1}");
}

TEST_F(EndpointTest, TheGermanBuildSaysItInGerman) {
    desktop.UseEndpoints();
    desktop.endpoints[2].active = false;
    Form1& form = StartApp(Language::German).MainForm();
    SwitchToLine(form, 1);
    ASSERT_EQ(Sim().ui.boxes.size(), 1u);
    EXPECT_EQ(Sim().ui.boxes[0].title, "Soundkarte nicht umgeschaltet");
    EXPECT_EQ(Sim().ui.boxes[0].text, "\"USB Headset\" konnte nicht als Standard-Soundkarte gesetzt werden.\r\n\r\n"
                                      "Die Karte hat kein aktives Wiedergabegerät.");
}

TEST_F(EndpointTest, ChangesMadeElsewhereAreFollowedAtOnceInBothWorlds) {
    // Windows XP: another program writes the Sound Mapper value.
    {
        Form1& form = StartApp().MainForm();
        EXPECT_TRUE(Sim(0).endpoints.watching);
        desktop.SetString(kMapper, "Playback", "USB Headset");
        EXPECT_EQ(form.CurrentDeviceName, "Speakers (Realtek HD Audio)");  // not before the message
        desktop.DeliverDefaultsNotices();
        EXPECT_EQ(form.CurrentDeviceName, "USB Headset");
        EXPECT_EQ(form.CurrentDeviceTitle.Caption(), "USB Headset");
        EXPECT_EQ(form.DeviceList.ListIndex(), 1);
        EXPECT_EQ(Sim(0).tray.tip, "USB Headset");
        EXPECT_THROW(form.ExitBtn_Click(), sim::ProgramEnded);
        EXPECT_FALSE(Sim(0).endpoints.watching);
        desktop.SetString(kMapper, "Playback", "HDMI Output");
        desktop.DeliverDefaultsNotices();  // nobody listens: nothing happens
    }
    // Windows 10: the system's sound settings change the default endpoint.
    desktop.UseEndpoints();
    Form1& form = StartApp().MainForm();
    desktop.SetDefaultEndpoint(EndpointFlow::Render, "{render 2}");
    desktop.DeliverDefaultsNotices();
    EXPECT_EQ(form.CurrentDeviceName, "HDMI Output");
    EXPECT_EQ(Sim(1).tray.tip, "HDMI Output");
    EXPECT_NE(form.MenuString().find("3: HDMI Output   (Playback)[CHECKED]"), std::string::npos) << form.MenuString();
}

TEST_F(EndpointTest, AStartThatSwitchesAndEndsWatchesNothing) {
    desktop.UseEndpoints();
    StartWith("D=HDMI");
    EXPECT_FALSE(Sim().endpoints.watching);
    EXPECT_EQ(SystemDefault(EndpointFlow::Render), "{render 2}");
    // The tray and the hotkeys go through the same switch.
    App& app = StartApp();
    desktop.policy_calls.clear();
    Sim(1).tray.pick = [](const std::vector<MenuItem>& items) {
        for (const MenuItem& item : items)
            if (item.text.find("USB Headset") != std::string::npos) return item.id;
        return 0;
    };
    app.TrayMouse(SystemTray::RightUp);
    EXPECT_EQ(desktop.policy_calls, Joined(AllRoles("{capture 1}"), AllRoles("{render 1}")));
}

TEST_F(EndpointTest, DevicesNumberedAnewBeforeAClickStillSwitchTheCardOnTheLine) {
    desktop.UseEndpoints();
    Form1& form = StartApp().MainForm();
    // A USB device goes: the numbers move up, the list has not been reloaded yet.
    std::swap(desktop.cards[1], desktop.cards[2]);
    desktop.policy_calls.clear();
    SwitchToLine(form, 1);  // still shows "USB Headset"
    EXPECT_EQ(desktop.policy_calls, Joined(AllRoles("{capture 1}"), AllRoles("{render 1}")));
    EXPECT_EQ(form.CurrentDeviceName, "USB Headset");
    EXPECT_EQ(form.DeviceList.Items()[2], "USB Headset");  // the list was read anew

    // A card that comes is listed at the next notice, even when the default stays.
    desktop.AddCard("Bluetooth Speaker");
    desktop.QueueDefaultsNotice();
    desktop.DeliverDefaultsNotices();
    EXPECT_EQ(form.DeviceList.ListCount(), 4);
}

TEST_F(EndpointTest, TheStartupCardIsTriedAgainWhileTheAudioServiceComesUp) {
    UseEndpointsWithTheHeadsetAtStartup();
    // Right after logon the headset's endpoints are not active yet.
    desktop.endpoints[2].active = false;
    desktop.endpoints[3].active = false;
    Form1& form = StartApp().MainForm();
    EXPECT_TRUE(form.StartupRetryTimer.Enabled());
    EXPECT_TRUE(Sim().ui.boxes.empty());
    form.StartupRetryTimer.RaiseTick();
    form.StartupRetryTimer.RaiseTick();
    EXPECT_TRUE(form.StartupRetryTimer.Enabled());
    desktop.endpoints[2].active = true;
    desktop.endpoints[3].active = true;
    desktop.device_notices.clear();
    form.StartupRetryTimer.RaiseTick();
    EXPECT_FALSE(form.StartupRetryTimer.Enabled());
    EXPECT_EQ(SystemDefault(EndpointFlow::Render), "{render 1}");
    EXPECT_EQ(form.CurrentDeviceName, "USB Headset");
    EXPECT_EQ(Sim().tray.tip, "USB Headset");
    EXPECT_EQ(desktop.device_notices.size(), 1u);  // the other instances hear of it
    EXPECT_TRUE(Sim().ui.boxes.empty());
}

TEST_F(EndpointTest, AStartupCardThatNeverComesIsReportedOnceAfterTheLastTry) {
    UseEndpointsWithTheHeadsetAtStartup();
    desktop.endpoints[2].active = false;
    Form1& form = StartApp().MainForm();
    int ticks = 0;
    while (form.StartupRetryTimer.Enabled() && ticks < 1000) {
        form.StartupRetryTimer.RaiseTick();
        ++ticks;
    }
    EXPECT_EQ(ticks, Form1::kStartupRetries);
    ASSERT_EQ(Sim().ui.boxes.size(), 1u);
    EXPECT_EQ(Sim().ui.boxes[0].title, "Sound card not switched");
    EXPECT_EQ(form.CurrentDeviceName, "Speakers (Realtek HD Audio)");
}

TEST_F(EndpointTest, TheStartupRetryGivesWayToTheUsersChoiceAndToARefusal) {
    UseEndpointsWithTheHeadsetAtStartup();
    desktop.endpoints[2].active = false;
    App& app = StartApp();
    Form1& form = app.MainForm();
    ASSERT_TRUE(form.StartupRetryTimer.Enabled());
    UserDoes(app, [&] { SwitchToLine(form, 2); });
    EXPECT_FALSE(form.StartupRetryTimer.Enabled());
    desktop.endpoints[2].active = true;
    EXPECT_EQ(SystemDefault(EndpointFlow::Render), "{render 2}");  // HDMI stays
}

TEST_F(EndpointTest, AStartupCardTheSystemRefusesIsReportedAtOnce) {
    UseEndpointsWithTheHeadsetAtStartup();
    desktop.policy_refuses = "Access is denied.";  // that will not change in a second
    Form1& form = StartApp().MainForm();
    EXPECT_FALSE(form.StartupRetryTimer.Enabled());
    ASSERT_EQ(Sim().ui.boxes.size(), 1u);
    EXPECT_NE(Sim().ui.boxes[0].text.find("Access is denied."), std::string::npos);
}

}  // namespace
}  // namespace varlindo::test

namespace varlindo::test {
namespace {

TEST_F(EndpointTest, AShutdownCardThatCannotBeSetIsReportedOnExitButNotAtLogoff) {
    desktop.UseEndpoints();
    desktop.SetString(kSettings, "SetDefaultOnShutdownCheck", "1");
    desktop.SetString(kSettings, "ShutdownDevice", "HDMI Output");
    desktop.endpoints[4].active = false;
    {
        App& app = StartApp();
        EXPECT_TRUE(app.SessionEnding());
        EXPECT_THROW(app.SessionEnded(true), sim::ProgramEnded);
        EXPECT_TRUE(Sim(0).ui.boxes.empty());
    }
    Form1& form = StartApp().MainForm();
    EXPECT_THROW(form.ExitBtn_Click(), sim::ProgramEnded);
    ASSERT_EQ(Sim(1).ui.boxes.size(), 2u);  // the exit question, then the failed switch
    EXPECT_EQ(Sim(1).ui.boxes[1].title, "Sound card not switched");
}

}  // namespace
}  // namespace varlindo::test
