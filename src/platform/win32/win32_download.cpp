// Downloads through WinHTTP: one GET, redirects followed (never from https to http), the
// body written to the file as it arrives.
#include <windows.h>
#include <winhttp.h>

#include <cwchar>
#include <cwctype>
#include <optional>
#include <string>
#include <vector>

#include "platform/win32/win32_handle.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_text.h"

namespace varlindo::win32 {
namespace {

struct CloseInternetHandle { void operator()(HINTERNET h) const { WinHttpCloseHandle(h); } };
using unique_internet = unique_handle<HINTERNET, CloseInternetHandle>;

constexpr int kTimeoutMs = 15000;  // name lookup, connecting, sending, and each wait for data
constexpr DWORD kChunk = 64 * 1024;
constexpr std::uint64_t kLargestDownload = 256ull * 1024 * 1024;

// Windows' own texts for the WinHTTP errors a download meets most, for a system whose
// winhttp.dll carries none (Wine).
const char* KnownWinHttpText(DWORD code) {
    switch (code) {
        case ERROR_WINHTTP_TIMEOUT: return "The operation timed out";
        case ERROR_WINHTTP_INVALID_URL: return "The URL is invalid";
        case ERROR_WINHTTP_UNRECOGNIZED_SCHEME: return "The URL does not use a recognized protocol";
        case ERROR_WINHTTP_NAME_NOT_RESOLVED: return "The server name or address could not be resolved";
        case ERROR_WINHTTP_CANNOT_CONNECT: return "A connection with the server could not be established";
        case ERROR_WINHTTP_CONNECTION_ERROR: return "The connection with the server was terminated abnormally";
        case ERROR_WINHTTP_INVALID_SERVER_RESPONSE: return "The server returned an invalid or unrecognized response";
        case ERROR_WINHTTP_REDIRECT_FAILED:
            return "The redirection failed because either the scheme changed or all attempts made to redirect failed";
        case ERROR_WINHTTP_SECURE_FAILURE: return "A security error occurred";
        case ERROR_WINHTTP_SECURE_CHANNEL_ERROR: return "An error occurred in the secure channel support";
        case ERROR_WINHTTP_SECURE_INVALID_CA: return "The certificate authority is invalid or incorrect";
        case ERROR_WINHTTP_SECURE_CERT_CN_INVALID: return "The certificate's CN name does not match the passed value";
        case ERROR_WINHTTP_SECURE_CERT_DATE_INVALID: return "The date in the certificate is invalid or has expired";
        default: return nullptr;
    }
}

// The system's text for a WinHTTP error (winhttp.dll holds those), else for any other code.
std::string Reason(DWORD code) {
    if (code >= WINHTTP_ERROR_BASE && code <= WINHTTP_ERROR_LAST) {
        wchar_t* text = nullptr;
        const DWORD length = FormatMessageW(
            FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_IGNORE_INSERTS,
            GetModuleHandleW(L"winhttp.dll"), code, 0, reinterpret_cast<LPWSTR>(&text), 0, nullptr);
        const unique_handle<HLOCAL, FreeLocalMemory> owned(text);
        std::wstring message(text ? std::wstring_view(text, length) : std::wstring_view());
        while (!message.empty() && std::iswspace(message.back())) message.pop_back();
        if (!message.empty()) return Utf8(message);
        if (const char* known = KnownWinHttpText(code)) return known;
        return "WinHTTP error " + std::to_string(code);
    }
    return SystemMessage(code);
}

std::wstring QueryText(HINTERNET request, DWORD what) {
    DWORD size = 0;
    WinHttpQueryHeaders(request, what, WINHTTP_HEADER_NAME_BY_INDEX, WINHTTP_NO_OUTPUT_BUFFER, &size,
                        WINHTTP_NO_HEADER_INDEX);
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || size == 0) return {};
    std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
    if (!WinHttpQueryHeaders(request, what, WINHTTP_HEADER_NAME_BY_INDEX, text.data(), &size, WINHTTP_NO_HEADER_INDEX))
        return {};
    text.resize(size / sizeof(wchar_t));
    return text;
}

// The length the server announced, or nothing when it sent none (or one that is no number).
std::optional<std::uint64_t> ContentLength(HINTERNET request) {
    const std::wstring text = QueryText(request, WINHTTP_QUERY_CONTENT_LENGTH);
    if (text.empty() || text.size() > 19) return std::nullopt;
    std::uint64_t length = 0;
    for (const wchar_t c : text) {
        if (c < L'0' || c > L'9') return std::nullopt;
        length = length * 10 + static_cast<std::uint64_t>(c - L'0');
    }
    return length;
}

// The address the last response came from, after the redirects.
std::wstring FinalAddress(HINTERNET request) {
    DWORD size = 0;
    WinHttpQueryOption(request, WINHTTP_OPTION_URL, nullptr, &size);
    if (size == 0) return {};
    std::wstring url(size / sizeof(wchar_t) + 1, L'\0');
    if (!WinHttpQueryOption(request, WINHTTP_OPTION_URL, url.data(), &size)) return {};
    url.resize(size / sizeof(wchar_t));
    while (!url.empty() && url.back() == L'\0') url.pop_back();
    return url;
}

bool StartsWithNoCase(const std::wstring& text, const wchar_t* start) {
    const size_t n = std::wcslen(start);
    return text.size() >= n && CompareStringOrdinal(text.c_str(), static_cast<int>(n), start, static_cast<int>(n),
                                                    TRUE) == CSTR_EQUAL;
}

}  // namespace

DownloadResult Win32Shell::Download(const std::string& url, const std::string& file) {
    DownloadResult result;
    auto failed = [&result](DWORD code) {
        result.error = Reason(code);
        return result;
    };

    const std::wstring address = Wide(url);
    URL_COMPONENTS parts{};
    parts.dwStructSize = sizeof parts;
    parts.dwHostNameLength = static_cast<DWORD>(-1);
    parts.dwUrlPathLength = static_cast<DWORD>(-1);
    parts.dwExtraInfoLength = static_cast<DWORD>(-1);
    if (!WinHttpCrackUrl(address.c_str(), static_cast<DWORD>(address.size()), 0, &parts)) return failed(GetLastError());
    if (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS)
        return failed(ERROR_WINHTTP_UNRECOGNIZED_SCHEME);
    const bool secure = parts.nScheme == INTERNET_SCHEME_HTTPS;
    const std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
    std::wstring object = std::wstring(parts.lpszUrlPath, parts.dwUrlPathLength) +
                          std::wstring(parts.lpszExtraInfo ? parts.lpszExtraInfo : L"", parts.dwExtraInfoLength);
    object = object.substr(0, object.find(L'#'));  // the fragment stays with the client
    if (object.empty()) object = L"/";

    const unique_internet session(WinHttpOpen(L"Varlindo", WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME,
                                              WINHTTP_NO_PROXY_BYPASS, 0));
    if (!session) return failed(GetLastError());
    if (!WinHttpSetTimeouts(session.get(), kTimeoutMs, kTimeoutMs, kTimeoutMs, kTimeoutMs)) return failed(GetLastError());
    // WinHTTP's own default, set all the same: a redirect from https to http is not followed.
    DWORD policy = WINHTTP_OPTION_REDIRECT_POLICY_DISALLOW_HTTPS_TO_HTTP;
    if (!WinHttpSetOption(session.get(), WINHTTP_OPTION_REDIRECT_POLICY, &policy, sizeof policy))
        return failed(GetLastError());

    const unique_internet connection(WinHttpConnect(session.get(), host.c_str(), parts.nPort, 0));
    if (!connection) return failed(GetLastError());
    // A program file must not come from a cache on the way.
    const unique_internet request(WinHttpOpenRequest(connection.get(), L"GET", object.c_str(), nullptr,
                                                     WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES,
                                                     WINHTTP_FLAG_REFRESH | (secure ? WINHTTP_FLAG_SECURE : 0)));
    if (!request) return failed(GetLastError());
    if (!WinHttpSendRequest(request.get(), WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0, 0, 0) ||
        !WinHttpReceiveResponse(request.get(), nullptr))
        return failed(GetLastError());

    DWORD status = 0;
    DWORD size = sizeof status;
    if (!WinHttpQueryHeaders(request.get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                             WINHTTP_HEADER_NAME_BY_INDEX, &status, &size, WINHTTP_NO_HEADER_INDEX))
        return failed(GetLastError());
    result.status = static_cast<int>(status);
    const std::wstring final_address = FinalAddress(request.get());
    result.final_url = Utf8(final_address.empty() ? address : final_address);
    // Should a redirect have led from https to http after all, nothing of it is taken.
    if (secure && StartsWithNoCase(final_address, L"http:")) return failed(ERROR_WINHTTP_REDIRECT_FAILED);
    const std::optional<std::uint64_t> announced = ContentLength(request.get());
    // Nothing this program downloads is that large: an endless body does not fill the disk.
    if (announced && *announced > kLargestDownload) return failed(ERROR_FILE_TOO_LARGE);

    HANDLE created = CreateFileW(Wide(file).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                 nullptr);
    if (created == INVALID_HANDLE_VALUE) return failed(GetLastError());
    const unique_kernel output(created);

    std::vector<char> buffer(kChunk);
    std::uint64_t written = 0;
    for (;;) {
        DWORD got = 0;
        if (!WinHttpReadData(request.get(), buffer.data(), kChunk, &got)) return failed(GetLastError());
        if (got == 0) break;  // the whole body is here
        DWORD put = 0;
        if (!WriteFile(output.get(), buffer.data(), got, &put, nullptr)) return failed(GetLastError());
        if (put != got) return failed(ERROR_WRITE_FAULT);
        written += got;
        if (written > kLargestDownload) return failed(ERROR_FILE_TOO_LARGE);
    }
    if (announced && written != *announced) return failed(ERROR_WINHTTP_CONNECTION_ERROR);
    // On the disk before anyone renames it into place.
    if (!FlushFileBuffers(output.get())) return failed(GetLastError());
    result.complete = true;
    return result;
}

}  // namespace varlindo::win32
