// argrec: a stand-in for a program that a shortcut starts (a game, a player). It appends its
// full command line and its current folder, one UTF-8 line each, to the file that the
// environment variable ARGREC_FILE names, or else to argrec.txt beside itself, and ends.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

std::string Utf8(const std::wstring& w) {
    if (w.empty()) return {};
    int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
    std::string s(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), s.data(), n, nullptr, nullptr);
    return s;
}

std::wstring RecordFile() {
    wchar_t named[MAX_PATH] = {};
    if (GetEnvironmentVariableW(L"ARGREC_FILE", named, MAX_PATH) > 0) return named;
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path = self;
    return path.substr(0, path.find_last_of(L"\\/") + 1) + L"argrec.txt";
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    wchar_t folder[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, folder);
    FILE* f = _wfopen(RecordFile().c_str(), L"ab");
    if (!f) return 1;
    std::fprintf(f, "%s\n%s\n", Utf8(GetCommandLineW()).c_str(), Utf8(folder).c_str());
    std::fclose(f);
    return 0;
}
