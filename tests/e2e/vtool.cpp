// vtool: looks into a running program from outside, for the end-to-end tests.
//   vtool devices               wave-out devices, one "N<TAB>name" line each
//   vtool dump TITLE            the window with this title and its controls, as JSON lines
//   vtool box TITLE             the text of the message box with this title
//   vtool volume N              speaker and wave volume of the mixer of wave-out device N: raw value and control id
//   vtool close TITLE           asks the window with this title to close (WM_CLOSE)
//   vtool scroll TITLE ID POS   drags the thumb of the scroll bar with control id ID in the window with this
//                               title to POS (the control's own position, as dump shows it), as a user does
//   vtool record FILE ...       writes its own command line and working folder into FILE (a program to start)
//   vtool taskbar-created       tells the program's message window that the notification area was made anew
//   vtool logoff end|cancel     asks the program's message window whether the session may end, then says
//                               that it ends (or that the ending was cancelled); prints the answer
//   vtool menu [--owner CLASS] [--wait MS]
//                               the items of the open popup menu, as JSON lines (see menuhook.cpp); the menu
//                               must belong to the process of the window of class CLASS ("VarlindoTray" by
//                               default, "*" for any); waits up to MS ms for it to open; exit 1 when none is open
//   vtool menukey [--owner CLASS] KEY...
//                               presses keys in the open popup menu: escape, return, up, down, home, end
//   vtool drop WINDOW X Y FILE...
//                               drops the files on the window (its title, or its handle as a number) at the
//                               screen point X Y, as the shell hands a drop to a program: the window under the
//                               point that takes files gets WM_DROPFILES (built inside the program, see
//                               menuhook.cpp; the mouse drag itself is not exercised). Exit 5 when no window
//                               there takes files
//   vtool traymenu FILE         a stand-in tray program: its icon opens a fixed popup menu the way Varlindo
//                               opens its own; each time the menu ends, "picked ID" is added to FILE
//   vtool endpoints             the audio endpoints as JSON lines: each wave-out and wave-in device with the
//                               endpoint id its driver names (DRV_QUERYFUNCTIONINSTANCEID), each endpoint the
//                               device enumerator lists (id, flow, state, name, adapter, container), and the
//                               default endpoint of each flow and role
//   vtool windows               the visible top-level windows, as JSON lines: title, class, process id
#include <windows.h>
#include <mmsystem.h>
#include <mmdeviceapi.h>
#include <propidl.h>
#include <shellapi.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>
#include "json_text.h"

namespace {

std::string Utf8(const std::wstring& w) {
    if (w.empty()) return {};
    int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
    std::string s(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), s.data(), n, nullptr, nullptr);
    return s;
}

std::string Json(const std::wstring& w) { return JsonQuote(Utf8(w)); }

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
    if (_wcsicmp(cls.c_str(), L"ScrollBar") == 0) {
        // The control's own range, 0 at the top (Wine passes SBM_GETSCROLLINFO between processes).
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        info.fMask = SIF_ALL;
        if (GetScrollInfo(h, SB_CTL, &info))
            std::printf(", \"pos\": %d, \"min\": %d, \"max\": %d, \"page\": %u", info.nPos, info.nMin, info.nMax,
                        info.nPage);
        // How tall the arrow buttons and the thumb are drawn (as tall as the system's scroll bars
        // are wide, however wide the control is). Under Wine every process sees the system's DPI.
        std::printf(", \"arrow\": %d, \"thumb\": %d", GetSystemMetrics(SM_CYVSCROLL), GetSystemMetrics(SM_CYVTHUMB));
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

// ---------------------------------------------------------------- audio endpoints

// The driver's endpoint id of a wave device, as the multimedia device API names it (mmddk.h).
constexpr UINT kQueryInstanceId = 0x0800 + 17;      // DRV_QUERYFUNCTIONINSTANCEID
constexpr UINT kQueryInstanceIdSize = 0x0800 + 18;  // DRV_QUERYFUNCTIONINSTANCEIDSIZE

template <typename Message>
std::wstring WaveEndpointId(Message message, UINT device) {
    ULONG size = 0;
    if (message(device, kQueryInstanceIdSize, reinterpret_cast<DWORD_PTR>(&size), 0) != MMSYSERR_NOERROR || size == 0)
        return {};
    std::wstring id(size / sizeof(wchar_t) + 1, L'\0');
    if (message(device, kQueryInstanceId, reinterpret_cast<DWORD_PTR>(id.data()), size) != MMSYSERR_NOERROR) return {};
    id.resize(std::wcslen(id.c_str()));
    return id;
}

MMRESULT WaveOutQuery(UINT device, UINT message, DWORD_PTR a, DWORD_PTR b) {
    return waveOutMessage(reinterpret_cast<HWAVEOUT>(static_cast<UINT_PTR>(device)), message, a, b);
}

MMRESULT WaveInQuery(UINT device, UINT message, DWORD_PTR a, DWORD_PTR b) {
    return waveInMessage(reinterpret_cast<HWAVEIN>(static_cast<UINT_PTR>(device)), message, a, b);
}

// A text property, or a GUID one in braces; "" when there is none.
std::wstring StringProperty(IPropertyStore* store, const PROPERTYKEY& key) {
    PROPVARIANT value;
    PropVariantInit(&value);
    std::wstring text;
    if (SUCCEEDED(store->GetValue(key, &value))) {
        if (value.vt == VT_LPWSTR && value.pwszVal) text = value.pwszVal;
        wchar_t guid[40] = {};
        if (value.vt == VT_CLSID && value.puuid && StringFromGUID2(*value.puuid, guid, 40) > 0) text = guid;
    }
    PropVariantClear(&value);
    return text;
}

int Endpoints() {
    for (UINT n = 0, count = waveOutGetNumDevs(); n < count; ++n) {
        WAVEOUTCAPSW caps{};
        waveOutGetDevCapsW(n, &caps, sizeof caps);
        std::printf("{\"wave\": \"out\", \"device\": %u, \"name\": %s, \"id\": %s}\n", n, Json(caps.szPname).c_str(),
                    Json(WaveEndpointId(WaveOutQuery, n)).c_str());
    }
    for (UINT n = 0, count = waveInGetNumDevs(); n < count; ++n) {
        WAVEINCAPSW caps{};
        waveInGetDevCapsW(n, &caps, sizeof caps);
        std::printf("{\"wave\": \"in\", \"device\": %u, \"name\": %s, \"id\": %s}\n", n, Json(caps.szPname).c_str(),
                    Json(WaveEndpointId(WaveInQuery, n)).c_str());
    }
    if (FAILED(CoInitializeEx(nullptr, COINIT_MULTITHREADED))) return 3;
    IMMDeviceEnumerator* devices = nullptr;
    if (FAILED(CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_ALL, __uuidof(IMMDeviceEnumerator),
                                reinterpret_cast<void**>(&devices)))) {
        std::fprintf(stderr, "no device enumerator\n");
        return 3;
    }
    // PKEY_Device_FriendlyName, PKEY_DeviceInterface_FriendlyName (the adapter's name) and
    // PKEY_Device_ContainerId (the physical device).
    const PROPERTYKEY name_key{{0xa45c254e, 0xdf1c, 0x4efd, {0x80, 0x20, 0x67, 0xd1, 0x46, 0xa8, 0x50, 0xe0}}, 14};
    const PROPERTYKEY adapter_key{{0x026e516e, 0xb814, 0x414b, {0x83, 0xcd, 0x85, 0x6d, 0x6f, 0xef, 0x48, 0x22}}, 2};
    const PROPERTYKEY container_key{{0x8c7ed206, 0x3f8a, 0x4827, {0xb3, 0xab, 0xae, 0x9e, 0x1f, 0xae, 0xfc, 0x6c}}, 2};
    for (EDataFlow flow : {eRender, eCapture}) {
        const char* flow_name = flow == eRender ? "render" : "capture";
        IMMDeviceCollection* all = nullptr;
        UINT count = 0;
        if (SUCCEEDED(devices->EnumAudioEndpoints(flow, DEVICE_STATEMASK_ALL, &all))) all->GetCount(&count);
        for (UINT i = 0; i < count; ++i) {
            IMMDevice* device = nullptr;
            if (FAILED(all->Item(i, &device))) continue;
            LPWSTR id = nullptr;
            DWORD state = 0;
            device->GetId(&id);
            device->GetState(&state);
            std::wstring name, adapter, container;
            IPropertyStore* store = nullptr;
            if (SUCCEEDED(device->OpenPropertyStore(STGM_READ, &store))) {
                name = StringProperty(store, name_key);
                adapter = StringProperty(store, adapter_key);
                container = StringProperty(store, container_key);
                store->Release();
            }
            std::printf("{\"endpoint\": \"%s\", \"id\": %s, \"state\": %lu, \"name\": %s, \"adapter\": %s, "
                        "\"container\": %s}\n",
                        flow_name, Json(id ? id : L"").c_str(), state, Json(name).c_str(), Json(adapter).c_str(),
                        Json(container).c_str());
            CoTaskMemFree(id);
            device->Release();
        }
        if (all) all->Release();
        for (ERole role : {eConsole, eMultimedia, eCommunications}) {
            IMMDevice* device = nullptr;
            LPWSTR id = nullptr;
            if (SUCCEEDED(devices->GetDefaultAudioEndpoint(flow, role, &device))) {
                device->GetId(&id);
                device->Release();
            }
            std::printf("{\"default\": \"%s\", \"role\": %d, \"id\": %s}\n", flow_name, static_cast<int>(role),
                        Json(id ? id : L"").c_str());
            CoTaskMemFree(id);
        }
    }
    devices->Release();
    CoUninitialize();
    return 0;
}

// ---------------------------------------------------------------- popup menus

struct MenuQuery {
    std::wstring owner_class = L"VarlindoTray";
    DWORD wait_ms = 0;
    std::vector<std::wstring> rest;
};

MenuQuery ParseMenuQuery(int argc, wchar_t** argv) {
    MenuQuery q;
    for (int i = 2; i < argc; ++i) {
        const std::wstring arg = argv[i];
        if (arg == L"--owner" && i + 1 < argc) q.owner_class = argv[++i];
        else if (arg == L"--wait" && i + 1 < argc) q.wait_ms = static_cast<DWORD>(_wtoi(argv[++i]));
        else q.rest.push_back(arg);
    }
    return q;
}

DWORD ProcessOf(HWND h) {
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    return pid;
}

struct MenuSearch {
    DWORD owner_pid;  // 0: any process
    HWND found;
};

BOOL CALLBACK FindMenuWindowProc(HWND h, LPARAM param) {
    auto* search = reinterpret_cast<MenuSearch*>(param);
    if (ClassOf(h) != L"#32768" || !IsWindowVisible(h)) return TRUE;
    if (search->owner_pid && ProcessOf(h) != search->owner_pid) return TRUE;
    search->found = h;
    return FALSE;
}

// The visible popup menu window of the owner's process, waiting up to wait_ms for it.
HWND FindMenuWindow(const MenuQuery& q) {
    const DWORD start = GetTickCount();
    for (;;) {
        MenuSearch search{0, nullptr};
        HWND owner = q.owner_class == L"*" ? nullptr : FindWindowW(q.owner_class.c_str(), nullptr);
        if (owner || q.owner_class == L"*") {
            search.owner_pid = owner ? ProcessOf(owner) : 0;
            EnumWindows(FindMenuWindowProc, reinterpret_cast<LPARAM>(&search));
            if (search.found) return search.found;
        }
        if (GetTickCount() - start >= q.wait_ms) return nullptr;
        Sleep(50);
    }
}

int NoMenu(const MenuQuery& q) {
    std::fprintf(stderr, "no popup menu is open in the process of a %s window\n",
                 q.owner_class == L"*" ? "top-level" : Utf8(L"\"" + q.owner_class + L"\"").c_str());
    return 1;
}

std::wstring Beside(const wchar_t* file) {
    wchar_t own[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, own, MAX_PATH);
    std::wstring path = own;
    return path.substr(0, path.find_last_of(L"\\/") + 1) + file;
}

// Reads the open menu from inside its process: the hook in menuhook.dll writes the items to a
// file when the menu window receives "VtoolReadMenu" (the file's name travels as a global atom).
int ReadMenu(const MenuQuery& q) {
    HWND menu_window = FindMenuWindow(q);
    if (!menu_window) return NoMenu(q);
    HMODULE dll = LoadLibraryW(Beside(L"menuhook.dll").c_str());
    auto proc = dll ? reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(dll, "MenuHookProc"))) : nullptr;
    if (!proc) {
        std::fprintf(stderr, "menuhook.dll is missing beside vtool.exe\n");
        return 3;
    }
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring out = std::wstring(temp) + L"vtool-menu-" + std::to_wstring(GetCurrentProcessId()) + L".json";
    DeleteFileW(out.c_str());
    HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, proc, dll, GetWindowThreadProcessId(menu_window, nullptr));
    if (!hook) {
        std::fprintf(stderr, "SetWindowsHookExW failed: error %lu\n", GetLastError());
        return 3;
    }
    const ATOM name = GlobalAddAtomW(out.c_str());
    DWORD_PTR ignored = 0;
    // The hook runs before the menu window's own procedure, so the file is there once this returns.
    const LRESULT sent = SendMessageTimeoutW(menu_window, RegisterWindowMessageW(L"VtoolReadMenu"), name, 0,
                                             SMTO_ABORTIFHUNG, 5000, &ignored);
    UnhookWindowsHookEx(hook);
    GlobalDeleteAtom(name);
    FILE* f = _wfopen(out.c_str(), L"rb");
    if (!f) {
        std::fprintf(stderr, sent ? "the menu closed before it could be read\n" : "the menu window did not answer\n");
        return IsWindow(menu_window) ? 4 : 1;
    }
    char buf[4096];
    for (size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) std::fwrite(buf, 1, n, stdout);
    std::fclose(f);
    DeleteFileW(out.c_str());
    return 0;
}

int PressMenuKeys(const MenuQuery& q) {
    HWND menu_window = FindMenuWindow(q);
    if (!menu_window) return NoMenu(q);
    struct Key {
        const wchar_t* name;
        UINT vk;
    };
    static const Key keys[] = {{L"escape", VK_ESCAPE}, {L"return", VK_RETURN}, {L"up", VK_UP},
                               {L"down", VK_DOWN},     {L"home", VK_HOME},     {L"end", VK_END}};
    for (const std::wstring& name : q.rest) {
        UINT vk = 0;
        for (const Key& k : keys)
            if (name == k.name) vk = k.vk;
        if (!vk) {
            std::fprintf(stderr, "unknown key %s\n", Utf8(name).c_str());
            return 2;
        }
        PostMessageW(menu_window, WM_KEYDOWN, vk, 1);
        PostMessageW(menu_window, WM_KEYUP, vk, 0xC0000001);
    }
    return 0;
}

// ---------------------------------------------------------------- drops

// A window given by its handle (decimal or 0x hex) or by its title.
HWND WindowNamed(const std::wstring& name) {
    wchar_t* end = nullptr;
    const unsigned long long number = std::wcstoull(name.c_str(), &end, 0);
    if (!name.empty() && end && *end == L'\0') {
        HWND h = reinterpret_cast<HWND>(static_cast<UINT_PTR>(number));
        if (IsWindow(h)) return h;
    }
    return FindTopLevel(name);
}

// Has menuhook.dll build the shell's drop inside the program that owns the window (see
// menuhook.cpp): the point and the files travel in a request file named by a global atom.
int Drop(const std::wstring& target, int x, int y, const std::vector<std::wstring>& files) {
    HWND window = WindowNamed(target);
    if (!window) {
        std::fprintf(stderr, "no window %s\n", Utf8(target).c_str());
        return 1;
    }
    HMODULE dll = LoadLibraryW(Beside(L"menuhook.dll").c_str());
    auto proc = dll ? reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(dll, "DropHookProc"))) : nullptr;
    if (!proc) {
        std::fprintf(stderr, "menuhook.dll is missing beside vtool.exe\n");
        return 3;
    }
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring request = std::wstring(temp) + L"vtool-drop-" + std::to_wstring(GetCurrentProcessId()) + L".txt";
    const std::wstring answer_file = request + L".answer";
    DeleteFileW(answer_file.c_str());
    FILE* f = _wfopen(request.c_str(), L"wb");
    if (!f) return 3;
    std::fprintf(f, "%d %d\n", x, y);
    for (const std::wstring& file : files) std::fprintf(f, "%s\n", Utf8(file).c_str());
    std::fclose(f);

    HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, proc, dll, GetWindowThreadProcessId(window, nullptr));
    if (!hook) {
        std::fprintf(stderr, "SetWindowsHookExW failed: error %lu\n", GetLastError());
        DeleteFileW(request.c_str());
        return 3;
    }
    const ATOM name = GlobalAddAtomW(request.c_str());
    DWORD_PTR ignored = 0;
    // The hook runs before the window's own procedure, so the answer is there once this returns.
    SendMessageTimeoutW(window, RegisterWindowMessageW(L"VtoolDropFiles"), name, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
    UnhookWindowsHookEx(hook);
    GlobalDeleteAtom(name);
    DeleteFileW(request.c_str());
    char answer[64] = {};
    if (FILE* a = _wfopen(answer_file.c_str(), L"rb")) {
        std::fread(answer, 1, sizeof answer - 1, a);
        std::fclose(a);
    }
    DeleteFileW(answer_file.c_str());
    std::printf("%s\n", answer[0] ? answer : "no answer");
    if (std::string(answer) == "dropped") return 0;
    return std::string(answer) == "refused" ? 5 : 4;
}

// ---------------------------------------------------------------- a stand-in tray program

constexpr UINT kTrayCallback = WM_APP + 2;
const wchar_t* stand_in_record = nullptr;

// Shows the menu exactly as Varlindo's tray window does, and records what TrackPopupMenuEx returned.
void ShowStandInMenu(HWND owner) {
    struct Item {
        UINT id;
        const wchar_t* text;  // nullptr: a separator
        UINT flags;
    };
    static const Item items[] = {
        {1, L"Homepage ...", 0},
        {2, nullptr, 0},
        {3, L"Settings ...", 0},
        {4, L"Hotkeys", 0},
        {5, nullptr, 0},
        {6, L" 1: Out: default  (Play + Rec)", MF_CHECKED},
        {7, L" 2: Out: Realtek HD Audio", 0},
        {8, L" 3: Out: USB Headset", MF_GRAYED},
        {9, L" 4: Kopfh\u00f6rer \u2013 \u00dcbersicht", 0},
        {10, nullptr, 0},
        {11, L"Exit", 0},
    };
    HMENU menu = CreatePopupMenu();
    for (const Item& item : items) {
        if (!item.text) AppendMenuW(menu, MF_SEPARATOR, item.id, nullptr);
        else AppendMenuW(menu, MF_STRING | item.flags, item.id, item.text);
    }
    POINT at{};
    GetCursorPos(&at);
    SetForegroundWindow(owner);
    const int picked = static_cast<int>(TrackPopupMenuEx(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, owner, nullptr));
    PostMessageW(owner, WM_NULL, 0, 0);
    DestroyMenu(menu);
    if (FILE* f = _wfopen(stand_in_record, L"ab")) {
        std::fprintf(f, "picked %d\n", picked);
        std::fclose(f);
    }
}

LRESULT CALLBACK StandInProc(HWND h, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == kTrayCallback && (LOWORD(lparam) == WM_LBUTTONUP || LOWORD(lparam) == WM_RBUTTONUP)) {
        ShowStandInMenu(h);
        return 0;
    }
    if (message == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcW(h, message, wparam, lparam);
}

int StandInTray(const wchar_t* record) {
    stand_in_record = record;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = StandInProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"VtoolTray";
    RegisterClassExW(&wc);
    HWND h = CreateWindowExW(WS_EX_TOOLWINDOW, wc.lpszClassName, L"vtool tray", WS_POPUP, 0, 0, 0, 0, nullptr,
                             nullptr, wc.hInstance, nullptr);
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = h;
    data.uID = 1;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = kTrayCallback;
    data.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    lstrcpyW(data.szTip, L"vtool tray");
    if (!h || !Shell_NotifyIconW(NIM_ADD, &data)) return 1;
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    Shell_NotifyIconW(NIM_DELETE, &data);
    return 0;
}

BOOL CALLBACK PrintVisibleTitle(HWND h, LPARAM) {
    const std::wstring title = Text(h);
    if (IsWindowVisible(h) && !title.empty()) std::printf("%s\n", Json(title).c_str());
    return TRUE;
}

BOOL CALLBACK PrintShownWindow(HWND h, LPARAM) {
    if (IsWindowVisible(h))
        std::printf("{\"title\": %s, \"class\": %s, \"pid\": %lu}\n", Json(Text(h)).c_str(), Json(ClassOf(h)).c_str(),
                    ProcessOf(h));
    return TRUE;
}

BOOL CALLBACK PrintShownTooltip(HWND h, LPARAM) {
    if (IsWindowVisible(h) && _wcsicmp(ClassOf(h).c_str(), L"tooltips_class32") == 0)
        std::printf("%s\n", Json(Text(h)).c_str());
    return TRUE;
}

// Shows a window of its own and brings it to the front as a user's click on it would, then
// prints the titles of the visible top-level windows from the top of the z-order down. A
// window kept on top stays above the probe; any other goes below it. (Under Wine another
// process does not see WS_EX_TOPMOST in a window's style, but the z-order tells.)
int ZOrderProbe() {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"VtoolProbe";
    RegisterClassExW(&wc);
    HWND h = CreateWindowExW(0, wc.lpszClassName, L"vtool probe", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 150,
                             nullptr, nullptr, wc.hInstance, nullptr);
    if (!h) return 1;
    SetForegroundWindow(h);
    SetWindowPos(h, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    const DWORD until = GetTickCount() + 300;
    MSG msg;
    while (GetTickCount() < until) {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        Sleep(10);
    }
    EnumWindows(PrintVisibleTitle, 0);
    DestroyWindow(h);
    return 0;
}

// Moves the thumb of a scroll bar control as a user's drag does: the form hears the thumb
// track to the position, then its release there, then the end of the scroll.
int Scroll(const std::wstring& title, int id, int position) {
    HWND window = FindTopLevel(title);
    HWND bar = window ? GetDlgItem(window, id) : nullptr;
    if (!bar || _wcsicmp(ClassOf(bar).c_str(), L"ScrollBar") != 0) return 1;
    const UINT message = (GetWindowLongW(bar, GWL_STYLE) & SBS_VERT) ? WM_VSCROLL : WM_HSCROLL;
    const auto lparam = reinterpret_cast<LPARAM>(bar);
    DWORD_PTR ignored = 0;
    for (WORD code : {WORD{SB_THUMBTRACK}, WORD{SB_THUMBPOSITION}, WORD{SB_ENDSCROLL}}) {
        const WPARAM wparam = MAKEWPARAM(code, code == SB_ENDSCROLL ? 0 : position);
        // A window that closes on the move (the volume slider) is gone before the end.
        if (!IsWindow(window)) return 0;
        if (!SendMessageTimeoutW(window, message, wparam, lparam, SMTO_ABORTIFHUNG, 10000, &ignored)) return 3;
    }
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return 2;
    _setmode(_fileno(stdout), _O_BINARY);  // "\r\n" in a text stays as it is
    const std::wstring command = argv[1];
    if (command == L"devices") return Devices();
    if (command == L"endpoints") return Endpoints();
    if (command == L"zorder") return ZOrderProbe();
    if (command == L"tooltips") return EnumWindows(PrintShownTooltip, 0) ? 0 : 1;
    if (command == L"windows") return EnumWindows(PrintShownWindow, 0) ? 0 : 1;
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
    if (command == L"scroll" && argc >= 5) return Scroll(argv[2], _wtoi(argv[3]), _wtoi(argv[4]));
    if (command == L"menu") return ReadMenu(ParseMenuQuery(argc, argv));
    if (command == L"menukey") return PressMenuKeys(ParseMenuQuery(argc, argv));
    if (command == L"traymenu" && argc >= 3) return StandInTray(argv[2]);
    if (command == L"drop" && argc >= 6)
        return Drop(argv[2], _wtoi(argv[3]), _wtoi(argv[4]), std::vector<std::wstring>(argv + 5, argv + argc));
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
