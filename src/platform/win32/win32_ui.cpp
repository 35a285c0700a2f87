#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_text.h"

namespace varlindo::win32 {

int Win32Ui::ShowMessageBox(const std::string& text, const std::string& title, int style) {
    forms_.MakeWindows();  // the box's message loop serves the program's windows as well
    const std::wstring caption = Wide(title.empty() ? "Varlindo" : title);
    HWND owner = GetActiveWindow();
    if (owner && !IsWindowVisible(owner)) owner = nullptr;
    return MessageBoxW(owner, WideLines(text).c_str(), caption.c_str(),
                       static_cast<UINT>(style) | MB_SETFOREGROUND | (owner ? 0u : MB_TASKMODAL));
}

void Win32Ui::Beep(unsigned type) { MessageBeep(type); }

void Win32Ui::DoEvents() { forms_.DoEvents(); }

void Win32Ui::EndProgram() { ExitProcess(0); }

LocalTime Win32Clock::Now() {
    SYSTEMTIME t{};
    GetLocalTime(&t);
    return LocalTime{t.wDay, t.wHour, t.wMinute, t.wSecond};
}

}  // namespace varlindo::win32
