#pragma once
// The program's side of the online update: it hands over to the updater that lies beside
// it (fetching one, checked, when it is missing) and ends, so that the updater can replace
// the program file.

#include <string>

#include "platform/ports.h"

namespace varlindo {

// Where updates come from: the product site serves the builds ("/eng/Varlindo.exe",
// "/de/Varlindo.exe"), the main site the updater ("/Downloads/Tormel-Updater.exe").
struct UpdateSites {
    std::string product;
    std::string main;
};

// `name` alone when `folder` is empty; `folder` + `name` when it ends in "\"; otherwise
// with a "\" between them.
std::string JoinPath(const std::string& folder, const std::string& name);

class OnlineUpdate {
public:
    explicit OnlineUpdate(Platform& platform) : platform_(platform) {}

    // Starts the updater beside the program and ends the program; false (after telling the
    // user) when there is no updater to start.
    bool DownloadUpdateWithUpdater(const std::string& URLFileToDownload, const std::string& LocalFileToUpdate,
                                   const std::string& LocalUpdaterEXE, const std::string& URLUpdaterEXE);
    // Downloads a program, with every check, to `Path_Destination` (into it, under the
    // address's file name, when it is a folder). The path written, or "" when nothing was
    // (the reason is kept in LastFailure()). `Overwrite` 3 replaces a file of that name.
    std::string URLToFileDownload(const std::string& URL_Source, const std::string& Path_Destination, int Overwrite);
    // A file or a folder exists at the path.
    bool PathExists(const std::string& path);
    const std::string& LastFailure() const { return last_failure_; }

private:
    Platform& platform_;
    std::string last_failure_;
};

}  // namespace varlindo
