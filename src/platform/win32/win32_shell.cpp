#include <windows.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include <memory>

#include "platform/win32/win32_handle.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_text.h"

namespace varlindo::win32 {

std::optional<std::string> Win32Shell::ShortPath(const std::string& path) {
    // A short form longer than 164 characters is taken as a failure.
    wchar_t buffer[165] = {};
    const DWORD n = GetShortPathNameW(Wide(path).c_str(), buffer, 164);
    if (n == 0 || n > 164) return std::nullopt;
    return Utf8(std::wstring_view(buffer, n));
}

std::string Win32Shell::ExecutableFor(const std::string& file) {
    wchar_t result[MAX_PATH + 1] = {};
    const auto code = reinterpret_cast<INT_PTR>(FindExecutableW(Wide(file).c_str(), nullptr, result));
    if (code <= 32) return {};
    return Utf8(result);
}

bool Win32Shell::StartProgram(const std::string& command_line, int show) {
    std::wstring command = Wide(command_line);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(show);
    PROCESS_INFORMATION process{};
    if (CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        return true;
    }
    // Not a program (a shortcut, a batch file): let the shell start it. The program part
    // is the quoted text at the front, or the text up to the first blank.
    std::wstring program;
    std::wstring arguments;
    if (!command.empty() && command[0] == L'"') {
        const size_t close = command.find(L'"', 1);
        program = command.substr(1, close == std::wstring::npos ? std::wstring::npos : close - 1);
        if (close != std::wstring::npos && close + 1 < command.size()) arguments = command.substr(close + 1);
    } else {
        const size_t blank = command.find(L' ');
        program = command.substr(0, blank);
        if (blank != std::wstring::npos) arguments = command.substr(blank + 1);
    }
    const auto code = reinterpret_cast<INT_PTR>(
        ShellExecuteW(nullptr, nullptr, program.c_str(), arguments.empty() ? nullptr : arguments.c_str(), nullptr, show));
    return code > 32;
}

std::string Win32Shell::UserFolder(SpecialFolder folder) {
    const KNOWNFOLDERID& id = folder == SpecialFolder::Desktop ? FOLDERID_Desktop : FOLDERID_StartMenu;
    PWSTR path = nullptr;
    const HRESULT result = SHGetKnownFolderPath(id, KF_FLAG_DEFAULT, nullptr, &path);
    // The text is the caller's to free, whether the call succeeded or not.
    const std::unique_ptr<wchar_t, decltype(&CoTaskMemFree)> owned(path, &CoTaskMemFree);
    if (FAILED(result) || !path) return {};
    return Utf8(path);
}

bool Win32Shell::SaveShortcut(const std::string& path, const ShellLink& link, std::string& error) {
    // The shell's own link object writes the file, so that every version of the shell reads it.
    auto failed = [&error](HRESULT result) {
        error = SystemMessage(static_cast<unsigned long>(result));
        return false;
    };
    IShellLinkW* made = nullptr;
    HRESULT result = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                      reinterpret_cast<void**>(&made));
    if (FAILED(result) || !made) return failed(FAILED(result) ? result : E_NOINTERFACE);
    const unique_com<IShellLinkW> shortcut(made);
    if (FAILED(result = shortcut.get()->SetPath(Wide(link.target).c_str()))) return failed(result);
    if (FAILED(result = shortcut.get()->SetArguments(Wide(link.arguments).c_str()))) return failed(result);
    if (FAILED(result = shortcut.get()->SetShowCmd(link.show_command))) return failed(result);
    if (FAILED(result = shortcut.get()->SetIconLocation(Wide(link.icon_file).c_str(), link.icon_index)))
        return failed(result);

    IPersistFile* persist = nullptr;
    result = shortcut.get()->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist));
    if (FAILED(result) || !persist) return failed(FAILED(result) ? result : E_NOINTERFACE);
    const unique_com<IPersistFile> file(persist);
    if (FAILED(result = file.get()->Save(Wide(path).c_str(), TRUE))) return failed(result);
    error.clear();
    return true;
}

}  // namespace varlindo::win32
