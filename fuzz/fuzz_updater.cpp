// The updater's command line ("[URL]<address> [PATH]<program>"), parsed by
// ParseUpdaterCommandLine and carried out by RunUpdater on a simulated machine that serves
// one good build.

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "base/path_text.h"
#include "base/text.h"
#include "fuzz_check.h"
#include "platform/sim/sim_paths.h"
#include "platform/sim/sim_platform.h"
#include "platform/sim/sim_sha256.h"
#include "util/update_download.h"
#include "util/updater.h"

namespace {

using namespace varlindo;

constexpr const char* kFolder = "C:\\Program Files\\Varlindo";
constexpr const char* kProgram = "C:\\Program Files\\Varlindo\\Varlindo.exe";
constexpr const char* kUpdater = "C:\\Program Files\\Varlindo\\Update.exe";
constexpr const char* kElsewhere = "C:\\Users\\test\\Varlindo.exe";
constexpr const char* kBuild = "https://www.varlindo.example/eng/Varlindo.exe";

// A Windows program as far as the download's checks can tell.
std::string Program(char fill) {
    std::string p(kSmallestProgram, fill);
    p.replace(0, 2, "MZ");
    p.replace(0x3C, 4, std::string("\x80\0\0\0", 4));
    p.replace(0x80, 4, std::string("PE\0\0", 4));
    return p;
}

const std::string& NewBuild() {
    static const std::string build = Program('n');
    return build;
}
const std::string& NewBuildDigest() {
    static const std::string digest = sim::Sha256Hex(NewBuild()) + "  Varlindo.exe\n";
    return digest;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string arguments(reinterpret_cast<const char*>(data), size);

    // Both parts, in this order, or nothing; then neither is blank.
    const auto request = ParseUpdaterCommandLine(arguments);
    const size_t url_mark = arguments.find("[URL]");
    const size_t path_mark = arguments.find(" [PATH]");
    if (url_mark == std::string::npos || path_mark == std::string::npos || path_mark < url_mark)
        FUZZ_CHECK(!request);
    if (request) {
        FUZZ_CHECK(!request->url.empty() && !request->path.empty());
        FUZZ_CHECK(request->url == text::Trim(request->url));
        // What the program writes on the updater's command line, the updater reads back, with
        // or without the updater's own name in front (which Windows hands over too).
        if (request->path == StripQuotes(request->path)) {
            const std::string line = UpdaterCommandLine(kUpdater, request->url, request->path);
            const std::string after_name = line.substr(line.find("\" ") + 2);
            for (const std::string& l : {line, after_name}) {
                const auto again = ParseUpdaterCommandLine(l);
                FUZZ_CHECK(again && again->url == request->url && again->path == request->path);
            }
        }
    }

    // Carried out: only a full .exe path beside the updater is touched, and nothing else is.
    sim::SimDesktop desktop;
    desktop.AddFile(kProgram, Program('o'));
    desktop.AddFile(kUpdater, Program('u'));
    desktop.AddFile(kElsewhere, Program('e'));
    desktop.web[kBuild] = {200, NewBuild()};
    desktop.web[std::string(kBuild) + ".sha256"] = {200, NewBuildDigest()};
    const std::map<std::string, std::string> before = desktop.files;
    sim::SimPlatform updater(desktop);
    int told = 0;
    UpdaterHost host{updater.files, updater.shell, kFolder, [](const std::string&) { return true; },
                     [&told](const std::string&) { ++told; }};
    const int result = RunUpdater(host, arguments);

    const bool acceptable = request && IsAbsolutePath(request->path) &&
                            text::EndsWith(text::Lower(request->path), ".exe") &&
                            text::Lower(DirectoryOfPath(request->path)) == text::Lower(std::string(kFolder) + "\\");
    FUZZ_CHECK((result == 2) == !acceptable);
    FUZZ_CHECK(result == 0 || told > 0);
    const std::string target = acceptable ? sim::NormalPath(request->path) : std::string();
    // No file is left behind or taken away; only the program's own file may change, and
    // only to the new build.
    FUZZ_CHECK(desktop.files.size() == before.size());
    for (const auto& [path, content] : before) {
        const auto now = desktop.files.find(path);
        FUZZ_CHECK(now != desktop.files.end());
        if (path == target && result == 0)
            FUZZ_CHECK(now->second == NewBuild());
        else
            FUZZ_CHECK(now->second == content);
    }
    // The only program started is the one updated (or left as it was).
    for (const std::string& started : updater.shell.started) {
        FUZZ_CHECK(acceptable);
        FUZZ_CHECK(started == "\"" + request->path + "\"");
    }
    return 0;
}
