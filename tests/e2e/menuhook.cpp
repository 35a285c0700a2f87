// menuhook.dll: runs inside a program under test to read the popup menu it has open.
//
// Wine keeps menus per process: another process gets nothing back from GetMenuItemCount on
// the menu of a "#32768" window. So `vtool menu` sets MenuHookProc as a WH_CALLWNDPROC hook
// on the thread that owns the open menu window; user32 then loads this DLL into that process.
// vtool sends the menu window the registered message "VtoolReadMenu" with a global atom that
// names the output file in wParam; the hook sees the message on the program's own thread,
// where MN_GETHMENU and GetMenuItemInfoW work, and writes one JSON line per item. "grayed"
// stands for grayed or disabled; separators, which Wine keeps disabled, are never "grayed".
#include <windows.h>

#include <cstdio>
#include <string>
#include "json_text.h"

namespace {

std::string Utf8(const wchar_t* w) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, w, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 1) return {};
    std::string s(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, w, -1, s.data(), n, nullptr, nullptr);
    s.resize(static_cast<size_t>(n - 1));
    return s;
}

std::string Json(const std::string& text) { return JsonQuote(text); }

const char* Flag(bool on) { return on ? "true" : "false"; }

// Writes the items of the menu shown by this menu window; false when it shows none.
bool WriteItems(HWND menu_window, const wchar_t* path) {
    const auto menu = reinterpret_cast<HMENU>(SendMessageW(menu_window, MN_GETHMENU, 0, 0));
    const int count = menu ? GetMenuItemCount(menu) : -1;
    if (count < 0) return false;
    // Written beside the target and renamed at the end, so a reader never sees half a file.
    const std::wstring partial = std::wstring(path) + L".part";
    FILE* f = _wfopen(partial.c_str(), L"wb");
    if (!f) return false;
    for (int pos = 0; pos < count; ++pos) {
        wchar_t text[1024] = {};
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_STRING | MIIM_SUBMENU;
        info.dwTypeData = text;
        info.cch = 1023;
        if (!GetMenuItemInfoW(menu, static_cast<UINT>(pos), TRUE, &info)) continue;
        RECT r{};
        GetMenuItemRect(menu_window, menu, static_cast<UINT>(pos), &r);
        const bool separator = (info.fType & MFT_SEPARATOR) != 0;
        std::fprintf(f,
                     "{\"pos\": %d, \"id\": %u, \"text\": %s, \"separator\": %s, \"checked\": %s, \"grayed\": %s, "
                     "\"highlighted\": %s, \"submenu\": %s, \"x\": %ld, \"y\": %ld, \"w\": %ld, \"h\": %ld}\n",
                     pos, info.wID, Json(separator ? std::string() : Utf8(text)).c_str(), Flag(separator),
                     Flag(info.fState & MFS_CHECKED), Flag(!separator && (info.fState & (MF_GRAYED | MF_DISABLED))),
                     Flag(info.fState & MFS_HILITE), Flag(info.hSubMenu != nullptr), r.left, r.top, r.right - r.left,
                     r.bottom - r.top);
    }
    std::fclose(f);
    return MoveFileExW(partial.c_str(), path, MOVEFILE_REPLACE_EXISTING) != FALSE;
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK MenuHookProc(int code, WPARAM wparam, LPARAM lparam) {
    static const UINT read_request = RegisterWindowMessageW(L"VtoolReadMenu");
    if (code == HC_ACTION) {
        const auto* call = reinterpret_cast<const CWPSTRUCT*>(lparam);
        if (call->message == read_request) {
            wchar_t path[MAX_PATH] = {};
            if (GlobalGetAtomNameW(static_cast<ATOM>(call->wParam), path, MAX_PATH)) WriteItems(call->hwnd, path);
        }
    }
    return CallNextHookEx(nullptr, code, wparam, lparam);
}
