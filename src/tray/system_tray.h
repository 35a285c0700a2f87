#pragma once
// The program's icon in the notification area: its tooltip, and the two things a click on
// it does (open the tray menu, or bring the main window back). An invisible form: the App
// makes it on first use, and unloading it removes the icon.
//
// The icon the program wants and the icon the shell shows are kept apart: the shell may
// refuse an icon (at logon the notification area may not be ready yet) and it forgets
// every icon when Explorer restarts. A refused icon is tried again a few times, and a
// wanted icon is added again whenever the notification area is created anew.

#include <functional>
#include <string>

#include "platform/ports.h"
#include "tray/dynamic_popup_menu.h"
#include "ui/widgets.h"

namespace varlindo {

class App;

class SystemTray : public ui::Form {
public:
    // Mouse notifications of the icon: the platform's mouse message numbers.
    enum Notification { MouseMove = 512, LeftDown = 513, LeftUp = 514, LeftDouble = 515, RightDown = 516,
                        RightUp = 517, RightDouble = 518 };

    // The tooltip field holds 64 characters including its terminating NUL.
    static constexpr size_t kTipChars = 63;
    // A refused icon is tried again this many times, RetryTimer's interval apart.
    static constexpr int kAddRetries = 10;

    explicit SystemTray(App& app);
    ~SystemTray() override;

    // Tries a refused icon again.
    ui::Timer RetryTimer;
    // A left click opens the menu once it is clear that no double click follows.
    ui::Timer ClickTimer;

    // `RefIcon_Form` lends its window icon; `c_ShowFormOnClick` is the form whose tray menu
    // this is, and `on_menu` receives the picked entry of the tray menu.
    void AddTrayIcon(ui::Form& RefIcon_Form, const std::string& c_ToolTipText, bool c_OpenMenueOnRightClick,
                     ui::Form& c_ShowFormOnClick, const std::string& M_PopupMenuString,
                     std::function<void(const std::string&)> on_menu = nullptr);
    void RemoveTrayIcon();
    void ChangeToolTipText(const std::string& c_ToolTipText);
    void ChangePopupMenuString(const std::string& M_PopupMenuString) { M_PopupMenuString_ = M_PopupMenuString; }

    // A mouse notification from the icon.
    void OnMouseNotification(int notification);
    // The notification area was created anew: every icon it showed is gone.
    void OnTaskbarCreated();

    const std::string& ToolTip() const { return tip_; }
    const std::string& MenuString() const { return M_PopupMenuString_; }
    bool IconWanted() const { return wanted_; }
    bool IconShown() const { return shown_; }

    // The tooltip as the notification record holds it: cut to 63 characters.
    static std::string TipField(const std::string& text);

    DynamicPopupMenu DynamicTrayPopupMenu;

private:
    void Form_Unload(bool& cancel);
    void RetryTimer_Timer();
    void ClickTimer_Timer();
    void OpenMenu();
    void ShowIcon();
    void ShowFormAction();

    App& app_;
    Platform& platform_;
    std::string M_PopupMenuString_;
    bool c_OpenMenueOnRightClick_ = false;
    ui::Form* c_ShowFormOnClick_ = nullptr;
    std::function<void(const std::string&)> on_menu_;
    std::string tip_;
    bool wanted_ = false;
    bool shown_ = false;
    int retries_left_ = 0;
    bool menu_open_ = false;
    // The button-up that ends a double click opens no menu.
    bool after_double_click_ = false;
};

}  // namespace varlindo
