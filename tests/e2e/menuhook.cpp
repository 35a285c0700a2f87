// menuhook.dll: runs inside a program under test to read the popup menu it has open, and
// to hand it a drop of files the way the shell does.
//
// Wine keeps menus per process: another process gets nothing back from GetMenuItemCount on
// the menu of a "#32768" window. So `vtool menu` sets MenuHookProc as a WH_CALLWNDPROC hook
// on the thread that owns the open menu window; user32 then loads this DLL into that process.
// vtool sends the menu window the registered message "VtoolReadMenu" with a global atom that
// names the output file in wParam; the hook sees the message on the program's own thread,
// where MN_GETHMENU and GetMenuItemInfoW work, and writes one JSON line per item. "grayed"
// stands for grayed or disabled; separators, which Wine keeps disabled, are never "grayed".
//
// Drops: a drag of files from another program cannot be scripted under Wine here, so
// `vtool drop` sets DropHookProc the same way and sends the target window "VtoolDropFiles"
// with an atom naming a request file (a screen point, then one file per line, UTF-8). Inside
// the program the hook builds the shell's drop message: it finds the window under the point
// that takes files (WS_EX_ACCEPTFILES, the window itself or one it lies in), puts the files
// in global memory after a DROPFILES header (pt in that window's client area, wide names,
// the list ended by a second NUL) and posts WM_DROPFILES, which the receiver ends with
// DragFinish. Only the message the program gets is real: the mouse drag itself and the
// shell's part in it are not exercised. The hook writes "dropped" or "refused" (no window
// there takes files) to the request file's name + ".answer".
#include <windows.h>
#include <shlobj.h>  // DROPFILES

#include <algorithm>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>
#include "json_text.h"
#include "shell_drop.h"

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

std::wstring Wide(const std::string& s) {
    const int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    std::wstring w(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), w.data(), n);
    return w;
}

// The innermost shown window under the screen point, starting at `top`; then, from there
// outwards, the first one that takes files.
HWND DropTargetAt(HWND top, POINT screen) {
    HWND at = top;
    for (;;) {
        POINT client = screen;
        ScreenToClient(at, &client);
        HWND child = ChildWindowFromPointEx(at, client, CWP_SKIPINVISIBLE | CWP_SKIPTRANSPARENT);
        if (!child || child == at) break;
        at = child;
    }
    for (; at; at = (GetWindowLongW(at, GWL_STYLE) & WS_CHILD) ? GetParent(at) : nullptr)
        if (GetWindowLongW(at, GWL_EXSTYLE) & WS_EX_ACCEPTFILES) return at;
    return nullptr;
}

const char* Drop(HWND top, const wchar_t* request) {
    std::string text;
    if (FILE* f = _wfopen(request, L"rb")) {
        char buf[4096];
        for (size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) text.append(buf, n);
        std::fclose(f);
    }
    std::istringstream in(text);
    POINT screen{};
    if (!(in >> screen.x >> screen.y)) return "unreadable request";
    std::vector<std::wstring> files;
    std::string line;
    std::getline(in, line);  // the rest of the point's line
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) files.push_back(Wide(line));
    }
    HWND target = DropTargetAt(top, screen);
    if (!target) return "refused";
    POINT client = screen;
    ScreenToClient(target, &client);
    HGLOBAL drop = ShellDrop(client, files);
    if (!drop) return "out of memory";
    if (!PostMessageW(target, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0)) {
        GlobalFree(drop);
        return "not posted";
    }
    return "dropped";
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK DropHookProc(int code, WPARAM wparam, LPARAM lparam) {
    static const UINT drop_request = RegisterWindowMessageW(L"VtoolDropFiles");
    if (code == HC_ACTION) {
        const auto* call = reinterpret_cast<const CWPSTRUCT*>(lparam);
        wchar_t request[MAX_PATH] = {};
        if (call->message == drop_request && GlobalGetAtomNameW(static_cast<ATOM>(call->wParam), request, MAX_PATH)) {
            const char* answer = Drop(call->hwnd, request);
            if (FILE* f = _wfopen((std::wstring(request) + L".answer").c_str(), L"wb")) {
                std::fputs(answer, f);
                std::fclose(f);
            }
        }
    }
    return CallNextHookEx(nullptr, code, wparam, lparam);
}

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
