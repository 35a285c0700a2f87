// The main window's "Update" label: hands over to the updater after asking.

#include "app/app_messages.h"
#include "app/form1.h"
#include "tray/system_tray.h"
#include "util/online_update.h"

namespace varlindo {
namespace {

constexpr Text kCheckQuestion{"Check for a new Version?", "Auf neue Version überprüfen?"};
constexpr const char* kUpdateTitle = "Online Update";

}  // namespace

void Form1::Label1_Click() {
    Platform& platform = app_.GetPlatform();
    if (platform.ui.ShowMessageBox(Say(kCheckQuestion), kUpdateTitle, mb::YesNo | mb::IconQuestion) != mb::AnswerYes)
        return;
    StorePendingEdits();
    RemoveTray();
    const UpdateSites& sites = app_.Sites();
    const bool german = app_.GetLanguage() == Language::German;
    const bool handed_over = OnlineUpdate(platform).DownloadUpdateWithUpdater(
        sites.product + (german ? "/de/Varlindo.exe" : "/eng/Varlindo.exe"), platform.files.ProgramName() + ".exe",
        "Update.exe", sites.main + "/Downloads/Tormel-Updater.exe");
    // Still here: the program goes on as before, with its icon.
    if (!handed_over) {
        AddTrayIcon(Say(msg::kCurrentCardTip) + CurrentDeviceName);
        CreatePopupMenu();
    }
}

}  // namespace varlindo
