#include "base/path_text.h"

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
