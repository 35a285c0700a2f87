// The online update: the hand-over to the updater, the checks every download passes, and
// the updater's swap.

#include <gtest/gtest.h>

#include "platform/sim/sim_paths.h"
#include "platform/sim/sim_sha256.h"
#include "support/sim_fixture.h"
#include "util/online_update.h"
#include "util/update_download.h"
#include "util/updater.h"

namespace varlindo::test {
namespace {

constexpr const char* kFolder = "C:\\Program Files\\Varlindo";
constexpr const char* kProgram = "C:\\Program Files\\Varlindo\\Varlindo.exe";
constexpr const char* kUpdater = "C:\\Program Files\\Varlindo\\Update.exe";
constexpr const char* kBuild = "https://www.varlindo.example/eng/Varlindo.exe";
constexpr const char* kUpdaterUrl = "https://www.varlindo.example/Downloads/Tormel-Updater.exe";

// A Windows program as far as the checks can tell, `size` bytes long.
std::string FakeProgram(char fill, size_t size = 40000) {
    std::string p(size, fill);
    p.replace(0, 2, "MZ");
    p.replace(0x3C, 4, std::string("\x80\0\0\0", 4));
    p.replace(0x80, 4, std::string("PE\0\0", 4));
    return p;
}

class UpdateTest : public SimTest {
protected:
    UpdateTest() {
        desktop.AddFile(kProgram, FakeProgram('o'));
        desktop.AddFile(kUpdater, FakeProgram('u'));
    }
    sim::SimPlatform plain_{desktop};  // the ports alone, without a running program
    void Publish(const std::string& url, const std::string& body, int status = 200) {
        desktop.web[url] = {status, body};
        desktop.web[url + ".sha256"] = {200, sim::Sha256Hex(body) + "  Varlindo.exe\n"};
    }
    std::string File(const std::string& path) {
        auto f = desktop.files.find(sim::NormalPath(path));
        return f == desktop.files.end() ? "<none>" : f->second;
    }
    // Files in the program's folder, by lower name.
    std::vector<std::string> FolderFiles() {
        std::vector<std::string> names;
        for (const auto& [path, content] : desktop.files)
            if (path.rfind("c:\\program files\\varlindo\\", 0) == 0) names.push_back(path.substr(26));
        return names;
    }
};

TEST_F(UpdateTest, OnlyHttpsOrThisMachineAndOnlyAPublishedWindowsProgramPasses) {
    EXPECT_TRUE(IsAllowedAddress("https://www.varlindo.example/eng/Varlindo.exe"));
    EXPECT_TRUE(IsAllowedAddress("http://127.0.0.1:18732/eng/Varlindo.exe"));
    EXPECT_TRUE(IsAllowedAddress("HTTP://LocalHost/x"));
    EXPECT_TRUE(IsAllowedAddress("http://[::1]:80/x"));
    EXPECT_FALSE(IsAllowedAddress("http://www.varlindo.example/eng/Varlindo.exe"));
    EXPECT_FALSE(IsAllowedAddress("http://127.0.0.1.attacker.example/x"));
    EXPECT_FALSE(IsAllowedAddress("ftp://127.0.0.1/x"));
    EXPECT_FALSE(IsAllowedAddress("https:///x"));
    EXPECT_FALSE(IsAllowedAddress("http://[::1].attacker.example/x"));
    EXPECT_FALSE(IsAllowedAddress("http://[::1]attacker/x"));
    EXPECT_FALSE(IsAllowedAddress("http://127.0.0.1@attacker.example/x"));
    EXPECT_EQ(PublishedDigest("  " + std::string(64, 'A') + "  file\n"), std::string(64, 'a'));
    EXPECT_EQ(PublishedDigest(std::string(63, 'a')), "");
    EXPECT_EQ(PublishedDigest(std::string(65, 'a')), "");
    EXPECT_EQ(PublishedDigest("<html>"), "");

    const std::string target = "C:\\Program Files\\Varlindo\\Varlindo.exe.new";
    const std::string good = FakeProgram('n');
    struct Case {
        const char* what;
        std::function<void()> serve;
        const char* reason;
    };
    const Case cases[] = {
        {"error page", [&] { Publish(kBuild, "<html>Not Found</html>", 404); }, "error 404"},
        {"html body", [&] { Publish(kBuild, "<html>" + std::string(40000, ' ') + "</html>"); }, "not a Windows program"},
        {"too small", [&] { Publish(kBuild, FakeProgram('n', 1000)); }, "not a program"},
        {"wrong hash",
         [&] {
             Publish(kBuild, good);
             desktop.web[std::string(kBuild) + ".sha256"].second = sim::Sha256Hex("other");
         },
         "does not match"},
        {"no hash", [&] { Publish(kBuild, good), desktop.web.erase(std::string(kBuild) + ".sha256"); }, "could not be reached"},
        {"truncated",
         [&] {
             Publish(kBuild, good);
             desktop.cut_off.insert(kBuild);
         },
         "broke off"},
        {"no server", [&] { desktop.web.clear(); }, "could not be reached"},
    };
    for (const Case& c : cases) {
        desktop.web.clear();
        desktop.cut_off.clear();
        c.serve();
        const CheckedDownload result = DownloadProgram(plain_.files, plain_.shell, kBuild, target);
        EXPECT_FALSE(result.ok) << c.what;
        EXPECT_NE(result.reason.find(c.reason), std::string::npos) << c.what << ": " << result.reason;
        EXPECT_EQ(File(target), "<none>") << c.what;
        EXPECT_EQ(FolderFiles(), (std::vector<std::string>{"update.exe", "varlindo.exe"})) << c.what;
    }
    // A redirect may not lead where the address could not, and the checksum comes from
    // where the program came from.
    desktop.web.clear();
    desktop.cut_off.clear();
    Publish("http://attacker.example/x.exe", good);
    // (From https the port itself follows no redirect to http; from this machine it would.)
    desktop.redirects["http://127.0.0.1:18732/eng/Varlindo.exe"] = "http://attacker.example/x.exe";
    CheckedDownload redirected =
        DownloadProgram(plain_.files, plain_.shell, "http://127.0.0.1:18732/eng/Varlindo.exe", target);
    EXPECT_FALSE(redirected.ok);
    EXPECT_NE(redirected.reason.find("sent on to http://attacker.example/x.exe"), std::string::npos);
    desktop.redirects.clear();
    Publish(kBuild, good);
    Publish("https://mirror.example/x.exe", good);
    desktop.redirects[std::string(kBuild) + ".sha256"] = "https://mirror.example/x.exe.sha256";
    redirected = DownloadProgram(plain_.files, plain_.shell, kBuild, target);
    EXPECT_FALSE(redirected.ok);
    EXPECT_NE(redirected.reason.find("checksum was sent on"), std::string::npos);
    EXPECT_EQ(File(target), "<none>");
    desktop.redirects.clear();

    // http to another machine is not even asked.
    desktop.downloads.clear();
    EXPECT_FALSE(DownloadProgram(plain_.files, plain_.shell, "http://www.varlindo.example/x.exe", target).ok);
    EXPECT_TRUE(desktop.downloads.empty());

    desktop.web.clear();
    desktop.cut_off.clear();
    Publish(kBuild, good);
    EXPECT_TRUE(DownloadProgram(plain_.files, plain_.shell, kBuild, target).ok);
    EXPECT_EQ(File(target), good);
}

TEST_F(UpdateTest, YesHandsOverToTheUpdaterBesideTheProgramAndEnds) {
    // Started by a shortcut: the current folder is elsewhere, with an old updater in it.
    desktop.AddFile("C:\\Users\\test\\Update.exe", FakeProgram('x'));
    App& app = StartApp();
    Form1& form = app.MainForm();
    ASSERT_TRUE(Sim().tray.icon);
    Sim().ui.answer = [](const sim::SimUi::Box&) { return mb::AnswerNo; };
    UserDoes(app, [&] { form.Label1.RaiseClick(); });
    EXPECT_EQ(Sim().ui.boxes.back().text, "Check for a new Version?");
    EXPECT_EQ(Sim().ui.boxes.back().title, "Online Update");
    EXPECT_TRUE(Sim().shell.started.empty());
    EXPECT_TRUE(Sim().tray.icon);

    Sim().ui.answer = nullptr;
    EXPECT_THROW(UserDoes(app, [&] { form.Label1.RaiseClick(); }), sim::ProgramEnded);
    ASSERT_EQ(Sim().shell.started.size(), 1u);
    EXPECT_EQ(Sim().shell.started[0], "\"C:\\Program Files\\Varlindo\\Update.exe\" [URL]" + std::string(kBuild) +
                                          " [PATH]C:\\Program Files\\Varlindo\\Varlindo.exe");
    EXPECT_EQ(Sim().shell.started_in[0], kFolder);
    EXPECT_FALSE(Sim().tray.icon);
    EXPECT_TRUE(desktop.downloads.empty());  // the updater was there
}

TEST_F(UpdateTest, AMissingUpdaterIsFetchedCheckedAndAFailureBringsTheIconBack) {
    desktop.files.erase(sim::NormalPath(kUpdater));
    desktop.web[kUpdaterUrl] = {404, "<html>Not Found</html>"};
    App& app = StartApp(Language::German);
    Form1& form = app.MainForm();
    UserDoes(app, [&] { form.Label1.RaiseClick(); });
    ASSERT_EQ(Sim().ui.boxes.size(), 2u);
    EXPECT_EQ(Sim().ui.boxes[0].text, "Auf neue Version überprüfen?");
    EXPECT_EQ(Sim().ui.boxes[1].text.rfind(std::string(kUpdater) + "\r\rDownload Failed! \r\r", 0), 0u);
    EXPECT_EQ(Sim().ui.boxes[1].style, mb::Ok | mb::IconError);
    EXPECT_TRUE(Sim().shell.started.empty());
    // The program goes on, with its icon and menu.
    EXPECT_TRUE(Sim().tray.icon);
    EXPECT_EQ(File(kUpdater), "<none>");

    // Served as it should be, the updater is saved beside the program and started.
    Publish(kUpdaterUrl, FakeProgram('u'));
    Sim().ui.boxes.clear();
    EXPECT_THROW(UserDoes(app, [&] { form.Label1.RaiseClick(); }), sim::ProgramEnded);
    EXPECT_EQ(File(kUpdater), FakeProgram('u'));
    ASSERT_EQ(Sim().shell.started.size(), 1u);
    EXPECT_NE(Sim().shell.started[0].find("[URL]https://www.varlindo.example/de/Varlindo.exe"), std::string::npos);
}

TEST_F(UpdateTest, TheUpdatersLineJoinPathAndDownloadDestinations) {
    const std::string line = UpdaterCommandLine("C:\\My Apps\\Update.exe", "https://h/eng/Varlindo.exe", "C:\\My Apps\\Varlindo.exe");
    EXPECT_EQ(line, "\"C:\\My Apps\\Update.exe\" [URL]https://h/eng/Varlindo.exe [PATH]C:\\My Apps\\Varlindo.exe");
    const auto request = ParseUpdaterCommandLine(line.substr(line.find(' ', 1) + 1));
    ASSERT_TRUE(request);
    EXPECT_EQ(request->url, "https://h/eng/Varlindo.exe");
    EXPECT_EQ(request->path, "C:\\My Apps\\Varlindo.exe");
    EXPECT_FALSE(ParseUpdaterCommandLine("[PATH]C:\\x.exe [URL]https://h/x"));
    EXPECT_FALSE(ParseUpdaterCommandLine("[URL] [PATH]C:\\x.exe"));

    EXPECT_EQ(JoinPath("", "a.exe"), "a.exe");
    EXPECT_EQ(JoinPath("C:\\x\\", "a.exe"), "C:\\x\\a.exe");
    EXPECT_EQ(JoinPath("C:\\x", "a.exe"), "C:\\x\\a.exe");

    OnlineUpdate update(plain_.Ports());
    desktop.AddFolder("C:\\Downloads");
    Publish("https://h/files/Tool.exe", FakeProgram('t'));
    // Quotes around either are dropped; a folder receives the file under the address's name.
    EXPECT_EQ(update.URLToFileDownload("\"https://h/files/Tool.exe\"", "\"C:\\Downloads\"", 3), "C:\\Downloads\\Tool.exe");
    EXPECT_EQ(File("C:\\Downloads\\Tool.exe"), FakeProgram('t'));
    EXPECT_EQ(update.URLToFileDownload("no-slash", "C:\\Downloads", 3), "");
    EXPECT_EQ(update.URLToFileDownload("https://h/missing.exe", "C:\\Downloads\\m.exe", 3), "");
    EXPECT_FALSE(update.LastFailure().empty());
    EXPECT_TRUE(update.PathExists("C:\\Downloads"));
    EXPECT_FALSE(update.PathExists("C:\\Nowhere"));
}

TEST_F(UpdateTest, TheUpdaterSwapsWithABackupAndKeepsTheOldFileOnEveryFailure) {
    std::vector<std::string> told;
    bool running = false;
    UpdaterHost host{plain_.files, plain_.shell, kFolder, [&](const std::string&) { return !running; },
                     [&](const std::string& text) { told.push_back(text); }};
    const std::string arguments = std::string("[URL]") + kBuild + " [PATH]" + kProgram;
    const std::string old = FakeProgram('o');

    // Still running after the wait: nothing is fetched.
    running = true;
    EXPECT_EQ(RunUpdater(host, arguments), 3);
    EXPECT_TRUE(desktop.downloads.empty());
    running = false;

    // A bad download: told, the old file stays, the old program starts again.
    Publish(kBuild, "<html>error</html>");
    EXPECT_EQ(RunUpdater(host, arguments), 1);
    EXPECT_TRUE(File(kProgram) == old);
    ASSERT_EQ(plain_.shell.started.size(), 1u);
    EXPECT_EQ(plain_.shell.started.back(), "\"" + std::string(kProgram) + "\"");
    EXPECT_EQ(plain_.shell.started_in.back(), kFolder);

    // The program still runs after all (the wait missed it): it cannot be replaced, and
    // nothing changes.
    Publish(kBuild, FakeProgram('n'));
    desktop.running.insert(sim::NormalPath(kProgram));
    EXPECT_EQ(RunUpdater(host, arguments), 1);
    EXPECT_TRUE(File(kProgram) == old);
    EXPECT_NE(told.back().find("still running"), std::string::npos);
    EXPECT_EQ(FolderFiles(), (std::vector<std::string>{"update.exe", "varlindo.exe"}));
    desktop.running.clear();

    // The new file cannot take the place: the old one comes back from its backup.
    std::string reason;
    desktop.AddFile("C:\\Program Files\\Varlindo\\fresh.exe", "new");
    desktop.locked.insert(sim::NormalPath("C:\\Program Files\\Varlindo\\fresh.exe"));
    EXPECT_FALSE(SwapIn(plain_.files, "C:\\Program Files\\Varlindo\\fresh.exe", kProgram, reason));
    EXPECT_TRUE(File(kProgram) == old);
    EXPECT_EQ(File(std::string(kProgram) + ".old"), "<none>");
    desktop.locked.clear();
    desktop.files.erase(sim::NormalPath("C:\\Program Files\\Varlindo\\fresh.exe"));

    // All well: the new build in place, no backup left, the new program started.
    told.clear();
    EXPECT_EQ(RunUpdater(host, arguments), 0);
    EXPECT_TRUE(File(kProgram) == FakeProgram('n'));
    EXPECT_EQ(FolderFiles(), (std::vector<std::string>{"update.exe", "varlindo.exe"}));
    EXPECT_TRUE(told.empty());

    // A read-only program file cannot be replaced in one step (as on Windows): it is said,
    // and nothing changes.
    desktop.read_only.insert(sim::NormalPath(kProgram));
    Publish(kBuild, FakeProgram('m'));
    EXPECT_EQ(RunUpdater(host, arguments), 1);
    EXPECT_TRUE(File(kProgram) == FakeProgram('n'));
    EXPECT_EQ(FolderFiles(), (std::vector<std::string>{"update.exe", "varlindo.exe"}));
    desktop.read_only.clear();
    // A backup an earlier run left read-only does not stand in the way.
    desktop.AddFile(std::string(kProgram) + ".old", "stale");
    desktop.read_only.insert(sim::NormalPath(std::string(kProgram) + ".old"));
    EXPECT_EQ(RunUpdater(host, arguments), 0);
    EXPECT_TRUE(File(kProgram) == FakeProgram('m'));
    EXPECT_EQ(FolderFiles(), (std::vector<std::string>{"update.exe", "varlindo.exe", "varlindo.exe.old"}));

    // Started by hand, with a relative path, or for a program elsewhere: it says how it is
    // used and neither fetches nor touches anything.
    desktop.downloads.clear();
    desktop.AddFile("C:\\Windows\\notepad.exe", "np");
    EXPECT_EQ(RunUpdater(host, ""), 2);
    EXPECT_EQ(RunUpdater(host, std::string("[URL]") + kBuild + " [PATH]Varlindo.exe"), 2);
    EXPECT_EQ(RunUpdater(host, std::string("[URL]") + kBuild + " [PATH]C:\\Windows\\notepad.exe"), 2);
    EXPECT_EQ(RunUpdater(host, std::string("[URL]") + kBuild + " [PATH]C:\\Program Files\\Varlindo\\..\\..\\Windows\\notepad.exe"), 2);
    EXPECT_TRUE(desktop.downloads.empty());
    EXPECT_EQ(File("C:\\Windows\\notepad.exe"), "np");
}

}  // namespace
}  // namespace varlindo::test
