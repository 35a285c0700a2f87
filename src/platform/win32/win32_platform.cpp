#include "platform/win32/win32_platform.h"

namespace varlindo::win32 {

Win32Platform::Win32Platform(HINSTANCE instance, int icon, Windows windows)
    : icons_(instance, icon),
      endpoints([this] { tray.PostDefaultsChanged(); }, forms, [this] { tray.MakeWindow(); }),
      forms(instance, events_, icons_),
      ui(forms),
      tray(instance, events_, icons_),
      ports_{registry, waveout, endpoints, mixer, files, shell, ui, clock, tray, tray, tray, this->instance, forms} {
    if (windows == Windows::WhenNeeded) {
        forms.DeferWindows([this] { tray.MakeWindow(); });
        return;
    }
    // A notice that comes before the message loop runs waits in the window's queue.
    tray.MakeWindow();
}

Win32Platform::~Win32Platform() { endpoints.StopWatching(); }

int Win32Platform::Run() {
    tray.MakeWindow();
    return forms.Run();
}

HICON AppIcons::Load(unique_icon& icon, int metric) {
    if (!icon && resource_) {
        const int size = GetSystemMetrics(metric);
        icon.reset(static_cast<HICON>(
            LoadImageW(instance_, MAKEINTRESOURCEW(resource_), IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
    }
    return icon.get();
}

}  // namespace varlindo::win32
