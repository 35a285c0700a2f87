// WinMain: builds the real platform and the program, starts it and runs the loop.

#include <windows.h>

#include <string>

#include "app/app.h"
#include "base/text.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_text.h"

#ifndef VARLINDO_LANGUAGE
#define VARLINDO_LANGUAGE 0
#endif

namespace {
constexpr int kAppIcon = 1;  // the program's icon (res/varlindo.rc)
}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR command_line, int) {
    using namespace varlindo;
    // A start with a command line mostly switches and ends: its windows are made only if
    // they are needed (it stays, or shows a box).
    const std::string line = win32::Utf8(command_line ? command_line : L"");
    win32::Win32Platform platform(instance, kAppIcon,
                                  text::Trim(line).empty() ? win32::Win32Platform::Windows::AtOnce
                                                           : win32::Win32Platform::Windows::WhenNeeded);
    App app(platform.Ports(), static_cast<Language>(VARLINDO_LANGUAGE), line);
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
    return platform.Run();
}
