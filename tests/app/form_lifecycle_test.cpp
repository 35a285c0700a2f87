// Forms are loaded on first use, unloaded through the App and destroyed only after the
// event that unloaded them has returned.

#include <gtest/gtest.h>

#include "support/sim_fixture.h"

namespace varlindo::test {
namespace {

// What happened to the test dialogs, in order.
std::vector<std::string> journal;

// A dialog with a close button that unloads the dialog from its own click handler and
// then still uses its members, as real handlers do.
template <int N>
class Dialog : public ui::Form {
public:
    explicit Dialog(App& app)
        : ui::Form(Name(), Name(), 3000, 2000), CloseBtn(*this, "CloseBtn", "&Close", 0, 0, 1000, 400), app_(app) {
        Load = [] { journal.push_back("load " + Name()); };
        QueryUnload = [this](bool& cancel, int mode) {
            journal.push_back("query " + Name() + " " + std::to_string(mode));
            cancel = refuse_close;
        };
        Unload = [](bool&) { journal.push_back("unload " + Name()); };
        CloseBtn.Click = [this] {
            app_.Unload(*this);
            clicks_after_unload = clicks_after_unload + 1;  // the object is still there
            journal.push_back("clicked " + Name());
        };
    }
    ~Dialog() override { journal.push_back("destroyed " + Name()); }
    static std::string Name() { return "Dialog" + std::to_string(N); }

    ui::Button CloseBtn;
    bool refuse_close = false;
    int clicks_after_unload = 0;

private:
    App& app_;
};
using DialogA = Dialog<1>;
using DialogB = Dialog<2>;

class FormLifecycleTest : public SimTest {
protected:
    FormLifecycleTest() : app(StartApp()) { journal.clear(); }
    void Click(ui::Button& button) {
        UserDoes(app, [&button] { button.RaiseClick(); });
    }
    App& app;
};

TEST_F(FormLifecycleTest, AFormUnloadedFromItsOwnHandlerIsDestroyedWhenTheEventIsOver) {
    DialogA& dialog = app.Form<DialogA>();
    EXPECT_EQ(&app.Form<DialogA>(), &dialog);  // one shared instance
    app.Show(dialog);
    EXPECT_TRUE(dialog.Visible());
    Click(dialog.CloseBtn);
    EXPECT_EQ(journal, (std::vector<std::string>{"load Dialog1", "query Dialog1 1", "unload Dialog1",
                                                 "clicked Dialog1", "destroyed Dialog1"}));
    EXPECT_FALSE(app.IsLoaded<DialogA>());
    EXPECT_FALSE(Sim().forms.IsLoaded("Dialog1"));

    // The next use makes a new one.
    journal.clear();
    EXPECT_EQ(app.Form<DialogA>().clicks_after_unload, 0);
    EXPECT_EQ(journal, std::vector<std::string>{"load Dialog1"});
}

TEST_F(FormLifecycleTest, QueryUnloadMayRefuseAndTheCloseBoxAsksToo) {
    DialogA& dialog = app.Form<DialogA>();
    dialog.refuse_close = true;
    Click(dialog.CloseBtn);
    app.CloseRequested(dialog);
    EXPECT_TRUE(app.IsLoaded<DialogA>());
    EXPECT_EQ(journal, (std::vector<std::string>{"load Dialog1", "query Dialog1 1", "clicked Dialog1",
                                                 "query Dialog1 0"}));
    dialog.refuse_close = false;
    app.CloseRequested(dialog);
    EXPECT_FALSE(app.IsLoaded<DialogA>());
    EXPECT_EQ(journal.back(), "destroyed Dialog1");
    EXPECT_EQ(Sim().ui.ended, 0);  // closing a dialog does not end the program
}

TEST_F(FormLifecycleTest, AModalFormInsideAModalForm) {
    Sim().forms.modal["Dialog1"] = [this](ui::Form&) {
        app.ShowModal(app.Form<DialogB>());
        journal.push_back("B returned");
        Click(app.Form<DialogA>().CloseBtn);
    };
    Sim().forms.modal["Dialog2"] = [this](ui::Form& b) {
        Click(static_cast<DialogB&>(b).CloseBtn);
        // B is unloaded, but A's modal display is still running: B lives on until then.
        EXPECT_FALSE(app.IsLoaded<DialogB>());
        EXPECT_EQ(std::count(journal.begin(), journal.end(), "destroyed Dialog2"), 0);
    };
    UserDoes(app, [this] {
        DialogA& a = app.Form<DialogA>();
        app.ShowModal(a);
        journal.push_back("A returned");
        EXPECT_FALSE(a.Visible());  // still there to be read after its display
    });
    EXPECT_EQ(journal, (std::vector<std::string>{"load Dialog1", "load Dialog2", "query Dialog2 1", "unload Dialog2",
                                                 "clicked Dialog2", "B returned", "query Dialog1 1", "unload Dialog1",
                                                 "clicked Dialog1", "A returned", "destroyed Dialog2",
                                                 "destroyed Dialog1"}));
    EXPECT_EQ(Sim().forms.modal_left_open, 0);
    EXPECT_EQ(app.EventDepth(), 0);
}

TEST_F(FormLifecycleTest, ABringForwardDuringAModalDialogShowsTheMainWindowAndKeepsTheDialog) {
    Sim().forms.modal["Dialog1"] = [this](ui::Form& a) {
        app.BringForward();  // another start of the program, while the dialog is open
        EXPECT_TRUE(app.MainForm().Visible());
        EXPECT_TRUE(a.Visible());
        Click(static_cast<DialogA&>(a).CloseBtn);
    };
    UserDoes(app, [this] { app.ShowModal(app.Form<DialogA>()); });
    EXPECT_FALSE(app.HasTray());
    EXPECT_FALSE(app.IsLoaded<DialogA>());
    EXPECT_EQ(journal.back(), "destroyed Dialog1");
}

TEST_F(FormLifecycleTest, TheMainWindowIsHiddenByItsUnloadButLivesOn) {
    Form1& form = app.MainForm();
    app.ShowMainWindow();
    ASSERT_TRUE(form.Visible());
    EXPECT_TRUE(app.Unload(form, ui::FormCode));  // answered Yes
    EXPECT_EQ(Sim().ui.boxes.size(), 1u);
    EXPECT_FALSE(form.Visible());
    EXPECT_EQ(&app.MainForm(), &form);
    EXPECT_TRUE(Sim().forms.IsLoaded("Form1"));
}

}  // namespace
}  // namespace varlindo::test
