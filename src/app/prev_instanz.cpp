#include "app/prev_instanz.h"

#include "app/form1.h"
#include "core/registry.h"

namespace varlindo {

void ActivatePrevInstance(App& app, std::string&, std::string& keys1, std::string& keys2) {
    InstancePort& instance = app.GetPlatform().instance;
    const std::string title = kAppTitle;
    if (!instance.PreviousInstance() && !instance.FindProgramWindow(title)) return;

    const auto other = instance.FindProgramWindow(title);
    // Our own window takes a decoy title so that the search cannot land on it.
    app.MainForm().SetCaption("#$#");
    if (other) {
        instance.RestoreWindow(*other);
        instance.SetTopMost(*other, true);
    }
    if (!instance.ActivateProgram(title)) return;  // nobody to hand over to: start normally
    if (!keys1.empty() || !keys2.empty()) app.GetPlatform().ui.DoEvents();  // no keys are ever sent
    if (other) instance.SetTopMost(*other, false);
    app.GetPlatform().ui.EndProgram();
}

}  // namespace varlindo
