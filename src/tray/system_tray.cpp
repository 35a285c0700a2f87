#include "tray/system_tray.h"

#include "core/text.h"

namespace varlindo {

SystemTray::SystemTray(Platform& platform) : DynamicTrayPopupMenu(platform.menu), platform_(platform) {}

SystemTray::~SystemTray() {
    if (shown_) platform_.tray.RemoveIcon();
}

std::string SystemTray::TipField(const std::string& text) { return text::LeftChars(text, kTipChars); }

void SystemTray::AddTrayIcon(ui::Form& RefIcon_Form, const std::string& c_ToolTipText, bool c_OpenMenueOnRightClick,
                             ui::Form& c_ShowFormOnClick, const std::string& M_PopupMenuString,
                             std::function<void(const std::string&)> on_menu) {
    (void)RefIcon_Form;  // the icon of the main window is the program's icon
    if (!M_PopupMenuString.empty()) M_PopupMenuString_ = M_PopupMenuString;
    c_OpenMenueOnRightClick_ = c_OpenMenueOnRightClick;
    c_ShowFormOnClick_ = &c_ShowFormOnClick;
    on_menu_ = std::move(on_menu);
    // While the icon is shown, adding again changes nothing.
    if (shown_) return;
    tip_ = TipField(c_ToolTipText);
    shown_ = platform_.tray.AddIcon(tip_);
}

void SystemTray::RemoveTrayIcon() {
    platform_.tray.RemoveIcon();
    shown_ = false;
}

void SystemTray::ChangeToolTipText(const std::string& c_ToolTipText) {
    size_t blanks = 0;
    while (blanks < c_ToolTipText.size() && c_ToolTipText[blanks] == ' ') ++blanks;
    tip_ = TipField(c_ToolTipText.substr(blanks));
    if (shown_) platform_.tray.ModifyTip(tip_);
}

void SystemTray::OnMouseNotification(int notification) {
    const bool right_up = notification == RightUp;
    const bool left_up = notification == LeftUp;
    const bool double_click = notification == LeftDouble;

    if ((left_up || right_up) && c_OpenMenueOnRightClick_) {
        const std::string picked = DynamicTrayPopupMenu.Popup(M_PopupMenuString_);
        if (!picked.empty() && on_menu_) on_menu_(picked);
    }
    if ((left_up && !c_OpenMenueOnRightClick_) || double_click) ShowFormAction();
}

void SystemTray::ShowFormAction() {
    ui::Form* form = c_ShowFormOnClick_;
    if (!form) return;
    form->SetWindowState(ui::WindowState::Normal);
    form->Show();
    platform_.ui.DoEvents();
    form->Activate();
    if (Unload) Unload();  // destroys this object: nothing may follow
}

}  // namespace varlindo
