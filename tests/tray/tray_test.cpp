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
    PopupTest() : sim(desktop), menu(sim) {}
    sim::SimPlatform sim;
    DynamicPopupMenu menu;
};

TEST_F(PopupTest, ReturnsThePickedTextOrNothing) {
    sim.pick = [](const std::vector<MenuItem>&) { return 3; };
    EXPECT_EQ(menu.Popup("A,,B [CHECKED]"), "B");
    EXPECT_EQ(sim.last_menu.size(), 2u);
    sim.pick = nullptr;  // dismissed
    EXPECT_EQ(menu.Popup("A,,B"), "");
    EXPECT_EQ(menu.Popup("   "), "");
    EXPECT_EQ(sim.menus_shown, 2);
    EXPECT_EQ(menu.ItemText(1000), "UNKNOWN");
    EXPECT_EQ(menu.ItemText(-1), "UNKNOWN");
    EXPECT_EQ(menu.ItemText(3), "B");  // slots keep their text
}

class TrayTest : public SimTest {
protected:
    TrayTest() : sim(desktop), form("Main", 1000, 1000) {
        tray = std::make_unique<SystemTray>(sim.Ports());
        tray->Unload = [this] { tray.reset(); };
    }
    sim::SimPlatform sim;
    ui::Form form;
    std::unique_ptr<SystemTray> tray;
};

TEST_F(TrayTest, ClicksOpenTheMenuAndADoubleClickBringsTheWindowBack) {
    std::vector<std::string> picked;
    tray->ChangePopupMenuString("USB Headset,-,Exit");
    tray->AddTrayIcon(form, "USB Headset", true, form, "", [&](const std::string& t) { picked.push_back(t); });
    EXPECT_TRUE(sim.tray_icon);
    EXPECT_EQ(tray->MenuString(), "USB Headset,-,Exit");  // an empty string keeps the old one

    sim.pick = [](const std::vector<MenuItem>&) { return 3; };
    tray->OnMouseNotification(SystemTray::LeftUp);
    tray->OnMouseNotification(SystemTray::RightUp);
    EXPECT_EQ(picked, (std::vector<std::string>{"Exit", "Exit"}));
    sim.pick = nullptr;
    tray->OnMouseNotification(SystemTray::RightUp);  // dismissed: nothing is called
    for (int n : {512, 513, 516, 518}) tray->OnMouseNotification(n);
    EXPECT_EQ(picked.size(), 2u);
    EXPECT_EQ(sim.menus_shown, 3);
    EXPECT_FALSE(form.Visible());

    form.SetWindowState(ui::WindowState::Minimized);
    tray->OnMouseNotification(SystemTray::LeftDouble);
    EXPECT_TRUE(form.Visible());
    EXPECT_EQ(form.GetWindowState(), ui::WindowState::Normal);
    EXPECT_EQ(tray, nullptr);  // unloaded
    EXPECT_FALSE(sim.tray_icon);
}

TEST_F(TrayTest, WithoutMenuOnClickALeftClickRestores) {
    tray->AddTrayIcon(form, "x", false, form, "A,B");
    tray->OnMouseNotification(SystemTray::RightUp);
    EXPECT_EQ(sim.menus_shown, 0);
    EXPECT_NE(tray, nullptr);
    tray->OnMouseNotification(SystemTray::LeftUp);
    EXPECT_TRUE(form.Visible());
    EXPECT_EQ(tray, nullptr);
}

TEST_F(TrayTest, TooltipIsCutTo63CharactersAndAddingTwiceChangesNothing) {
    const std::string tip63(63, 'x');
    tray->AddTrayIcon(form, tip63 + "yz", true, form, "");
    EXPECT_EQ(sim.tray_tip, tip63);
    tray->AddTrayIcon(form, "other", true, form, "");
    EXPECT_EQ(sim.tray_tip, tip63);
    EXPECT_EQ(sim.tray_adds, 1);
    tray->ChangeToolTipText("   current: USB Headset");
    EXPECT_EQ(sim.tray_tip, "current: USB Headset");
    tray->RemoveTrayIcon();
    EXPECT_FALSE(sim.tray_icon);
    tray->AddTrayIcon(form, std::string(20, 'a'), true, form, "");
    EXPECT_EQ(sim.tray_tip, std::string(20, 'a'));
}

}  // namespace
}  // namespace varlindo::test
