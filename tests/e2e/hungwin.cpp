// hungwin: a program whose window stops answering, as a program caught in a long loop does.
//   hungwin [TITLE]             shows a top-level window (title "Hung window" by default), paints it
//                               once and then never takes another message
//   hungwin --slow MS [TITLE]   shows the window and keeps taking its messages, but looks at them only
//                               every MS milliseconds: never idle long enough for the system to call it
//                               hung (5 s), yet too slow for anyone who waits on it
//   hungwin --listen FILE [TITLE] a window that answers at once and appends the wParam of every
//                               device-change notice it hears (message 818) to FILE, one per line
// With HUNGWIN_REPORT naming a file, it writes there how many top-level windows it has, once its
// window is shown and has taken its last message. Every program that sends a message to all
// top-level windows meets such a window; the tests use it to see that a switch of the card does
// not wait on it for long.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

constexpr UINT kDeviceChangeMessage = 818;
std::wstring listen_file;

LRESULT CALLBACK Proc(HWND h, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == kDeviceChangeMessage && !listen_file.empty()) {
        if (FILE* f = _wfopen(listen_file.c_str(), L"ab")) {
            std::fprintf(f, "%u\n", static_cast<unsigned>(wparam));
            std::fclose(f);
        }
        return 0;
    }
    if (message == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(h, &ps);
        RECT r;
        GetClientRect(h, &r);
        FillRect(dc, &r, reinterpret_cast<HBRUSH>(COLOR_INFOBK + 1));
        SetBkMode(dc, TRANSPARENT);
        DrawTextW(dc, L"This window takes no messages.", -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        EndPaint(h, &ps);
        return 0;
    }
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(h, message, wparam, lparam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    DWORD slow_ms = 0;
    int next = 1;
    if (argc > 2 && std::wstring(argv[1]) == L"--slow") {
        slow_ms = static_cast<DWORD>(_wtoi(argv[2]));
        next = 3;
    } else if (argc > 2 && std::wstring(argv[1]) == L"--listen") {
        listen_file = argv[2];
        next = 3;
    }
    const std::wstring title = argc > next ? argv[next] : L"Hung window";

    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = Proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.lpszClassName = L"HungWindow";
    if (!RegisterClassExW(&wc)) return 1;
    HWND h = CreateWindowExW(0, wc.lpszClassName, title.c_str(), WS_OVERLAPPEDWINDOW, 680, 440, 330, 130, nullptr,
                             nullptr, instance, nullptr);
    if (!h) return 1;
    ShowWindow(h, SW_SHOWNORMAL);
    UpdateWindow(h);

    // Take what showing the window brings (it is then drawn on the screen) ...
    MSG msg;
    const DWORD until = GetTickCount() + 500;
    while (GetTickCount() < until) {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(10);
    }
    // How many top-level windows the program has: a message sent to all of them waits on each
    // (the system gives a thread more than the one it made, an input method window at least).
    wchar_t report[MAX_PATH] = {};
    if (GetEnvironmentVariableW(L"HUNGWIN_REPORT", report, MAX_PATH) > 0) {
        int windows = 0;
        const auto count = [](HWND, LPARAM counter) -> BOOL {
            ++*reinterpret_cast<int*>(counter);
            return TRUE;
        };
        EnumThreadWindows(GetCurrentThreadId(), count, reinterpret_cast<LPARAM>(&windows));
        if (FILE* f = _wfopen(report, L"wb")) {
            std::fprintf(f, "%d\n", windows);
            std::fclose(f);
        }
    }
    // A listener takes everything at once ...
    if (!listen_file.empty()) {
        while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        return 0;
    }
    // ... the others nothing more, ever; or everything, late: a message sent to the window is
    // taken only when the queue is looked at, every `slow_ms`.
    if (slow_ms == 0) Sleep(INFINITE);
    for (;;) {
        Sleep(slow_ms);
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) return 0;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
}
