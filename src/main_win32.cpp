// WinMain: builds the real platform and the program, starts it and runs the loop.

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "app/app.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_text.h"

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

    win32::Win32Platform platform(instance, large_icon.get(), small_icon.get());
    App app(platform.Ports(), static_cast<Language>(VARLINDO_LANGUAGE), win32::Utf8(command_line ? command_line : L""));
#ifdef VARLINDO_TEST_UPDATE_SITE
    // The test build takes its updates from a server on this machine.
    app.SetSites({VARLINDO_TEST_UPDATE_SITE, VARLINDO_TEST_UPDATE_SITE});
#endif
    platform.Connect(app);
    try {
        app.Start();
    } catch (...) {
        // A fault in a start-up step must not take the program down: it runs on in the tray.
        OutputDebugStringW(L"Varlindo: a start-up step failed\n");
    }
    return platform.forms.Run();
}
