// The pin that keeps a window above the others.

#include <gtest/gtest.h>

#include "support/sim_fixture.h"
#include "tray/always_on_top.h"

namespace varlindo::test {
namespace {

constexpr const char* kStore = "HKCU\\Software\\VB and VBA Program Settings\\Varlindo\\AlwaysOnTop";

// A window of its own with a pin, beside the main window.
class PinnedForm : public ui::Form {
public:
    explicit PinnedForm(App& app)
        : ui::Form("PinnedForm", "Pinned", 3000, 2000),
          AlwaysOnTop1(*this, app.GetRegistry(), app.GetPlatform().forms, 60, 60) {}
    AlwaysOnTop AlwaysOnTop1;
};

class PinTest : public SimTest {
protected:
    PinTest() : app(StartApp()), main(app.MainForm()) {}
    std::optional<std::string> Stored() const { return desktop.String(kStore, "OnTop"); }
    static ui::PictureBox* ShownPicture(AlwaysOnTop& pin) {
        int shown = 0;
        ui::PictureBox* found = nullptr;
        for (ui::PictureBox* p : {&pin.AOT_Disabled, &pin.AOT_MouseMove, &pin.AOT_Enabled})
            if (p->Visible()) ++shown, found = p;
        return shown == 1 ? found : nullptr;
    }
    App& app;
    Form1& main;
};

TEST_F(PinTest, TheMainWindowStartsPinnedAndStoresIt) {
    EXPECT_TRUE(main.AlwaysOnTop1.GetIsOnTop());
    EXPECT_TRUE(Sim().forms.IsTopMost(main));
    EXPECT_EQ(Stored(), "True");
    EXPECT_EQ(ShownPicture(main.AlwaysOnTop1), &main.AlwaysOnTop1.AOT_Enabled);
    EXPECT_EQ(main.AlwaysOnTop1.AOT_Enabled.ToolTipText(), "Always on top");
}

TEST_F(PinTest, HoverClickAndClickAgain) {
    AlwaysOnTop& pin = main.AlwaysOnTop1;
    UserDoes(app, [&pin] { pin.AOT_Enabled.RaiseClick(); });
    EXPECT_FALSE(Sim().forms.IsTopMost(main));
    EXPECT_EQ(Stored(), "False");
    EXPECT_EQ(ShownPicture(pin), &pin.AOT_MouseMove);  // the mouse is still over it
    UserDoes(app, [&pin] { pin.AOT_MouseMove.RaiseMouseLeave(); });
    EXPECT_EQ(ShownPicture(pin), &pin.AOT_Disabled);
    UserDoes(app, [&pin] { pin.AOT_Disabled.RaiseMouseMove({}); });
    EXPECT_EQ(ShownPicture(pin), &pin.AOT_MouseMove);
    UserDoes(app, [&pin] { pin.AOT_MouseMove.RaiseClick(); });
    EXPECT_TRUE(Sim().forms.IsTopMost(main));
    EXPECT_EQ(Stored(), "True");
    EXPECT_EQ(ShownPicture(pin), &pin.AOT_Enabled);
    // Leaving a pinned pin keeps its look.
    UserDoes(app, [&pin] { pin.AOT_MouseMove.RaiseMouseLeave(); });
    EXPECT_EQ(ShownPicture(pin), &pin.AOT_Enabled);
}

TEST_F(PinTest, TwoWindowsKeepTheirOwnStateAndShareTheStoredOne) {
    PinnedForm& other = app.Form<PinnedForm>();
    EXPECT_FALSE(other.AlwaysOnTop1.GetIsOnTop());
    UserDoes(app, [&other] { other.AlwaysOnTop1.AOT_Disabled.RaiseClick(); });
    EXPECT_TRUE(Sim().forms.IsTopMost(other));
    UserDoes(app, [this] { main.AlwaysOnTop1.AOT_Enabled.RaiseClick(); });
    EXPECT_TRUE(Sim().forms.IsTopMost(other));
    EXPECT_FALSE(Sim().forms.IsTopMost(main));
    EXPECT_EQ(Stored(), "False");

    // Pinning without storing leaves the stored value alone.
    other.AlwaysOnTop1.SetToNormal(false);
    main.AlwaysOnTop1.SetToTop(false);
    EXPECT_TRUE(Sim().forms.IsTopMost(main));
    EXPECT_FALSE(Sim().forms.IsTopMost(other));
    EXPECT_EQ(Stored(), "False");
}

}  // namespace
}  // namespace varlindo::test
