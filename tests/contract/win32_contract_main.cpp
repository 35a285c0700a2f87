// Runs the port expectations against the real Win32 backend (under Wine in CI).
//
// Started as "contract_tests --other-program CAPTION FILE" it is instead the other
// program of the instance tests: a main window with that caption, recording the program
// events that reach it into FILE until it is brought forward.
#include <gtest/gtest.h>
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <map>
#include <mutex>
#include <set>
#include <thread>

#include "../e2e/shell_drop.h"
#include "contract.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_text.h"
#include "platform/win32/win32_form_window.h"
#include "ui/widgets.h"

namespace varlindo::contract {
namespace {

HINSTANCE Instance() { return GetModuleHandleW(nullptr); }

std::wstring OwnPath() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return path;
}

// ---------------------------------------------------------------- menus

// Reads the open popup menu and answers it with keys, from a thread of its own while the
// menu loop runs on the test's thread.
struct MenuAnswer {
    ~MenuAnswer() {
        if (thread.joinable()) thread.join();
    }
    std::thread thread;
    std::vector<MenuItem> shown;
};
MenuAnswer menu_answer;

std::vector<MenuItem> ReadMenu(HMENU menu) {
    std::vector<MenuItem> items;
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        wchar_t text[256] = {};
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = 255;
        if (!GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info)) continue;
        MenuItem item;
        item.id = static_cast<int>(info.wID);
        item.separator = (info.fType & MFT_SEPARATOR) != 0;
        item.text = item.separator ? "-" : win32::Utf8(text);
        item.checked = (info.fState & MFS_CHECKED) != 0;
        item.grayed = (info.fState & MFS_GRAYED) != 0;
        items.push_back(item);
    }
    return items;
}

void Press(HWND menu_window, UINT key) {
    PostMessageW(menu_window, WM_KEYDOWN, key, 0);
    PostMessageW(menu_window, WM_KEYUP, key, 0xC0000000);
}

// ---------------------------------------------------------------- files

bool Writable(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);
    return true;
}

// Under Wine: the Unix name of a file, or "" on Windows.
std::string UnixName(const std::wstring& path) {
    using UnixFileName = char*(CDECL*)(LPCWSTR);
    const auto unix_file_name = reinterpret_cast<UnixFileName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    char* name = unix_file_name ? unix_file_name(path.c_str()) : nullptr;
    if (!name) return {};
    std::string result = name;
    HeapFree(GetProcessHeap(), 0, name);
    return result;
}

// Starts a Unix program (Wine starts one like any other, but gives no handle that waits for
// it), then waits until the file is writable or not, as wanted.
bool RunUnixUntil(const std::string& command_line, const std::wstring& file, bool writable) {
    std::wstring line = win32::Wide(command_line);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    if (process.hThread) CloseHandle(process.hThread);
    if (process.hProcess) CloseHandle(process.hProcess);
    for (int i = 0; i < 100; ++i) {
        if (Writable(file) == writable) return true;
        Sleep(50);
    }
    return false;
}

// Files locked on the Unix side, because Wine run by root ignores the read-only attribute
// (root may write any file). Whatever a failed test left locked is let go at the end, so
// that the test's Wine prefix can be removed.
struct LockedFiles {
    ~LockedFiles() {
        for (const std::wstring& file : files) RunUnixUntil("/usr/bin/chattr -i \"" + UnixName(file) + "\"", file, true);
    }
    std::set<std::wstring> files;
    size_t erase(const std::wstring& file) { return files.erase(file); }
    void insert(const std::wstring& file) { files.insert(file); }
} locked;

// ---------------------------------------------------------------- drops

// A drop as the shell hands it to a window.
HGLOBAL ShellDrop(POINT client_point, const std::vector<std::string>& files) {
    std::vector<std::wstring> wide;
    for (const std::string& file : files) wide.push_back(win32::Wide(file));
    return ::ShellDrop(client_point, wide);
}

UINT DpiOf(HWND window) {
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    const auto get_dpi = reinterpret_cast<GetDpiForWindowFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    if (UINT dpi = get_dpi ? get_dpi(window) : 0) return dpi;
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

win32::Win32FormHost& Host() { return static_cast<win32::Win32FormHost&>(Ports().forms); }

// ---------------------------------------------------------------- a web server on this machine

// Answers one GET per connection, on 127.0.0.1 at a port the system picks, from a thread of
// its own while the test downloads on its thread.
class LocalWebServer {
public:
    LocalWebServer() {
        WSADATA data{};
        started_ = WSAStartup(MAKEWORD(2, 2), &data) == 0;
        listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        int size = sizeof address;
        if (listener_ == INVALID_SOCKET || bind(listener_, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
            listen(listener_, 8) != 0 || getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size) != 0)
            return;
        port_ = ntohs(address.sin_port);
        thread_ = std::thread([this] { Serve(); });
    }
    ~LocalWebServer() {
        stop_ = true;
        if (thread_.joinable()) thread_.join();
        if (listener_ != INVALID_SOCKET) closesocket(listener_);
        if (started_) WSACleanup();
    }
    std::string Base() const { return "http://127.0.0.1:" + std::to_string(port_); }
    void Put(const std::string& path, const WebPage& page) {
        std::lock_guard<std::mutex> hold(mutex_);
        pages_[path] = page;
    }

private:
    // Waits up to `ms` for the socket to be readable.
    static bool Readable(SOCKET s, int ms) {
        fd_set set;
        FD_ZERO(&set);
        FD_SET(s, &set);
        timeval wait{ms / 1000, (ms % 1000) * 1000};
        return select(0, &set, nullptr, nullptr, &wait) == 1;
    }

    void Serve() {
        while (!stop_) {
            if (!Readable(listener_, 100)) continue;
            SOCKET client = accept(listener_, nullptr, nullptr);
            if (client == INVALID_SOCKET) continue;
            Answer(client);
            closesocket(client);
        }
    }

    static void SendAll(SOCKET s, const std::string& bytes) {
        for (size_t at = 0; at < bytes.size();) {
            const int sent = send(s, bytes.data() + at, static_cast<int>(std::min<size_t>(bytes.size() - at, 65536)), 0);
            if (sent <= 0) return;
            at += static_cast<size_t>(sent);
        }
    }

    void Answer(SOCKET client) {
        std::string request;
        char chunk[4096];
        while (request.find("\r\n\r\n") == std::string::npos && request.size() < 65536 && Readable(client, 5000)) {
            const int got = recv(client, chunk, sizeof chunk, 0);
            if (got <= 0) return;
            request.append(chunk, static_cast<size_t>(got));
        }
        // "GET <path> HTTP/1.1"
        const size_t start = request.find(' ') + 1;
        const std::string path = request.substr(start, request.find(' ', start) - start);
        WebPage page{404, "<html>Not Found</html>", false, {}};
        {
            std::lock_guard<std::mutex> hold(mutex_);
            if (auto found = pages_.find(path); found != pages_.end()) page = found->second;
        }
        std::string head;
        if (!page.redirect_to.empty()) {
            head = "HTTP/1.1 302 Found\r\nLocation: " + page.redirect_to + "\r\nContent-Length: 0\r\n";
            page.body.clear();
        } else {
            head = "HTTP/1.1 " + std::to_string(page.status) + (page.status / 100 == 2 ? " OK" : " Not OK") +
                   "\r\nContent-Type: application/octet-stream\r\nContent-Length: " + std::to_string(page.body.size()) +
                   "\r\n";
        }
        SendAll(client, head + "Connection: close\r\n\r\n");
        SendAll(client, page.cut_off ? page.body.substr(0, page.body.size() / 2) : page.body);
        if (page.cut_off) return;  // closed at once, the rest never comes
        // A graceful end: the client reads all, then closes its side.
        shutdown(client, SD_SEND);
        while (Readable(client, 2000) && recv(client, chunk, sizeof chunk, 0) > 0) {
        }
    }

    bool started_ = false;
    SOCKET listener_ = INVALID_SOCKET;
    unsigned short port_ = 0;
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::map<std::string, WebPage> pages_;
    std::thread thread_;
};

LocalWebServer& WebServer() {
    static LocalWebServer server;
    return server;
}

// ---------------------------------------------------------------- modal forms

// Runs from a timer, which the modal form's message loop delivers.
std::function<void()> during_modal;

void CALLBACK RunDuringModal(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    auto action = std::move(during_modal);
    during_modal = nullptr;
    if (action) action();
}

// ---------------------------------------------------------------- the other program

std::wstring Quoted(const std::wstring& s) { return L"\"" + s + L"\""; }

class Win32OtherProgram final : public OtherProgram {
public:
    explicit Win32OtherProgram(const std::string& caption) {
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        file_ = std::wstring(temp) + L"varlindo other program.txt";
        DeleteFileW(file_.c_str());
        std::wstring command =
            Quoted(OwnPath()) + L" --other-program " + Quoted(win32::Wide(caption)) + L" " + Quoted(file_);
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        if (CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                           &process_)) {
            CloseHandle(process_.hThread);
            // Ready once its window is there.
            const std::wstring wanted = win32::Wide(caption);
            for (int i = 0; i < 200 && !FindWindowW(L"VarlindoForm", wanted.c_str()); ++i) Sleep(50);
        }
    }
    ~Win32OtherProgram() override {
        if (!process_.hProcess) return;
        if (WaitForSingleObject(process_.hProcess, 5000) != WAIT_OBJECT_0) TerminateProcess(process_.hProcess, 1);
        CloseHandle(process_.hProcess);
    }
    std::vector<std::string> Events() override {
        std::vector<std::string> lines;
        std::ifstream in(file_.c_str());
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }

private:
    std::wstring file_;
    PROCESS_INFORMATION process_{};
};

class Win32ListeningProgram final : public ListeningProgram {
public:
    Win32ListeningProgram()
        : platform_(Instance()), recorder_([this](const std::string& line) { events_.push_back(line); }) {
        platform_.Connect(recorder_);
    }
    Platform& Ports() override { return platform_.Ports(); }
    std::vector<std::string> EventsWithin(std::chrono::milliseconds wait, std::size_t count) override {
        const auto until = std::chrono::steady_clock::now() + wait;
        for (;;) {
            platform_.forms.DoEvents();
            if (events_.size() >= count || std::chrono::steady_clock::now() >= until) return events_;
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        }
    }

private:
    win32::Win32Platform platform_;
    EventRecorder recorder_;
    std::vector<std::string> events_;
};

int RunOtherProgram(const std::wstring& caption, const std::wstring& file) {
    win32::Win32Platform platform(Instance());
    EventRecorder recorder([&file](const std::string& line) {
        if (FILE* f = _wfopen(file.c_str(), L"ab")) {
            std::fprintf(f, "%s\n", line.c_str());
            std::fclose(f);
        }
        if (line == "bring-forward") PostQuitMessage(0);
    });
    platform.Connect(recorder);
    ui::Form form("Form1", win32::Utf8(caption), 3000, 2000);
    platform.forms.Load(form);
    SetTimer(nullptr, 0, 30000, [](HWND, UINT, UINT_PTR, DWORD) { PostQuitMessage(1); });  // never hang a test
    const int result = platform.Run();
    platform.forms.Close(form);
    return result;
}

}  // namespace

Platform& Ports() {
    static win32::Win32Platform platform(Instance());
    return platform.Ports();
}

Platform& SecondPorts() {
    static win32::Win32Platform platform(Instance());
    return platform.Ports();
}

std::string ScratchFolder() {
    const std::string folder = Ports().files.TempFolder() + "varlindo contract";
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder + "\\";
}

void MakeFolder(const std::string& path) {
    const std::wstring wide = win32::Wide(path);
    for (size_t cut = wide.find_first_of(L"\\/", 3); cut != std::wstring::npos; cut = wide.find_first_of(L"\\/", cut + 1))
        CreateDirectoryW(wide.substr(0, cut).c_str(), nullptr);
    CreateDirectoryW(wide.c_str(), nullptr);
}

void MakeHidden(const std::string& path) {
    const std::wstring wide = win32::Wide(path);
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) SetFileAttributesW(wide.c_str(), attributes | FILE_ATTRIBUTE_HIDDEN);
}

void SetReadOnly(const std::string& path, bool read_only) {
    const std::wstring wide = win32::Wide(path);
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return;
    if (!read_only) {
        if (locked.erase(wide)) RunUnixUntil("/usr/bin/chattr -i \"" + UnixName(wide) + "\"", wide, true);
        SetFileAttributesW(wide.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
        return;
    }
    SetFileAttributesW(wide.c_str(), attributes | FILE_ATTRIBUTE_READONLY);
    const std::string unix_name = UnixName(wide);
    if (Writable(wide) && !unix_name.empty()) {
        locked.insert(wide);
        RunUnixUntil("/usr/bin/chattr +i \"" + unix_name + "\"", wide, false);
    }
}

std::string Publish(const std::string& path, const WebPage& page) {
    WebServer().Put(path, page);
    return WebServer().Base() + path;
}

std::string AddressNobodyServes() {
    WebServer();  // sockets are set up with it
    // A port the system handed out and took back: nothing listens there now.
    SOCKET probe = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int size = sizeof address;
    bind(probe, reinterpret_cast<sockaddr*>(&address), size);
    getsockname(probe, reinterpret_cast<sockaddr*>(&address), &size);
    closesocket(probe);
    return "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port)) + "/nothing";
}

std::optional<ShellLink> ReadShortcut(const std::string& path) {
    Ports();  // COM is set up with the platform
    IShellLinkW* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&link))))
        return std::nullopt;
    const win32::unique_com<IShellLinkW> shortcut(link);
    IPersistFile* persist = nullptr;
    if (FAILED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist)))) return std::nullopt;
    const win32::unique_com<IPersistFile> file(persist);
    if (FAILED(persist->Load(win32::Wide(path).c_str(), STGM_READ))) return std::nullopt;
    ShellLink read;
    wchar_t text[MAX_PATH * 2] = {};
    if (SUCCEEDED(link->GetPath(text, MAX_PATH * 2, nullptr, SLGP_RAWPATH))) read.target = win32::Utf8(text);
    text[0] = L'\0';
    if (SUCCEEDED(link->GetArguments(text, MAX_PATH * 2))) read.arguments = win32::Utf8(text);
    text[0] = L'\0';
    int index = 0;
    if (SUCCEEDED(link->GetIconLocation(text, MAX_PATH * 2, &index))) {
        read.icon_file = win32::Utf8(text);
        read.icon_index = index;
    }
    // The window style from the file's header (ShowCommand at 0x3C): Wine's link object
    // does not read it back.
    HANDLE handle = CreateFileW(win32::Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                                nullptr);
    if (handle == INVALID_HANDLE_VALUE) return std::nullopt;
    const win32::unique_kernel owned(handle);
    unsigned char header[0x4C] = {};
    DWORD got = 0;
    if (!ReadFile(handle, header, sizeof header, &got, nullptr) || got != sizeof header) return std::nullopt;
    read.show_command = header[0x3C] | header[0x3D] << 8 | header[0x3E] << 16 | header[0x3F] << 24;
    return read;
}

void UserDropsFiles(ui::Form& form, int x, int y, const std::vector<std::string>& files) {
    Ports().ui.DoEvents();  // the window shows the program's changes
    HWND window = Host().WindowOf(form);
    // The shell hands files only to a window that takes them.
    if (!window || !(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_ACCEPTFILES)) return;
    const UINT dpi = DpiOf(window);
    const POINT point{MulDiv(x, static_cast<int>(dpi), 1440), MulDiv(y, static_cast<int>(dpi), 1440)};
    if (HGLOBAL drop = ShellDrop(point, files)) {
        if (!PostMessageW(window, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0)) GlobalFree(drop);
    }
    Ports().ui.DoEvents();
}

void UserPressesEnter(ui::Control& control) {
    control.SetFocus();
    HWND focus = GetFocus();
    if (!focus) return;
    // The key as the keyboard sends it to the window with the focus; the program's loop
    // hands it to the dialog manager.
    PostMessageW(focus, WM_KEYDOWN, VK_RETURN, 0x001C0001);
    PostMessageW(focus, WM_KEYUP, VK_RETURN, static_cast<LPARAM>(0xC01C0001u));
    Ports().ui.DoEvents();
}

int CaretPosition(const ui::TextBox& box) {
    Ports().ui.DoEvents();
    HWND edit = Host().WindowOf(box);
    if (!edit) return -1;
    DWORD start = 0, end = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    const int length = GetWindowTextLengthW(edit);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(edit, text.data(), length + 1)));
    // Seen when the character after the cursor (or, at the end, the last one) starts inside
    // the box's text rectangle.
    RECT shown{};
    SendMessageW(edit, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&shown));
    const bool at_end = static_cast<int>(start) >= length;
    if (length > 0) {
        const LRESULT at = SendMessageW(edit, EM_POSFROMCHAR, at_end ? length - 1 : start, 0);
        const int x = static_cast<short>(LOWORD(at));
        if (at == -1 || x < shown.left || x >= shown.right) return -1;
    }
    return static_cast<int>(win32::Utf8(std::wstring_view(text).substr(0, start)).size());
}

void AnswerNextMenu(int position) {
    if (menu_answer.thread.joinable()) menu_answer.thread.join();
    menu_answer.shown.clear();
    menu_answer.thread = std::thread([position] {
        HWND menu_window = nullptr;
        for (int i = 0; i < 200 && !menu_window; ++i) {
            HWND found = FindWindowW(L"#32768", nullptr);
            if (found && IsWindowVisible(found)) menu_window = found;
            else Sleep(25);
        }
        if (!menu_window) return;
        if (auto menu = reinterpret_cast<HMENU>(SendMessageW(menu_window, MN_GETHMENU, 0, 0)))
            menu_answer.shown = ReadMenu(menu);
        if (position < 0) {
            Press(menu_window, VK_ESCAPE);
            return;
        }
        for (int i = 0; i <= position; ++i) Press(menu_window, VK_DOWN);
        Press(menu_window, VK_RETURN);
    });
}

std::vector<MenuItem> LastMenuShown() {
    if (menu_answer.thread.joinable()) menu_answer.thread.join();
    return menu_answer.shown;
}

std::unique_ptr<OtherProgram> StartOtherProgram(const std::string& caption) {
    return std::make_unique<Win32OtherProgram>(caption);
}

// Through the system's own reg.exe, a program of its own.
void AnotherProgramWrites(const std::string& key, const std::string& name, const std::string& text) {
    std::wstring line = L"reg.exe add \"HKCU\\" + win32::Wide(key) + L"\" /v \"" + win32::Wide(name) + L"\" /d \"" +
                        win32::Wide(text) + L"\" /f";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &startup,
                        &process)) {
        ADD_FAILURE() << "reg.exe does not start";
        return;
    }
    const win32::unique_kernel thread(process.hThread), owned(process.hProcess);
    DWORD code = 1;
    if (WaitForSingleObject(process.hProcess, 30000) != WAIT_OBJECT_0 || !GetExitCodeProcess(process.hProcess, &code) ||
        code != 0)
        ADD_FAILURE() << "reg.exe did not write " << key << "\\" << name;
}

// Wine's own settings (the contract runs under Wine; Windows sets the default only through
// its policy object): the driver's values name the default endpoints by their ids, the
// voice ones for communications, and Wine tells every process when they change.
void SystemMakesDefault(EndpointFlow flow, const std::string& id) {
    const std::string key = "Software\\Wine\\Drivers\\winealsa.drv";
    const bool render = flow == EndpointFlow::Render;
    AnotherProgramWrites(key, render ? "DefaultOutput" : "DefaultInput", id);
    AnotherProgramWrites(key, render ? "DefaultVoiceOutput" : "DefaultVoiceInput", id);
}

// Wine has no policy object: the test tools' stand-in (policyrec.dll, built beside this
// program) takes its place, registered where Wine looks for in-process servers. It moves
// Wine's default endpoint as the system's own would.
void SetPolicyObject(bool present) {
    const std::wstring key = L"Software\\Classes\\CLSID\\{870AF99C-171D-4F9E-AF0D-E63DF40C2BC9}";
    if (!present) {
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, key.c_str());
        return;
    }
    const std::wstring own = OwnPath();
    const std::wstring server = own.substr(0, own.find_last_of(L"\\") + 1) + L"policyrec.dll";
    ASSERT_NE(GetFileAttributesW(server.c_str()), INVALID_FILE_ATTRIBUTES) << "policyrec.dll is not built";
    const std::wstring inproc = key + L"\\InprocServer32";
    const std::wstring model = L"Both";
    EXPECT_EQ(RegSetKeyValueW(HKEY_LOCAL_MACHINE, inproc.c_str(), nullptr, REG_SZ, server.c_str(),
                              static_cast<DWORD>((server.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
    EXPECT_EQ(RegSetKeyValueW(HKEY_LOCAL_MACHINE, inproc.c_str(), L"ThreadingModel", REG_SZ, model.c_str(),
                              static_cast<DWORD>((model.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
}

std::unique_ptr<ListeningProgram> StartListeningProgram() { return std::make_unique<Win32ListeningProgram>(); }

void DuringNextModal(const std::string&, std::function<void()> action) {
    during_modal = std::move(action);
    SetTimer(nullptr, 0, 200, RunDuringModal);
}

bool TakesInput(const ui::Form& form) {
    auto& forms = static_cast<win32::Win32FormHost&>(Ports().forms);
    HWND window = forms.WindowOf(form);
    return window && IsWindowEnabled(window);
}

bool IsTopMost(const ui::Form& form) {
    auto& forms = static_cast<win32::Win32FormHost&>(Ports().forms);
    HWND window = forms.WindowOf(form);
    return window && (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

// The slider's scroll bar control: the form's scroll bars come in the order of its controls
// (their ids grow in that order).
HWND ScrollBarOf(const ui::VScrollBar& bar) {
    auto& forms = static_cast<win32::Win32FormHost&>(Ports().forms);
    HWND window = forms.WindowOf(bar.Owner());
    if (!window) return nullptr;
    std::vector<HWND> bars;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t cls[32] = {};
        GetClassNameW(child, cls, 32);
        if (_wcsicmp(cls, L"ScrollBar") == 0) bars.push_back(child);
    }
    std::sort(bars.begin(), bars.end(), [](HWND a, HWND b) { return GetDlgCtrlID(a) < GetDlgCtrlID(b); });
    size_t index = 0;
    for (const ui::Control* control : bar.Owner().Controls()) {
        if (control == &bar) return index < bars.size() ? bars[index] : nullptr;
        if (control->GetKind() == ui::Kind::VScrollBar) ++index;
    }
    return nullptr;
}

int ThumbPosition(const ui::VScrollBar& bar) {
    Ports().ui.DoEvents();  // the view shows the model's changes once the program waits
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_POS;
    HWND h = ScrollBarOf(bar);
    return h && GetScrollInfo(h, SB_CTL, &info) ? info.nPos : -1;
}

void UserDragsThumb(const ui::VScrollBar& bar, int steps_from_top) {
    // What the control tells its window while the user drags the thumb, by way of the middle,
    // and lets it go.
    HWND h = ScrollBarOf(bar);
    if (!h) return;
    const int from = ThumbPosition(bar);
    const std::pair<WORD, int> steps[] = {{SB_THUMBTRACK, from},
                                          {SB_THUMBTRACK, (from + steps_from_top) / 2},
                                          {SB_THUMBTRACK, steps_from_top},
                                          {SB_THUMBPOSITION, steps_from_top},
                                          {SB_ENDSCROLL, 0}};
    for (const auto& [code, at] : steps)
        SendMessageW(GetParent(h), WM_VSCROLL, MAKEWPARAM(code, at), reinterpret_cast<LPARAM>(h));
    Ports().ui.DoEvents();
}

void UserPressesKey(const ui::VScrollBar& bar, const std::string& key) {
    static const std::pair<const char*, UINT> keys[] = {{"up", VK_UP},     {"down", VK_DOWN}, {"page up", VK_PRIOR},
                                                        {"page down", VK_NEXT}, {"home", VK_HOME}, {"end", VK_END}};
    HWND h = ScrollBarOf(bar);
    for (const auto& [name, vk] : keys) {
        if (!h || key != name) continue;
        // The control handles the key itself and tells its window.
        SendMessageW(h, WM_KEYDOWN, vk, 1);
        SendMessageW(h, WM_KEYUP, vk, 0xC0000001);
    }
    Ports().ui.DoEvents();
}

// A start with a command line defers its windows: a form gets its window only once the
// program waits for messages (or shows it), made from the form as it is then, and a form
// closed before that never gets one.
TEST(Win32DeferredWindows, AFormGetsItsWindowWhenTheProgramWaitsForMessages) {
    win32::Win32Platform platform(Instance(), 0, win32::Win32Platform::Windows::WhenNeeded);
    ui::Form form("Form1", "Deferred form", 3000, 2000);
    ui::Form closed("Form2", "Deferred and closed form", 3000, 2000);
    platform.forms.Load(form);
    platform.forms.Load(closed);
    form.SetCaption("Deferred form, renamed");
    platform.forms.SetTopMost(form, true);
    platform.forms.Close(closed);
    EXPECT_FALSE(FindWindowW(win32::kFormWindowClass, L"Deferred form"));
    EXPECT_FALSE(FindWindowW(win32::kFormWindowClass, L"Deferred form, renamed"));

    platform.ui.DoEvents();
    HWND window = FindWindowW(win32::kFormWindowClass, L"Deferred form, renamed");
    ASSERT_TRUE(window);
    EXPECT_EQ(window, platform.forms.WindowOf(form));
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_NE(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    EXPECT_FALSE(FindWindowW(win32::kFormWindowClass, L"Deferred and closed form"));
    platform.forms.Close(form);
    EXPECT_FALSE(IsWindow(window));
}

}  // namespace varlindo::contract

int main(int argc, char** argv) {
    int wargc = 0;
    LPWSTR* wargv = CommandLineToArgvW(GetCommandLineW(), &wargc);
    if (wargv && wargc == 4 && std::wstring(wargv[1]) == L"--other-program")
        return varlindo::contract::RunOtherProgram(wargv[2], wargv[3]);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
