#pragma once
// The updater, Update.exe: replaces the program with a newer build. It is started by the
// program, which ends at once, with the command line
//   "<folder>\Update.exe" [URL]<address of the new build> [PATH]<full path of the program>
// It waits for the program to end, downloads the new build with every check, swaps it in
// (the old file is kept as a backup until the new one is in place), and starts the new
// build. When anything fails the user is told, the old file stays as it was, and the old
// program is started again.

#include <functional>
#include <optional>
#include <string>

#include "platform/ports.h"

namespace varlindo {

struct UpdaterRequest {
    std::string url;
    std::string path;
};

// The arguments after the updater's own name: "[URL]<address> [PATH]<file>" (the file may
// hold blanks; it runs to the end of the line). Nothing when either part is missing.
std::optional<UpdaterRequest> ParseUpdaterCommandLine(const std::string& arguments);

// The command line the program starts the updater with.
std::string UpdaterCommandLine(const std::string& updater, const std::string& url, const std::string& program);

// What the updater needs besides files and programs.
struct UpdaterHost {
    FilePort& files;
    ShellPort& shell;
    // The updater's own folder: only a program in it is replaced ("" takes any folder).
    std::string own_folder;
    // Waits until no process runs the program at this path; false when one still does
    // after a while.
    std::function<bool(const std::string& program)> wait_for_exit;
    // Tells the user (a message box); `failed` for an error.
    std::function<void(const std::string& text)> tell;
};

// Puts `fresh` in the place of `target`, with a copy of the old file kept beside it until
// the new one is in place; the program file is never missing. False (with the reason)
// when it did not happen; `target` is then as it was.
bool SwapIn(FilePort& files, const std::string& fresh, const std::string& target, std::string& reason);

// The whole update; 0 when the new build runs, otherwise the old program was started again.
int RunUpdater(UpdaterHost& host, const std::string& arguments);

}  // namespace varlindo
