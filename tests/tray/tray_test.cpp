#include <gtest/gtest.h>

#include "support/sim_fixture.h"
#include "tray/dynamic_popup_menu.h"
#include "tray/system_tray.h"

namespace varlindo::test {
namespace {

std::string Describe(const std::vector<MenuItem>& items) {
    std::string out;
    for (const MenuItem& i : items) {
        out += std::to_string(i.id) + ":" + (i.separator ? "---" : i.text);
        if (i.checked) out += "(c)";
        if (i.grayed) out += "(g)";
        out += " ";
    }
    return out;
}

TEST(MenuString, MarkersEmptyPiecesAndSeparators) {
    EXPECT_EQ(Describe(DynamicPopupMenu::Parse("Open ..., -,Mute[CHECKED] , [DISABLED]Eject,,Exit")),
              "1:Open ... 2:--- 3:Mute(c) 4:Eject(g) 6:Exit ");
    EXPECT_EQ(Describe(DynamicPopupMenu::Parse("A,,B")), "1:A 3:B ");
    EXPECT_EQ(Describe(DynamicPopupMenu::Parse("  -  ,-[CHECKED]")), "1:--- 2:---(c) ");
    EXPECT_EQ(Describe(DynamicPopupMenu::Parse("Item [checked],Item [disabled]")), "1:Item [checked] 2:Item(g) ");
    EXPECT_EQ(Describe(DynamicPopupMenu::Parse("A[CHECKED]B,A[CHECKED][CHECKED],x[Disabled][DISABLED]")),
              "1:AB(c) 2:A[CHECKED](c) 3:x[DISABLED](g) ");
}

TEST(MenuString, PiecesBeyondThe999thAreIgnored) {
    std::string many;
    for (int i = 1; i <= 1002; ++i) many += "E" + std::to_string(i) + ",";
    const auto items = DynamicPopupMenu::Parse(many);
    ASSERT_EQ(items.size(), 999u);
    EXPECT_EQ(items.back().id, 999);
    EXPECT_EQ(items.back().text, "E999");
}

class PopupTest : public SimTest {
protected:
    PopupTest() : sim(desktop), menu(sim.tray) {}
    sim::SimPlatform sim;
    DynamicPopupMenu menu;
};

TEST_F(PopupTest, ReturnsThePickedTextOrNothing) {
    sim.tray.pick = [](const std::vector<MenuItem>&) { return 3; };
    EXPECT_EQ(menu.Popup("A,,B [CHECKED]"), "B");
    EXPECT_EQ(sim.tray.last_menu.size(), 2u);
    sim.tray.pick = nullptr;  // dismissed
    EXPECT_EQ(menu.Popup("A,,B"), "");
    EXPECT_EQ(menu.Popup("   "), "");
    EXPECT_EQ(sim.tray.menus_shown, 2);
    EXPECT_EQ(menu.ItemText(1000), "UNKNOWN");
    EXPECT_EQ(menu.ItemText(-1), "UNKNOWN");
    EXPECT_EQ(menu.ItemText(3), "B");  // slots keep their text
}

// The tray window of a running program, with a menu callback of the test's own.
class TrayTest : public SimTest {
protected:
    TrayTest() : app(StartApp()), form(app.MainForm()) {
        Sim().tray.adds = 0;
        app.Tray().RemoveTrayIcon();
    }
    SystemTray& Tray() { return app.Tray(); }
    void Add(const std::string& tip, bool menu_on_click = true, const std::string& menu = "") {
        Tray().AddTrayIcon(form, tip, menu_on_click, form, menu, [this](const std::string& t) { picked.push_back(t); });
    }
    App& app;
    Form1& form;
    std::vector<std::string> picked;
};

TEST_F(TrayTest, ClicksOpenTheMenuAndADoubleClickBringsTheWindowBack) {
    Tray().ChangePopupMenuString("USB Headset,-,Exit");
    Add("USB Headset");
    EXPECT_TRUE(Sim().tray.icon);
    EXPECT_EQ(Tray().MenuString(), "USB Headset,-,Exit");  // an empty string keeps the old one

    Sim().tray.pick = [](const std::vector<MenuItem>&) { return 3; };
    app.TrayMouse(SystemTray::LeftUp);
    EXPECT_EQ(Sim().tray.menus_shown, 0);  // a double click may follow
    EXPECT_EQ(Tray().ClickTimer.Interval(), 500);
    UserDoes(app, [this] { Tray().ClickTimer.RaiseTick(); });
    EXPECT_FALSE(Tray().ClickTimer.Enabled());
    app.TrayMouse(SystemTray::RightUp);
    EXPECT_EQ(picked, (std::vector<std::string>{"Exit", "Exit"}));
    Sim().tray.pick = nullptr;
    app.TrayMouse(SystemTray::RightUp);  // dismissed: nothing is called
    for (int n : {512, 513, 516, 518}) app.TrayMouse(n);
    EXPECT_EQ(picked.size(), 2u);
    EXPECT_EQ(Sim().tray.menus_shown, 3);
    EXPECT_FALSE(form.Visible());

    // A double click opens no menu: the button-up before it waits, the one after it is
    // no click of its own.
    form.SetWindowState(ui::WindowState::Minimized);
    app.TrayMouse(SystemTray::LeftUp);
    app.TrayMouse(SystemTray::LeftDouble);
    app.TrayMouse(SystemTray::LeftUp);
    EXPECT_EQ(Sim().tray.menus_shown, 3);
    EXPECT_TRUE(form.Visible());
    EXPECT_EQ(form.GetWindowState(), ui::WindowState::Normal);
    EXPECT_FALSE(app.HasTray());  // unloaded
    EXPECT_FALSE(Sim().tray.icon);
    EXPECT_TRUE(Sim().forms.IsLoaded("Form1"));
    EXPECT_FALSE(Sim().forms.IsLoaded("SystemTray"));
}

TEST_F(TrayTest, WithoutMenuOnClickALeftClickRestores) {
    Add("x", false, "A,B");
    app.TrayMouse(SystemTray::RightUp);
    EXPECT_EQ(Sim().tray.menus_shown, 0);
    EXPECT_TRUE(app.HasTray());
    app.TrayMouse(SystemTray::LeftUp);
    EXPECT_TRUE(form.Visible());
    EXPECT_FALSE(app.HasTray());
}

TEST_F(TrayTest, TooltipIsCutTo63CharactersAndAddingTwiceChangesNothing) {
    const std::string tip63(63, 'x');
    Add(tip63 + "yz");
    EXPECT_EQ(Sim().tray.tip, tip63);
    Add("other");
    EXPECT_EQ(Sim().tray.tip, tip63);
    EXPECT_EQ(Sim().tray.adds, 1);
    Tray().ChangeToolTipText("   current: USB Headset");
    EXPECT_EQ(Sim().tray.tip, "current: USB Headset");
    Tray().RemoveTrayIcon();
    EXPECT_FALSE(Sim().tray.icon);
    Add(std::string(20, 'a'));
    EXPECT_EQ(Sim().tray.tip, std::string(20, 'a'));
}

TEST_F(TrayTest, ABringForwardWhileTheMenuIsOpenLeavesTheMenuToFinish) {
    // The other start's request arrives while the menu loop runs: the main window comes
    // back and the tray window is unloaded under the open menu, which still returns its
    // pick to the tray window that showed it.
    Add("USB Headset", true, "A,B");
    int opened = 0;
    Sim().tray.pick = [&](const std::vector<MenuItem>&) {
        ++opened;
        app.TrayMouse(SystemTray::RightUp);  // a second click while the menu is open
        app.BringForward();
        EXPECT_FALSE(app.HasTray());
        return 2;
    };
    app.TrayMouse(SystemTray::RightUp);
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(picked, std::vector<std::string>{"B"});
    EXPECT_TRUE(form.Visible());
    EXPECT_FALSE(app.HasTray());
    EXPECT_FALSE(Sim().tray.icon);
    EXPECT_EQ(app.EventDepth(), 0);
}

TEST_F(TrayTest, ARefusedIconIsTriedAgainAFewTimes) {
    Sim().tray.refuse_adds = 3;  // the notification area is not ready at logon
    Add("USB Headset");
    EXPECT_FALSE(Sim().tray.icon);
    EXPECT_TRUE(Tray().IconWanted());
    ASSERT_TRUE(Tray().RetryTimer.Enabled());
    Tray().ChangeToolTipText("HDMI Output");  // the tip waits for the icon
    for (int i = 0; i < 3; ++i) UserDoes(app, [this] { Tray().RetryTimer.RaiseTick(); });
    EXPECT_TRUE(Sim().tray.icon);
    EXPECT_EQ(Sim().tray.tip, "HDMI Output");
    EXPECT_FALSE(Tray().RetryTimer.Enabled());
    EXPECT_EQ(Sim().tray.adds, 1);
}

TEST_F(TrayTest, TriesStopAfterTheLastAndAnExplorerRestartStartsThemAgain) {
    Sim().tray.refuse_adds = 1000;
    Add("USB Headset");
    int ticks = 0;
    while (Tray().RetryTimer.Enabled() && ticks < 100) {
        Tray().RetryTimer.RaiseTick();
        ++ticks;
    }
    EXPECT_EQ(ticks, SystemTray::kAddRetries);
    EXPECT_FALSE(Sim().tray.icon);

    Sim().tray.refuse_adds = 0;
    desktop.RestartShell();  // Explorer comes up and announces its notification area
    EXPECT_TRUE(Sim().tray.icon);
    EXPECT_EQ(Sim().tray.tip, "USB Headset");
}

TEST_F(TrayTest, AnExplorerRestartBringsBackAWantedIconOnly) {
    Add("USB Headset");
    desktop.RestartShell();
    EXPECT_TRUE(Sim().tray.icon);
    EXPECT_EQ(Sim().tray.adds, 2);

    Tray().RemoveTrayIcon();
    desktop.RestartShell();
    EXPECT_FALSE(Sim().tray.icon);
    EXPECT_EQ(Sim().tray.adds, 2);
}

}  // namespace
}  // namespace varlindo::test
