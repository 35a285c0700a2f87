// Names of shortcuts and files: the shortcut name rules (FileOps::SafeShortcutName,
// ShortcutFileName), the chooser's pattern from a name (Files::PatternFromName), pattern
// matching (MatchesFilePattern) and full paths (IsAbsolutePath).

#include <fuzzer/FuzzedDataProvider.h>

#include <cctype>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/path_text.h"
#include "base/text.h"
#include "fuzz_check.h"
#include "launch/file_ops.h"
#include "util/files.h"

namespace {

using namespace varlindo;

bool IsReserved(const std::string& name) {
    const std::string base = text::Upper(name.substr(0, name.find('.')));
    for (const char* reserved : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"})
        if (base == reserved) return true;
    return base.size() == 4 && (base.rfind("COM", 0) == 0 || base.rfind("LPT", 0) == 0) && text::IsDigit(base[3]);
}

// A file name Windows takes as it is, in the folder it is meant for.
bool IsSafe(const std::string& name) {
    if (name.empty() || name.front() == ' ' || name.back() == ' ' || name.back() == '.') return false;
    for (char c : name)
        if (static_cast<unsigned char>(c) < 0x20 || std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos)
            return false;
    return !IsReserved(name) && text::Lower(name) != ".lnk";
}

std::vector<std::string> Split(const std::string& s, char separator) {
    std::vector<std::string> parts;
    std::size_t from = 0;
    for (;;) {
        const std::size_t at = s.find(separator, from);
        parts.push_back(s.substr(from, at == std::string::npos ? std::string::npos : at - from));
        if (at == std::string::npos) return parts;
        from = at + 1;
    }
}

bool HasAny(const std::string& s, std::string_view chars) { return s.find_first_of(chars) != std::string::npos; }

void CheckShortcutNames(const std::string& name, const std::string& fallback) {
    const std::string safe = FileOps::SafeShortcutName(name, fallback);
    FUZZ_CHECK(IsSafe(safe));
    FUZZ_CHECK(FileOps::SafeShortcutName(safe, fallback) == safe);
    if (IsSafe(name)) FUZZ_CHECK(safe == name);

    // ".lnk" is added unless the name ends in it, in any case; the file stays in its folder.
    const std::string file = FileOps::ShortcutFileName(safe);
    FUZZ_CHECK(text::EndsWith(text::Lower(file), ".lnk"));
    FUZZ_CHECK(FileNameOfPath(file) == file);
    const std::string any = FileOps::ShortcutFileName(name);
    FUZZ_CHECK(any == (text::EndsWith(text::Lower(name), ".lnk") ? name : name + ".lnk"));
}

void CheckPatternFromName(const std::string& name) {
    const std::string pattern = Files::PatternFromName(name);
    if (!HasAny(name, ".\\")) {
        FUZZ_CHECK(pattern.empty());
        return;
    }
    FUZZ_CHECK(pattern.rfind("*.", 0) == 0);
    const std::string tail = pattern.substr(2);
    FUZZ_CHECK(!HasAny(tail, ".\\"));
    FUZZ_CHECK(text::EndsWith(name, tail));
}

void CheckMatching(const std::string& name, const std::string& patterns) {
    if (name.find('\0') != std::string::npos || patterns.find('\0') != std::string::npos) return;
    const bool matches = MatchesFilePattern(name, patterns);
    // Several patterns: a name matches when one of them does.
    const std::vector<std::string> each = Split(patterns, ';');
    if (each.size() > 1) {
        bool any = false;
        for (const std::string& p : each) any = any || MatchesFilePattern(name, p);
        FUZZ_CHECK(matches == any);
    }
    // "*" and "*.*" match every name.
    FUZZ_CHECK(MatchesFilePattern(name, "*"));
    FUZZ_CHECK(MatchesFilePattern(name, "*.*"));
    if (name.empty() || HasAny(name, "*?;") || name.front() == ' ' || name.back() == ' ') return;
    // A name matches itself, and letter case is ignored; "?" stands for one character.
    FUZZ_CHECK(MatchesFilePattern(name, name));
    FUZZ_CHECK(MatchesFilePattern(text::Upper(name), text::Lower(name)));
    bool ascii = true;
    for (char c : name) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    if (ascii) FUZZ_CHECK(MatchesFilePattern(name, std::string(name.size(), '?')));
    // "*.<extension>" matches a name with that extension.
    if (const std::size_t dot = name.rfind('.'); dot != std::string::npos)
        FUZZ_CHECK(MatchesFilePattern(name, "*" + name.substr(dot)));
    // A pattern ending in ".*" also matches names without an extension, as the pattern
    // before it does.
    const std::string& p = each.front();
    if (name.find('.') == std::string::npos && !p.empty() && !HasAny(p, ".") && p.front() != ' ' &&
        p.back() != ' ' && each.size() == 1)
        FUZZ_CHECK(MatchesFilePattern(name, p + ".*") == MatchesFilePattern(name, p));
}

void CheckAbsolute(const std::string& path, const std::string& more) {
    const bool absolute = IsAbsolutePath(path);
    if (absolute) {
        FUZZ_CHECK(IsAbsolutePath(path + more));
        FUZZ_CHECK(path.rfind("\\\\", 0) == 0 || (path.size() >= 3 && path[1] == ':'));
    }
    if (!path.empty() && std::isalpha(static_cast<unsigned char>(path[0]))) {
        FUZZ_CHECK(IsAbsolutePath(path.substr(0, 1) + ":\\" + more));
        FUZZ_CHECK(IsAbsolutePath(path.substr(0, 1) + ":/" + more));
        FUZZ_CHECK(!IsAbsolutePath(path.substr(0, 1) + ":" + path.substr(0, 1) + more));
    }
    FUZZ_CHECK(IsAbsolutePath("\\\\" + more));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const std::string name = in.ConsumeRandomLengthString(64);
    const std::string fallback = in.ConsumeRandomLengthString(32);
    const std::string patterns = in.ConsumeRemainingBytesAsString();

    CheckShortcutNames(name, fallback);
    CheckShortcutNames(patterns, name);
    CheckPatternFromName(name);
    CheckPatternFromName(patterns);
    CheckMatching(name, patterns);
    CheckMatching(fallback, patterns);
    CheckAbsolute(name, fallback);
    CheckAbsolute(patterns, name);
    return 0;
}
