#include "tray/system_tray.h"

#include "app/app.h"
#include "base/text.h"

namespace varlindo {

SystemTray::SystemTray(App& app)
    : ui::Form("SystemTray", "SystemTray", 0, 0),
      RetryTimer(*this, "RetryTimer", 2000, false),
      ClickTimer(*this, "ClickTimer", app.GetPlatform().ui.DoubleClickTime(), false),
      DynamicTrayPopupMenu(app.GetPlatform().menu),
      app_(app),
      platform_(app.GetPlatform()) {
    RetryTimer.Tick = [this] { RetryTimer_Timer(); };
    ClickTimer.Tick = [this] { ClickTimer_Timer(); };
    Unload = [this](bool& cancel) { Form_Unload(cancel); };
}

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
    // While the icon is there, adding again changes nothing.
    if (wanted_) return;
    wanted_ = true;
    tip_ = TipField(c_ToolTipText);
    retries_left_ = kAddRetries;
    ShowIcon();
}

void SystemTray::ShowIcon() {
    shown_ = platform_.tray.AddIcon(tip_);
    RetryTimer.SetEnabled(!shown_ && retries_left_ > 0);
}

void SystemTray::RetryTimer_Timer() {
    if (!wanted_ || shown_ || retries_left_ <= 0) {
        RetryTimer.SetEnabled(false);
        return;
    }
    --retries_left_;
    ShowIcon();
}

void SystemTray::OnTaskbarCreated() {
    if (!wanted_) return;
    // A new notification area shows none of the old icons; one that was only redrawn may
    // still show ours, so take it away before adding it again.
    if (shown_) platform_.tray.RemoveIcon();
    retries_left_ = kAddRetries;
    ShowIcon();
}

void SystemTray::RemoveTrayIcon() {
    wanted_ = false;
    RetryTimer.SetEnabled(false);
    if (shown_) platform_.tray.RemoveIcon();
    shown_ = false;
}

void SystemTray::ChangeToolTipText(const std::string& c_ToolTipText) {
    size_t blanks = 0;
    while (blanks < c_ToolTipText.size() && c_ToolTipText[blanks] == ' ') ++blanks;
    tip_ = TipField(c_ToolTipText.substr(blanks));
    if (shown_) platform_.tray.ModifyTip(tip_);
}

void SystemTray::Form_Unload(bool&) { RemoveTrayIcon(); }

void SystemTray::OnMouseNotification(int notification) {
    // The menu is modal: clicks on the icon while it is open change nothing.
    if (menu_open_) return;
    const bool right_up = notification == RightUp;
    const bool left_up = notification == LeftUp;
    const bool double_click = notification == LeftDouble;

    if (c_OpenMenueOnRightClick_) {
        if (right_up) {
            ClickTimer.SetEnabled(false);
            OpenMenu();
        } else if (left_up && after_double_click_) {
            after_double_click_ = false;
        } else if (left_up) {
            // The left button may be half of a double click, which brings the window back
            // instead: the menu waits for the double-click time.
            ClickTimer.SetEnabled(true);
        }
    }
    if (double_click) {
        ClickTimer.SetEnabled(false);
        after_double_click_ = true;
    }
    if ((left_up && !c_OpenMenueOnRightClick_) || double_click) ShowFormAction();
}

void SystemTray::ClickTimer_Timer() {
    ClickTimer.SetEnabled(false);
    if (!menu_open_) OpenMenu();
}

void SystemTray::OpenMenu() {
    menu_open_ = true;
    const std::string picked = DynamicTrayPopupMenu.Popup(M_PopupMenuString_);
    menu_open_ = false;
    // The handler may add the icon anew, which replaces on_menu_: it runs from a copy.
    if (auto handler = on_menu_; !picked.empty() && handler) handler(picked);
}

void SystemTray::ShowFormAction() {
    // The form a click brings back is the main window; showing it unloads this window,
    // which the App destroys once this event is over.
    if (c_ShowFormOnClick_) app_.ShowMainWindow();
}

}  // namespace varlindo
