#include "util/online_update.h"

#include "base/path_text.h"
#include "util/update_download.h"
#include "util/updater.h"

namespace varlindo {
namespace {

constexpr const char* kDownloadFailed = "Download Failed! ";
constexpr const char* kNotFoundTitle = "File not found!";

}  // namespace

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    if (folder.back() == '\\') return folder + name;
    return folder + "\\" + name;
}

bool OnlineUpdate::PathExists(const std::string& path) { return platform_.files.IsFolder(path).has_value(); }

std::string OnlineUpdate::URLToFileDownload(const std::string& URL_Source, const std::string& Path_Destination,
                                            int /*Overwrite: a checked download always replaces*/) {
    last_failure_.clear();
    const std::string source = StripQuotes(URL_Source);
    std::string target = StripQuotes(Path_Destination);
    if (platform_.files.IsFolder(target).value_or(false)) {
        const size_t slash = source.rfind('/');
        if (slash == std::string::npos) return {};
        target = JoinPath(target, source.substr(slash + 1));
    }
    platform_.ui.DoEvents();
    const CheckedDownload download = DownloadProgram(platform_.files, platform_.shell, source, target);
    if (!download.ok) {
        last_failure_ = download.reason;
        return {};
    }
    return target;
}

bool OnlineUpdate::DownloadUpdateWithUpdater(const std::string& URLFileToDownload,
                                             const std::string& LocalFileToUpdate, const std::string& LocalUpdaterEXE,
                                             const std::string& URLUpdaterEXE) {
    // The updater that belongs to this program is the one beside it, never one that
    // happens to lie in the current folder.
    const std::string folder = platform_.files.ProgramFolder();
    const std::string updater = JoinPath(folder, LocalUpdaterEXE);
    if (!platform_.files.FileExists(updater)) {
        platform_.ui.DoEvents();
        URLToFileDownload(URLUpdaterEXE, updater, 3);
        if (!platform_.files.FileExists(updater)) {
            std::string text = updater + "\r\r" + kDownloadFailed;
            if (!last_failure_.empty()) text += "\r\r" + last_failure_;
            platform_.ui.ShowMessageBox(text, "", mb::Ok | mb::IconError);
            return false;
        }
    }
    // Started by its full path from the program's folder; it replaces this very file.
    platform_.files.SetCurrentFolder(folder);
    if (platform_.shell.StartProgram(UpdaterCommandLine(updater, URLFileToDownload, JoinPath(folder, LocalFileToUpdate)), 1)) {
        platform_.ui.EndProgram();
        return true;
    }
    platform_.ui.ShowMessageBox(updater + " not found!\rUpdate Cancled!", kNotFoundTitle, mb::Ok | mb::IconError);
    return false;
}

}  // namespace varlindo
