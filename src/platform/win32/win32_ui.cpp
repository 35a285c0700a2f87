#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_text.h"

namespace varlindo::win32 {

int Ui::ShowMessageBox(const std::string& text, const std::string& title, int style) {
    const std::wstring caption = Wide(title.empty() ? "Varlindo" : title);
    HWND owner = owner_ && IsWindowVisible(owner_) ? owner_ : nullptr;
    return MessageBoxW(owner, WideLines(text).c_str(), caption.c_str(),
                       static_cast<UINT>(style) | MB_SETFOREGROUND | (owner ? 0u : MB_TASKMODAL));
}

void Ui::Beep(unsigned type) { MessageBeep(type); }

void Ui::DoEvents() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void Ui::BroadcastMessage(unsigned message, std::uintptr_t wparam) {
    // Wait for each window, but never for one that hangs: a second at the most.
    static const DWORD zero = 0;
    DWORD_PTR result = 0;
    SendMessageTimeoutW(HWND_BROADCAST, message, static_cast<WPARAM>(wparam), reinterpret_cast<LPARAM>(&zero),
                        SMTO_ABORTIFHUNG | SMTO_NORMAL, 1000, &result);
}

void Ui::EndProgram() { ExitProcess(0); }

LocalTime Clock::Now() {
    SYSTEMTIME t{};
    GetLocalTime(&t);
    return LocalTime{t.wDay, t.wHour, t.wMinute, t.wSecond};
}

}  // namespace varlindo::win32
