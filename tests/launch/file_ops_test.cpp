// The shortcut writer on its own: where the file goes, what it holds, and failures.

#include <gtest/gtest.h>

#include "launch/file_ops.h"
#include "platform/sim/sim_paths.h"
#include "support/sim_fixture.h"

namespace varlindo::test {
namespace {

class FileOpsTest : public SimTest {
protected:
    FileOpsTest() : sim_(desktop), run_(sim_.Ports()), ops_(sim_.Ports(), run_) {
        desktop.AddFolder("C:\\Links");
        desktop.AddFile("C:\\My Tools\\tool.exe");
        desktop.short_paths["c:\\my tools\\tool.exe"] = "C:\\MYTOOL~1\\tool.exe";
    }
    sim::SimPlatform sim_;
    RunFile run_;
    FileOps ops_;
};

TEST_F(FileOpsTest, TheFolderIsWhatComesBeforeTheLastSeparatorAndTheIconDefaultsToTheTarget) {
    std::string icon;
    EXPECT_TRUE(ops_.CreateShortcutFile("C:\\My Tools\\tool.exe", "C:\\Links\\ignored.name", "  D=1 ", "Tool", 3, icon));
    EXPECT_EQ(icon, "C:\\MYTOOL~1\\tool.exe");  // the caller sees it too
    const ShellLink& link = desktop.shortcuts.at("c:\\links\\tool.lnk");
    EXPECT_EQ(link.target, "C:\\MYTOOL~1\\tool.exe");  // no blanks in the target
    EXPECT_EQ(link.arguments, "D=1");
    EXPECT_EQ(link.icon_file, "C:\\MYTOOL~1\\tool.exe");
    EXPECT_EQ(link.icon_index, 3);
    EXPECT_EQ(sim_.shell.shortcut_saves.back(), "C:\\Links\\Tool.lnk");
    EXPECT_TRUE(sim_.ui.boxes.empty());
}

TEST_F(FileOpsTest, FileNamesGetOneExtensionAndUnsafeNamesAreMadeSafe) {
    EXPECT_EQ(FileOps::ShortcutFileName("Game"), "Game.lnk");
    EXPECT_EQ(FileOps::ShortcutFileName("Game.LNK"), "Game.LNK");
    EXPECT_EQ(FileOps::ShortcutFileName("Gamelnk"), "Gamelnk.lnk");
    EXPECT_EQ(FileOps::SafeShortcutName("  a<b>c|d\"e\tf  ", "x"), "a_b_c_d_e_f");
    EXPECT_EQ(FileOps::SafeShortcutName("name. . ", "x"), "name");
    EXPECT_EQ(FileOps::SafeShortcutName(".lnk", "Player"), "Player");
    EXPECT_EQ(FileOps::SafeShortcutName("", "a/b"), "a_b");
    EXPECT_EQ(FileOps::SafeShortcutName("...", ""), "Shortcut");
    EXPECT_EQ(FileOps::SafeShortcutName("Lpt1.txt", "x"), "Lpt1_.txt");
    EXPECT_EQ(FileOps::SafeShortcutName("COM10", "x"), "COM10");  // not a device
    EXPECT_EQ(FileOps::SafeShortcutName("Grüße", "x"), "Grüße");

    // CreateShortcutFile never lets a name leave the folder, whoever calls it.
    std::string icon = "C:\\icon.ico";
    EXPECT_TRUE(ops_.CreateShortcutFile("C:\\My Tools\\tool.exe", "C:\\Links\\", "", "..\\..\\x", 0, icon));
    EXPECT_EQ(sim_.shell.shortcut_saves.back(), "C:\\Links\\.._.._x.lnk");
    EXPECT_EQ(desktop.shortcuts.at("c:\\links\\.._.._x.lnk").icon_file, "C:\\icon.ico");
}

TEST_F(FileOpsTest, AMissingFolderIsReportedWithThePathItTried) {
    std::string icon;
    EXPECT_FALSE(ops_.CreateShortcutFile("C:\\My Tools\\tool.exe", "C:\\Nowhere\\x.lnk", "", "Tool", 0, icon));
    ASSERT_EQ(sim_.ui.boxes.size(), 1u);
    EXPECT_EQ(sim_.ui.boxes[0].text.rfind("Error: Could not create Shortcut!\r\rC:\\Nowhere\\Tool.lnk", 0), 0u);
    EXPECT_EQ(sim_.ui.boxes[0].title, "Varlindo");
    EXPECT_EQ(sim_.ui.boxes[0].style, mb::Ok);
}

}  // namespace
}  // namespace varlindo::test
