#include "util/updater.h"

#include "base/path_text.h"
#include "base/text.h"
#include "util/update_download.h"

namespace varlindo {
namespace {

constexpr const char* kUrlMark = "[URL]";
constexpr const char* kPathMark = " [PATH]";
constexpr const char* kFailed = "The update did not work, and the program stays as it was.\r\r";

bool IsFullProgramPath(const std::string& path) {
    return IsAbsolutePath(path) && text::EndsWith(text::Lower(path), ".exe");
}

// Starts a program from its own folder.
bool StartFromItsFolder(UpdaterHost& host, const std::string& program) {
    host.files.SetCurrentFolder(DirectoryOfPath(program));
    return host.shell.StartProgram("\"" + program + "\"", 1);
}

}  // namespace

std::optional<UpdaterRequest> ParseUpdaterCommandLine(const std::string& arguments) {
    const size_t url = arguments.find(kUrlMark);
    const size_t path = arguments.find(kPathMark);
    if (url == std::string::npos || path == std::string::npos || path < url) return std::nullopt;
    UpdaterRequest request;
    request.url = text::Trim(arguments.substr(url + 5, path - url - 5));
    request.path = StripQuotes(arguments.substr(path + 7));
    if (request.url.empty() || request.path.empty()) return std::nullopt;
    return request;
}

std::string UpdaterCommandLine(const std::string& updater, const std::string& url, const std::string& program) {
    return "\"" + updater + "\" " + kUrlMark + url + kPathMark + program;
}

bool SwapIn(FilePort& files, const std::string& fresh, const std::string& target, std::string& reason) {
    // A copy of the old file first, under a free name ("<target>.old", or "<target>.old1"
    // ... when an earlier backup could not be removed).
    std::string backup;
    for (int n = 0; n < 10 && backup.empty(); ++n) {
        const std::string name = target + ".old" + (n > 0 ? std::to_string(n) : std::string());
        files.RemoveFile(name);
        if (!files.FileExists(name)) backup = name;
    }
    if (backup.empty() || !files.DuplicateFile(target, backup)) {
        reason = "No backup of " + target + " could be made beside it.";
        if (!backup.empty()) files.RemoveFile(backup);
        return false;
    }
    // Then the new file takes the place in one step: the program file is always there, old
    // or new. A program that still runs cannot be replaced.
    if (!files.RenameFile(fresh, target, true)) {
        files.RemoveFile(backup);
        reason = "The new program could not be put in place of " + target + " (is it still running?).";
        return false;
    }
    files.RemoveFile(backup);
    return true;
}

int RunUpdater(UpdaterHost& host, const std::string& arguments) {
    const auto request = ParseUpdaterCommandLine(arguments);
    // Only a program beside the updater is ever replaced.
    const bool beside = host.own_folder.empty() ||
                        (request && text::Lower(AddTrailingSeparator(host.own_folder)) ==
                                        text::Lower(DirectoryOfPath(request->path)));
    if (!request || !IsFullProgramPath(request->path) || !beside) {
        host.tell("Update.exe is started by the program itself:\r\rUpdate.exe [URL]<address> [PATH]<program>");
        return 2;
    }
    const std::string& program = request->path;
    if (!host.wait_for_exit(program)) {
        host.tell(std::string(kFailed) + "The program is still running: " + program);
        return 3;
    }
    std::string reason;
    const std::string fresh = program + ".new";
    const CheckedDownload download = DownloadProgram(host.files, host.shell, request->url, fresh);
    if (!download.ok)
        reason = download.reason;
    else if (!SwapIn(host.files, fresh, program, reason))
        host.files.RemoveFile(fresh);
    if (!reason.empty()) {
        host.tell(std::string(kFailed) + reason);
        StartFromItsFolder(host, program);
        return 1;
    }
    if (!StartFromItsFolder(host, program)) {
        host.tell("The program was updated, but it could not be started: " + program);
        return 4;
    }
    return 0;
}

}  // namespace varlindo
