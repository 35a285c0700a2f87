#include <gtest/gtest.h>

#include "base/path_text.h"
#include "launch/run_file.h"
#include "support/sim_fixture.h"

namespace varlindo::test {
namespace {

class RunFileTest : public SimTest {
protected:
    RunFileTest() : sim(desktop), run(sim.Ports()) {
        desktop.associations[".txt"] = "C:\\Windows\\notepad.exe";
        desktop.associations[".html"] = "C:\\Program Files\\Browser\\browser.exe";
    }
    size_t FileCount() const { return desktop.files.size(); }
    sim::SimPlatform sim;
    RunFile run;
};

TEST_F(RunFileTest, PathParts) {
    EXPECT_EQ(FileNameOfPath("C:\\a\\b.exe"), "b.exe");
    EXPECT_EQ(FileNameOfPath("b.exe"), "b.exe");
    EXPECT_EQ(FileNameOfPath("C:/x/y.txt"), "y.txt");
    EXPECT_EQ(FileNameOfPath(""), "");
    EXPECT_EQ(DirectoryOfPath("C:\\a\\b.exe"), "C:\\a\\");
    EXPECT_EQ(DirectoryOfPath("C:\\a/b.exe"), "C:\\a/");
    EXPECT_EQ(DirectoryOfPath("b.exe"), "b.exe");

    desktop.files["c:\\windows\\notepad.exe"] = "";
    EXPECT_EQ(run.FolderOfPath("C:\\Windows\\notepad.exe"), "C:\\Windows\\");
    EXPECT_EQ(run.FolderOfPath("C:\\Windows"), "C:\\Windows");
    EXPECT_EQ(run.FolderOfPath("C:\\Nowhere\\x.exe"), "C:\\Nowhere\\x.exe");
}

TEST_F(RunFileTest, SeparatorsAndQuotes) {
    EXPECT_EQ(AddTrailingSeparator("C:\\Tool"), "C:\\Tool\\");
    EXPECT_EQ(AddTrailingSeparator("C:\\Tool\\"), "C:\\Tool\\");
    EXPECT_EQ(AddTrailingSeparator("/usr/bin"), "/usr/bin/");
    EXPECT_EQ(AddTrailingSeparator("Tool"), "Tool");
    EXPECT_EQ(AddTrailingSeparator("\"C:\\My Tools\""), "\"C:\\My Tools\\\"");

    EXPECT_EQ(QuoteIfSpaces("  C:\\My Games\\g.exe "), "\"C:\\My Games\\g.exe\"");
    EXPECT_EQ(QuoteIfSpaces(" C:\\Games\\g.exe "), "C:\\Games\\g.exe");
    EXPECT_EQ(QuoteIfSpaces(" \"C:\\My Games\\g.exe\" "), "\"C:\\My Games\\g.exe\"");
    EXPECT_EQ(QuoteIfSpaces("   "), "   ");

    EXPECT_EQ(StripQuotes(" \"C:\\a b\" "), "C:\\a b");
    EXPECT_EQ(StripQuotes("\"C:\\a b"), "\"C:\\a b");
    EXPECT_EQ(StripQuotes("   "), "");
}

TEST_F(RunFileTest, ShortPathFallsBackToTheUnquotedLongPath) {
    desktop.short_paths["c:\\my games\\game.exe"] = "C:\\MYGAME~1\\game.exe";
    EXPECT_EQ(run.ShortPathOf("C:\\My Games\\game.exe"), "C:\\MYGAME~1\\game.exe");
    EXPECT_EQ(run.ShortPathOf("\"C:\\My Games\\game.exe\""), "C:\\My Games\\game.exe");
    EXPECT_EQ(run.ShortPathOf("C:\\Nowhere\\x.exe"), "C:\\Nowhere\\x.exe");
}

TEST_F(RunFileTest, AssociatedProgramOfAMissingDocumentLeavesNoFileBehind) {
    EXPECT_EQ(run.GetAssociatedProgram("C:\\Users\\test\\notes.txt"), "C:\\Windows\\notepad.exe");
    EXPECT_EQ(FileCount(), 0u);
    // A name alone is taken from the current folder.
    EXPECT_EQ(run.GetAssociatedProgram("readme.txt"), "C:\\Windows\\notepad.exe");
    EXPECT_EQ(FileCount(), 0u);
    EXPECT_EQ(run.GetAssociatedProgram("C:\\Users\\test\\song.xyz"), "");
    EXPECT_EQ(FileCount(), 0u);
    EXPECT_EQ(sim.files.CurrentFolder(), "C:\\Users\\test");
}

TEST_F(RunFileTest, AssociatedProgramOfADocumentInAnUnwritableFolderUsesTheTempFolder) {
    // The in-place probe cannot be written; the probe in the temporary folder answers.
    EXPECT_EQ(run.GetAssociatedProgram("D:\\Read only\\notes.txt"), "C:\\Windows\\notepad.exe");
    run.OpenUrlInBrowser("http://example.invalid/", 1);
    EXPECT_EQ(FileCount(), 0u);
    ASSERT_FALSE(desktop.file_writes.empty());
    for (const std::string& probe : desktop.file_writes)
        EXPECT_EQ(probe.rfind(sim.files.temp_folder, 0), 0u) << probe;
    EXPECT_EQ(FileNameOfPath(desktop.file_writes.back()), "OrvX00001.html");
}

TEST_F(RunFileTest, StarsInTheName) {
    EXPECT_EQ(run.GetAssociatedProgram("C:\\Users\\test\\*notes.txt"), "C:\\Windows\\notepad.exe");
    EXPECT_TRUE(sim.ui.boxes.empty());

    EXPECT_EQ(run.GetAssociatedProgram("C:\\Users\\test\\no*tes.txt"), "");
    ASSERT_EQ(sim.ui.boxes.size(), 1u);
    EXPECT_EQ(sim.ui.boxes[0].text, "no*tes.txtEnth\xC3\xA4lt ung\xC3\xBCltige Zeichen Abbrechen?");
    EXPECT_EQ(sim.ui.boxes[0].title, "Varlindo");
    EXPECT_EQ(sim.ui.boxes[0].style, mb::YesNo);
    EXPECT_EQ(FileCount(), 0u);

    sim.ui.answer = [](const sim::SimUi::Box&) { return mb::AnswerNo; };
    EXPECT_EQ(run.GetAssociatedProgram("C:\\Users\\test\\no*tes.txt"), "C:\\Windows\\notepad.exe");
    EXPECT_EQ(FileCount(), 0u);
}

TEST_F(RunFileTest, OpenUrlStartsTheQuotedBrowserAndCleansUp) {
    run.OpenUrlInBrowser("http://example.invalid/", 1);
    ASSERT_EQ(sim.shell.started.size(), 1u);
    EXPECT_EQ(sim.shell.started[0], "\"C:\\Program Files\\Browser\\browser.exe\" http://example.invalid/");
    EXPECT_EQ(FileCount(), 0u);
    desktop.associations.clear();
    run.OpenUrlInBrowser("http://example.invalid/", 1);
    EXPECT_EQ(sim.shell.started.size(), 1u);
}

TEST_F(RunFileTest, StartedProgramPartIsAlwaysQuoted) {
    desktop.folders.insert("c:\\my games");
    desktop.files["c:\\my games\\game.exe"] = "";
    // No short form (8.3 names switched off): the long path must stay one piece.
    EXPECT_EQ(run.StartProgramWithParameters("C:\\My Games\\game.exe", " -window "),
              "\"C:\\My Games\\game.exe\" -window");
    EXPECT_EQ(sim.files.CurrentFolder(), "C:\\My Games");

    desktop.short_paths["c:\\games\\longgamename.exe"] = "C:\\GAMES\\LONGGA~1.EXE";
    EXPECT_EQ(run.StartProgramWithParameters("C:\\Games\\LongGameName.exe", ""), "\"C:\\GAMES\\LONGGA~1.EXE\"");

    desktop.files["c:\\users\\test\\my notes.txt"] = "";
    EXPECT_EQ(run.StartProgramWithParameters("C:\\Users\\test\\my notes.txt", ""),
              "\"C:\\Windows\\notepad.exe\" \"C:\\Users\\test\\my notes.txt\"");
    EXPECT_EQ(sim.shell.started.size(), 3u);
}

}  // namespace
}  // namespace varlindo::test
