// Runs the port expectations against the real Win32 backend (under Wine in CI).
//
// Started as "contract_tests --other-program CAPTION FILE" it is instead the other
// program of the instance tests: a main window with that caption, recording the program
// events that reach it into FILE until it is brought forward.
#include <gtest/gtest.h>
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <thread>

#include "contract.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_text.h"
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
    const int result = platform.forms.Run();
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

}  // namespace varlindo::contract

int main(int argc, char** argv) {
    int wargc = 0;
    LPWSTR* wargv = CommandLineToArgvW(GetCommandLineW(), &wargc);
    if (wargv && wargc == 4 && std::wstring(wargv[1]) == L"--other-program")
        return varlindo::contract::RunOtherProgram(wargv[2], wargv[3]);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
