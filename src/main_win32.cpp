// WinMain: builds the real platform and the program, binds the main window, runs the loop.

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "app/app.h"
#include "app/form1.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_text.h"
#include "platform/win32/win32_view.h"
#include "tray/system_tray.h"

#ifndef VARLINDO_LANGUAGE
#define VARLINDO_LANGUAGE 0
#endif

namespace {
constexpr int kAppIcon = 1;

HICON LoadAppIcon(HINSTANCE instance, int size) {
    return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(kAppIcon), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
}
}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR command_line, int) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    using namespace varlindo;
    win32::unique_icon large_icon(LoadAppIcon(instance, GetSystemMetrics(SM_CXICON)));
    win32::unique_icon small_icon(LoadAppIcon(instance, GetSystemMetrics(SM_CXSMICON)));

    win32::Win32Platform platform(instance);
    platform.tray.SetIcon(small_icon.get());
    App app(platform.Ports(), static_cast<Language>(VARLINDO_LANGUAGE), win32::Utf8(command_line ? command_line : L""));
    platform.tray.OnNotification = [&app](int notification) {
        if (app.HasTray()) app.Tray().OnMouseNotification(notification);
    };

    Form1& form = app.MainForm();
    win32::FormView view(form, instance, large_icon.get(), small_icon.get());
    const UINT bring_forward = win32::Instance::BringForwardMessage();
    view.OnOtherMessage = [&app, bring_forward](UINT message, WPARAM wparam) {
        app.HandleWindowMessage(message == bring_forward ? kBringForwardMessage : message, wparam);
    };
    view.OnClose = [&app] { app.Close(); };
    view.OnQueryEndSession = [&app] { return app.QueryEndSession(); };
    view.OnEndSession = [&app] { app.EndSession(); };
    platform.ui.SetOwner(view.Window());

    app.Start();
    view.Flush();

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (IsDialogMessageW(view.Window(), &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
