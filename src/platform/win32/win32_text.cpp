#include "platform/win32/win32_text.h"

#include <windows.h>

#include <cstdio>

#include "platform/win32/win32_handle.h"

namespace varlindo::win32 {

std::wstring Wide(std::string_view utf8) {
    if (utf8.empty()) return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
    return out;
}

std::string Utf8(std::wstring_view wide) {
    if (wide.empty()) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr,
                                      nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n, nullptr, nullptr);
    return out;
}

std::wstring WideLines(std::string_view utf8) {
    std::wstring in = Wide(utf8);
    std::wstring out;
    out.reserve(in.size() + 8);
    for (size_t i = 0; i < in.size(); ++i) {
        out += in[i];
        if (in[i] == L'\r' && (i + 1 >= in.size() || in[i + 1] != L'\n')) out += L'\n';
    }
    return out;
}

std::string SystemMessage(unsigned long code) {
    auto format = [](DWORD number) {
        wchar_t* text = nullptr;
        const DWORD length = FormatMessageW(
            FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
            number, 0, reinterpret_cast<LPWSTR>(&text), 0, nullptr);
        unique_handle<HLOCAL, FreeLocalMemory> owned(text);
        std::wstring message(text ? std::wstring_view(text, length) : std::wstring_view());
        while (!message.empty() && (message.back() == L'\r' || message.back() == L'\n' || message.back() == L' '))
            message.pop_back();
        return Utf8(message);
    };
    std::string message = format(code);
    // An HRESULT that wraps a system error code: the code's own text.
    if (message.empty() && HRESULT_FACILITY(code) == FACILITY_WIN32) message = format(HRESULT_CODE(code));
    if (message.empty()) {
        char number[32];
        std::snprintf(number, sizeof number, "Error 0x%08lX", code);
        message = number;
    }
    return message;
}

}  // namespace varlindo::win32
