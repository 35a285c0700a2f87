#include "base/path_text.h"

#include <cctype>

#include "base/text.h"

namespace varlindo {
namespace {

size_t LastSeparator(const std::string& path) { return path.find_last_of("\\/"); }

}  // namespace

bool IsQuoted(const std::string& s) { return s.size() >= 2 && s.front() == '"' && s.back() == '"'; }

std::string FileNameOfPath(const std::string& path) {
    const size_t i = LastSeparator(path);
    return i == std::string::npos ? path : path.substr(i + 1);
}

std::string DirectoryOfPath(const std::string& path) {
    const size_t i = LastSeparator(path);
    return i == std::string::npos ? path : path.substr(0, i + 1);
}

std::string AddTrailingSeparator(const std::string& folder) {
    std::string s = folder;
    const bool quoted = !s.empty() && s.back() == '"';
    if (quoted) s.pop_back();
    if (text::Contains(s, "\\")) {
        if (!text::EndsWith(s, "\\")) s += '\\';
    } else if (text::Contains(s, "/")) {
        if (!text::EndsWith(s, "/")) s += '/';
    }
    if (quoted) s += '"';
    return s;
}

std::string StripQuotes(const std::string& text_in) {
    std::string s = text::Trim(text_in);
    if (IsQuoted(s)) s = s.substr(1, s.size() - 2);
    return s;
}

std::string QuoteIfSpaces(const std::string& text_in) {
    const std::string s = text::Trim(text_in);
    if (s.empty()) return text_in;
    if (!text::Contains(s, "\"") && text::Contains(s, " ")) return "\"" + s + "\"";
    return s;
}

std::string QuoteProgram(const std::string& program) {
    const std::string s = text::Trim(program);
    if (s.empty() || IsQuoted(s)) return s;
    return "\"" + s + "\"";
}

}  // namespace varlindo

namespace varlindo {
namespace {

bool Wildcard(const char* name, const char* pattern) {
    // Iterative matching with one backtrack point for the last "*".
    const char* star = nullptr;
    const char* resume = nullptr;
    while (*name) {
        const auto n = static_cast<unsigned char>(*name);
        const auto p = static_cast<unsigned char>(*pattern);
        if (p == '*') {
            star = pattern++;
            resume = name;
        } else if (p == '?' || (p && std::tolower(p) == std::tolower(n))) {
            ++pattern;
            ++name;
        } else if (star) {
            pattern = star + 1;
            name = ++resume;
        } else {
            return false;
        }
    }
    while (*pattern == '*') ++pattern;
    return *pattern == '\0';
}

}  // namespace

bool IsAbsolutePath(const std::string& path) {
    const bool on_drive = path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' &&
                          (path[2] == '\\' || path[2] == '/');
    return on_drive || path.rfind("\\\\", 0) == 0;
}

bool MatchesFilePattern(const std::string& name, const std::string& patterns) {
    size_t from = 0;
    while (from <= patterns.size()) {
        size_t to = patterns.find(';', from);
        if (to == std::string::npos) to = patterns.size();
        std::string pattern = patterns.substr(from, to - from);
        while (!pattern.empty() && pattern.front() == ' ') pattern.erase(pattern.begin());
        while (!pattern.empty() && pattern.back() == ' ') pattern.pop_back();
        if (!pattern.empty()) {
            if (Wildcard(name.c_str(), pattern.c_str())) return true;
            if (pattern.size() >= 2 && pattern.compare(pattern.size() - 2, 2, ".*") == 0 &&
                name.find('.') == std::string::npos &&
                Wildcard(name.c_str(), pattern.substr(0, pattern.size() - 2).c_str()))
                return true;
        }
        from = to + 1;
    }
    return false;
}

}  // namespace varlindo
