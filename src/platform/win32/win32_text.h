#pragma once
// UTF-8 <-> UTF-16 at the boundary to the W functions. Inner NULs survive.
#include <cstddef>
#include <string>
#include <string_view>

namespace varlindo::win32 {
std::wstring Wide(std::string_view utf8);
std::string Utf8(std::wstring_view wide);
// A text field of fixed size in a system structure (a device's product name): up to its
// first NUL, or the whole field when it has none.
template <std::size_t N>
std::string Utf8Field(const wchar_t (&field)[N]) {
    const std::wstring_view text(field, N);
    return Utf8(text.substr(0, text.find(L'\0')));
}
// A lone carriage return breaks a line in the program's texts; Windows controls want CR LF.
std::wstring WideLines(std::string_view utf8);
// The system's own text for an error code or an HRESULT ("Access is denied."), without the
// line break it ends with; "Error 0x80004005" when the system has none.
std::string SystemMessage(unsigned long code);
}  // namespace varlindo::win32
