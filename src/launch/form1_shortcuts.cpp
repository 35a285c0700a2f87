// The main window's ways into the shortcut wizard: its button, the drop fields and their
// hint, and a program file dropped anywhere on the device page.

#include "app/form1.h"
#include "launch/shortcut_wizzard.h"
#include "util/files.h"

namespace varlindo {

void Form1::BindShortcutEvents() {
    ShortcutWizzardBtn.Click = [this] { ShortcutWizzardBtn_Click(); };
    DragDropField.DblClick = [this] { DragDropField_DblClick(); };
    Label2.DblClick = [this] { Label2_DblClick(); };
    DragNDrop2.Click = [this] { DragNDrop2_Click(); };
    DragNDrop2.DblClick = [this] { DragNDrop2_DblClick(); };
    DragDropField.OLEDragDrop = [this](const ui::DropData& data) { DragDropField_OLEDragDrop(data); };
    DragNDrop2.OLEDragDrop = [this](const ui::DropData& data) { DragNDrop2_OLEDragDrop(data); };
    // The drop hint, the device page and the nickname list pass a drop on.
    for (ui::Control* forwarder : std::initializer_list<ui::Control*>{&Label2, &DeviceFrame, &NiknameList})
        forwarder->OLEDragDrop = [this](const ui::DropData& data) { DragDropField_OLEDragDrop(data); };
}

bool Form1::BringWizardForward() {
    if (!app_.IsLoaded<ShortcutWizzard>()) return false;
    // Its chooser, when one is open, is what takes input now.
    if (app_.IsLoaded<Files>())
        app_.Form<Files>().Activate();
    else
        app_.Form<ShortcutWizzard>().Activate();
    return true;
}

void Form1::ShortcutWizzardBtn_Click() {
    // Open already (a drop opened it, or it is waiting for its chooser): it comes forward.
    if (BringWizardForward()) return;
    Command1_Click();
    app_.ShowModal(app_.Form<ShortcutWizzard>());
    ShowNormal();
}

void Form1::DragDropField_OLEDragDrop(const ui::DropData& data) {
    ShortcutWizzard& wizard = app_.Form<ShortcutWizzard>();
    app_.Show(wizard);
    Command1_Click();
    wizard.Picture1_OLEDragDrop(data);
}

}  // namespace varlindo
