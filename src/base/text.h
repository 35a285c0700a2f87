#pragma once
// Small text helpers with the program's own rules: "blanks" are spaces, comparisons of
// names are case-sensitive unless said otherwise, and upper/lower case is ASCII only.

#include <algorithm>
#include <cctype>
#include <string>
#include <string_view>

namespace varlindo::text {

inline std::string Trim(std::string_view s) {
    size_t b = s.find_first_not_of(' ');
    if (b == std::string_view::npos) return {};
    size_t e = s.find_last_not_of(' ');
    return std::string(s.substr(b, e - b + 1));
}

inline std::string Upper(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return s;
}

inline std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

// Case-sensitive substring test; an empty needle is contained in every text.
inline bool Contains(std::string_view haystack, std::string_view needle) {
    return haystack.find(needle) != std::string_view::npos;
}

// Every occurrence of `from` replaced by `to`.
inline std::string Replace(std::string_view s, std::string_view from, std::string_view to) {
    std::string out;
    if (from.empty()) return std::string(s);
    size_t start = 0;
    for (size_t at; (at = s.find(from, start)) != std::string_view::npos; start = at + from.size()) {
        out.append(s.substr(start, at - start));
        out.append(to);
    }
    out.append(s.substr(start));
    return out;
}

inline bool IsDigit(char c) { return c >= '0' && c <= '9'; }

inline bool EndsWith(std::string_view s, std::string_view tail) {
    return s.size() >= tail.size() && s.substr(s.size() - tail.size()) == tail;
}

// Length and leading part counted in characters, not bytes (texts are UTF-8).
inline size_t CharCount(std::string_view s) {
    size_t n = 0;
    for (unsigned char c : s) n += (c & 0xC0) != 0x80;
    return n;
}

inline std::string LeftChars(std::string_view s, size_t count) {
    size_t i = 0;
    for (size_t seen = 0; i < s.size(); ++i) {
        if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80 && seen++ == count) break;
    }
    return std::string(s.substr(0, i));
}

// `count` characters from character `start` on.
inline std::string Substr(std::string_view s, size_t start, size_t count) {
    return LeftChars(s.substr(LeftChars(s, start).size()), count);
}

}  // namespace varlindo::text
