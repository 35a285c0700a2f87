#pragma once
// The program's icon in the notification area: its tooltip, and the two things a click on
// it does (open the tray menu, or bring the main window back).

#include <functional>
#include <string>

#include "platform/ports.h"
#include "tray/dynamic_popup_menu.h"
#include "ui/widgets.h"

namespace varlindo {

class SystemTray {
public:
    // Mouse notifications of the icon: the platform's mouse message numbers.
    enum Notification { MouseMove = 512, LeftDown = 513, LeftUp = 514, LeftDouble = 515, RightDown = 516,
                        RightUp = 517, RightDouble = 518 };

    // The tooltip field holds 64 characters including its terminating NUL.
    static constexpr size_t kTipChars = 63;

    explicit SystemTray(Platform& platform);
    ~SystemTray();  // unloading removes the icon
    SystemTray(const SystemTray&) = delete;
    SystemTray& operator=(const SystemTray&) = delete;

    // `RefIcon_Form` lends its window icon; `c_ShowFormOnClick` is the form a click brings
    // back, and `on_menu` receives the picked entry of the tray menu.
    void AddTrayIcon(ui::Form& RefIcon_Form, const std::string& c_ToolTipText, bool c_OpenMenueOnRightClick,
                     ui::Form& c_ShowFormOnClick, const std::string& M_PopupMenuString,
                     std::function<void(const std::string&)> on_menu = nullptr);
    void RemoveTrayIcon();
    void ChangeToolTipText(const std::string& c_ToolTipText);
    void ChangePopupMenuString(const std::string& M_PopupMenuString) { M_PopupMenuString_ = M_PopupMenuString; }

    // A mouse notification from the icon.
    void OnMouseNotification(int notification);

    // Asks the owner to unload this window (the icon goes with it).
    std::function<void()> Unload;

    const std::string& ToolTip() const { return tip_; }
    const std::string& MenuString() const { return M_PopupMenuString_; }
    bool IconShown() const { return shown_; }

    // The tooltip as the notification record holds it: cut to 63 characters.
    static std::string TipField(const std::string& text);

    DynamicPopupMenu DynamicTrayPopupMenu;

private:
    void ShowFormAction();

    Platform& platform_;
    std::string M_PopupMenuString_;
    bool c_OpenMenueOnRightClick_ = false;
    ui::Form* c_ShowFormOnClick_ = nullptr;
    std::function<void(const std::string&)> on_menu_;
    std::string tip_;
    bool shown_ = false;
};

}  // namespace varlindo
