// vtool: looks into a running program from outside, for the end-to-end tests.
//   vtool devices               wave-out devices, one "N<TAB>name" line each
//   vtool dump TITLE            the window with this title and its controls, as JSON lines
//   vtool box TITLE             the text of the message box with this title
//   vtool volume N              speaker and wave volume of the mixer of wave-out device N: raw value and control id
//   vtool close TITLE           asks the window with this title to close (WM_CLOSE)
//   vtool record FILE ...       writes its own command line and working folder into FILE (a program to start)
//   vtool taskbar-created       tells the program's message window that the notification area was made anew
//   vtool logoff end|cancel     asks the program's message window whether the session may end, then says
//                               that it ends (or that the ending was cancelled); prints the answer
#include <windows.h>
#include <mmsystem.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <string>

namespace {

std::string Utf8(const std::wstring& w) {
    if (w.empty()) return {};
    int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
    std::string s(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), s.data(), n, nullptr, nullptr);
    return s;
}

std::string Json(const std::wstring& w) {
    std::string out = "\"";
    for (char c : Utf8(w)) {
        switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\r': out += "\\r"; break;
            case '\n': out += "\\n"; break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    char buf[8];
                    std::snprintf(buf, sizeof buf, "\\u%04x", c);
                    out += buf;
                } else {
                    out += c;
                }
        }
    }
    return out + "\"";
}

std::wstring Text(HWND h) {
    wchar_t buf[1024] = {};
    DWORD_PTR got = 0;
    SendMessageTimeoutW(h, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(buf), SMTO_ABORTIFHUNG, 2000, &got);
    return buf;
}

std::wstring ClassOf(HWND h) {
    wchar_t buf[128] = {};
    GetClassNameW(h, buf, 128);
    return buf;
}

void PrintWindow(HWND h, const char* kind) {
    RECT r{};
    GetWindowRect(h, &r);
    std::printf("{\"kind\": \"%s\", \"class\": %s, \"id\": %d, \"text\": %s, \"visible\": %d, \"enabled\": %d, "
                "\"iconic\": %d, \"x\": %ld, \"y\": %ld, \"w\": %ld, \"h\": %ld",
                kind, Json(ClassOf(h)).c_str(), GetDlgCtrlID(h), Json(Text(h)).c_str(), IsWindowVisible(h) ? 1 : 0,
                IsWindowEnabled(h) ? 1 : 0, IsIconic(h) ? 1 : 0, r.left, r.top, r.right - r.left, r.bottom - r.top);
    const std::wstring cls = ClassOf(h);
    if (_wcsicmp(cls.c_str(), L"ListBox") == 0 || _wcsicmp(cls.c_str(), L"ComboBox") == 0) {
        const bool combo = _wcsicmp(cls.c_str(), L"ComboBox") == 0;
        const LRESULT count = SendMessageW(h, combo ? CB_GETCOUNT : LB_GETCOUNT, 0, 0);
        std::printf(", \"selected\": %ld, \"items\": [", static_cast<long>(SendMessageW(h, combo ? CB_GETCURSEL : LB_GETCURSEL, 0, 0)));
        for (LRESULT i = 0; i < count; ++i) {
            wchar_t item[512] = {};
            SendMessageW(h, combo ? CB_GETLBTEXT : LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item));
            std::printf("%s%s", i ? ", " : "", Json(item).c_str());
        }
        std::printf("]");
        if (!combo) std::printf(", \"item_height\": %ld, \"top_index\": %ld", static_cast<long>(SendMessageW(h, LB_GETITEMHEIGHT, 0, 0)),
                                static_cast<long>(SendMessageW(h, LB_GETTOPINDEX, 0, 0)));
    }
    if (_wcsicmp(cls.c_str(), L"Button") == 0)
        std::printf(", \"checked\": %ld", static_cast<long>(SendMessageW(h, BM_GETCHECK, 0, 0)));
    std::printf("}\n");
}

BOOL CALLBACK PrintChild(HWND h, LPARAM) {
    PrintWindow(h, "control");
    return TRUE;
}

// Top-level windows of this title, visible ones first.
HWND FindTopLevel(const std::wstring& title, const wchar_t* cls = nullptr) {
    HWND found = nullptr;
    for (HWND h = FindWindowExW(nullptr, nullptr, cls, title.c_str()); h; h = FindWindowExW(nullptr, h, cls, title.c_str())) {
        if (IsWindowVisible(h)) return h;
        if (!found) found = h;
    }
    return found;
}

int Devices() {
    const UINT count = waveOutGetNumDevs();
    for (UINT n = 0; n < count; ++n) {
        WAVEOUTCAPSW caps{};
        if (waveOutGetDevCapsW(n, &caps, sizeof caps) == MMSYSERR_NOERROR) std::printf("%u\t%s\n", n, Utf8(caps.szPname).c_str());
    }
    return 0;
}

int Volume(UINT device) {
    UINT id = device;
    if (mixerGetID(reinterpret_cast<HMIXEROBJ>(static_cast<UINT_PTR>(device)), &id, MIXER_OBJECTF_WAVEOUT) != MMSYSERR_NOERROR) id = device;
    HMIXER mixer = nullptr;
    if (mixerOpen(&mixer, id, 0, 0, MIXER_OBJECTF_MIXER) != MMSYSERR_NOERROR) return 2;
    for (DWORD component : {MIXERLINE_COMPONENTTYPE_DST_SPEAKERS, MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT}) {
        MIXERLINEW line{};
        line.cbStruct = sizeof line;
        line.dwComponentType = component;
        long value = -1;
        long control_id = -1;
        if (mixerGetLineInfoW(reinterpret_cast<HMIXEROBJ>(mixer), &line, MIXER_OBJECTF_HMIXER | MIXER_GETLINEINFOF_COMPONENTTYPE) == MMSYSERR_NOERROR) {
            MIXERCONTROLW control{};
            MIXERLINECONTROLSW request{sizeof request, line.dwLineID, {MIXERCONTROL_CONTROLTYPE_VOLUME}, 1, sizeof control, &control};
            if (mixerGetLineControlsW(reinterpret_cast<HMIXEROBJ>(mixer), &request, MIXER_OBJECTF_HMIXER | MIXER_GETLINECONTROLSF_ONEBYTYPE) == MMSYSERR_NOERROR) {
                control_id = static_cast<long>(control.dwControlID);
                MIXERCONTROLDETAILS_UNSIGNED v{};
                MIXERCONTROLDETAILS details{};
                details.cbStruct = sizeof details;
                details.dwControlID = control.dwControlID;
                details.cChannels = 1;
                details.cbDetails = sizeof v;
                details.paDetails = &v;
                if (mixerGetControlDetailsW(reinterpret_cast<HMIXEROBJ>(mixer), &details, MIXER_OBJECTF_HMIXER | MIXER_GETCONTROLDETAILSF_VALUE) == MMSYSERR_NOERROR)
                    value = static_cast<long>(v.dwValue);
            }
        }
        std::printf("%s\t%ld\t%ld\n", component == MIXERLINE_COMPONENTTYPE_DST_SPEAKERS ? "speaker" : "wave", value,
                    control_id);
    }
    std::printf("mixer\t%u\n", id);
    mixerClose(mixer);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return 2;
    _setmode(_fileno(stdout), _O_BINARY);  // "\r\n" in a text stays as it is
    const std::wstring command = argv[1];
    if (command == L"devices") return Devices();
    if (command == L"volume" && argc >= 3) return Volume(static_cast<UINT>(_wtoi(argv[2])));
    if (command == L"dump" && argc >= 3) {
        HWND h = FindTopLevel(argv[2]);
        if (!h) return 1;
        PrintWindow(h, "window");
        EnumChildWindows(h, PrintChild, 0);
        return 0;
    }
    if (command == L"record" && argc >= 3) {
        FILE* f = _wfopen(argv[2], L"wb");
        if (!f) return 1;
        wchar_t folder[MAX_PATH] = {};
        GetCurrentDirectoryW(MAX_PATH, folder);
        std::fprintf(f, "%s\n%s\n", Utf8(GetCommandLineW()).c_str(), Utf8(folder).c_str());
        std::fclose(f);
        return 0;
    }
    if (command == L"taskbar-created") {
        HWND h = FindWindowW(L"VarlindoTray", nullptr);
        if (!h) return 1;
        DWORD_PTR ignored = 0;
        SendMessageTimeoutW(h, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0, SMTO_NORMAL, 10000, &ignored);
        return 0;
    }
    if (command == L"logoff" && argc >= 3) {
        HWND h = FindWindowW(L"VarlindoTray", nullptr);
        if (!h) return 1;
        DWORD_PTR answer = 0;
        SendMessageTimeoutW(h, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_NORMAL, 10000, &answer);
        std::printf("query %ld\n", static_cast<long>(answer));
        std::fflush(stdout);
        const BOOL ending = std::wstring(argv[2]) == L"end";
        DWORD_PTR ignored = 0;
        SendMessageTimeoutW(h, WM_ENDSESSION, ending, ENDSESSION_LOGOFF, SMTO_NORMAL, 10000, &ignored);
        return 0;
    }
    if (command == L"close" && argc >= 3) {
        HWND h = FindTopLevel(argv[2]);
        return h && PostMessageW(h, WM_CLOSE, 0, 0) ? 0 : 1;
    }
    if (command == L"box" && argc >= 3) {
        HWND h = FindTopLevel(argv[2], L"#32770");
        if (!h) return 1;
        wchar_t text[2048] = {};
        GetDlgItemTextW(h, 0xFFFF, text, 2048);
        std::printf("%s\n", Utf8(text).c_str());
        return 0;
    }
    return 2;
}
