#include <gtest/gtest.h>

#include "ui/widgets.h"

namespace varlindo::ui {
namespace {

struct TestForm : Form {
    TestForm() : Form("TestForm", "Test", 3000, 2000) {}
    Frame frame{*this, "frame", "", 0, 0, 100, 100};
    CheckBox box{*this, "box", "Box", 0, 0, 10, 10, &frame};
    ListBox list{*this, "list", 0, 0, 10, 10};
    ComboBox combo{*this, "combo", 0, 0, 10, 10};
};

struct RecordingView : FormView {
    std::vector<std::string> changes;
    void ControlChanged(Control& c) override { changes.push_back(c.Name()); }
    void FormChanged() override { changes.push_back("form"); }
    void FocusControl(Control& c) override { changes.push_back("focus " + c.Name()); }
    void ActivateForm() override { changes.push_back("activate"); }
};

TEST(Widgets, CheckBoxRunsItsClickOnlyForANewValue) {
    TestForm f;
    int clicks = 0;
    f.box.Click = [&] { ++clicks; };
    f.box.SetValue(1);
    f.box.SetValue(1);
    EXPECT_EQ(clicks, 1);
    f.box.UserToggle();
    EXPECT_EQ(f.box.Value(), 0);
    EXPECT_EQ(clicks, 2);
}

TEST(Widgets, ChoosingAnEntryRaisesClickAndComboChange) {
    TestForm f;
    int list_clicks = 0, combo_clicks = 0, combo_changes = 0;
    f.list.Click = [&] { ++list_clicks; };
    f.combo.Click = [&] { ++combo_clicks; };
    f.combo.Change = [&] { ++combo_changes; };
    f.list.AddItem("a");
    f.list.AddItem("b");
    f.list.SetListIndex(1);
    f.list.SetListIndex(1);
    f.list.SetListIndex(5);  // refused
    EXPECT_EQ(f.list.ListIndex(), 1);
    EXPECT_EQ(list_clicks, 1);
    f.list.Clear();
    EXPECT_EQ(f.list.ListIndex(), -1);
    EXPECT_EQ(f.list.List(0), "");

    f.combo.AddItem("x");
    f.combo.AddItem("y");
    f.combo.UserSelect(1);
    EXPECT_EQ(f.combo.Text(), "y");
    EXPECT_EQ(combo_clicks, 1);
    EXPECT_EQ(combo_changes, 1);
    f.combo.SetText("y");
    EXPECT_EQ(combo_changes, 1);
    f.combo.SetText("z");
    EXPECT_EQ(combo_changes, 2);
}

TEST(Widgets, ViewHearsOfModelChangesAndContainersHideTheirChildren) {
    TestForm f;
    RecordingView view;
    f.AttachView(&view);
    f.frame.SetVisible(false);
    EXPECT_FALSE(f.box.Shown());
    EXPECT_TRUE(f.box.Visible());
    EXPECT_EQ(view.changes, (std::vector<std::string>{"frame", "box"}));
    f.SetWindowState(WindowState::Minimized);
    f.box.SetFocus();
    EXPECT_EQ(view.changes.back(), "focus box");
    EXPECT_EQ(f.Find("combo"), &f.combo);
    EXPECT_EQ(f.Find("nothing"), nullptr);
}

}  // namespace
}  // namespace varlindo::ui
