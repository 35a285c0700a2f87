// The least any switcher must do: find wave-out device N by number and write its name as
// the playback default. Its run time is the floor the command-line switch is measured
// against (bench/commandline_switch.py). Built twice: as a windowed program (what a
// shortcut starts without a console window flashing up, as the switcher itself is) and as
// a console program.
//
//     minswitch.exe N      minswitch_console.exe N

#include <windows.h>
#include <mmsystem.h>

#include <cwchar>

namespace {
int Switch(const wchar_t* number) {
    const UINT wanted = static_cast<UINT>(_wtoi(number));
    const UINT count = waveOutGetNumDevs();
    WAVEOUTCAPSW caps{};
    bool found = false;
    for (UINT i = 0; i < count; ++i) {
        if (waveOutGetDevCapsW(i, &caps, sizeof caps) != MMSYSERR_NOERROR) continue;
        if (i + 1 == wanted) {
            found = true;
            break;
        }
    }
    if (!found) return 1;
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Multimedia\\Sound Mapper", 0, nullptr, 0,
                        KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return 1;
    const DWORD bytes = static_cast<DWORD>((wcslen(caps.szPname) + 1) * sizeof(wchar_t));
    const LONG status = RegSetValueExW(key, L"Playback", 0, REG_SZ, reinterpret_cast<const BYTE*>(caps.szPname), bytes);
    RegCloseKey(key);
    return status == ERROR_SUCCESS ? 0 : 1;
}
}  // namespace

#ifdef MINSWITCH_CONSOLE
int wmain(int argc, wchar_t** argv) { return argc < 2 ? 2 : Switch(argv[1]); }
#else
int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR command_line, int) { return Switch(command_line); }
#endif
