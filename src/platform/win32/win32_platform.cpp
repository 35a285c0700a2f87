#include "platform/win32/win32_platform.h"

namespace varlindo::win32 {

Win32Platform::Win32Platform(HINSTANCE instance, HICON large_icon, HICON small_icon)
    : endpoints([this] { tray.PostDefaultsChanged(); }),
      forms(instance, events_),
      ui(forms),
      tray(instance, events_),
      ports_{registry, waveout, endpoints, mixer, files, shell, ui, clock, tray, tray, tray, this->instance, forms} {
    forms.SetIcons(large_icon, small_icon);
    tray.SetIcon(small_icon);
}

Win32Platform::~Win32Platform() { endpoints.StopWatching(); }

}  // namespace varlindo::win32
