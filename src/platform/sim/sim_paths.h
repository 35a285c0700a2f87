#pragma once
// How the simulated Windows compares names: registry keys and paths ignore case, and "/"
// separates folders as "\" does.

#include <algorithm>
#include <cctype>
#include <string>

namespace varlindo::sim {

inline std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

inline std::string NormalPath(const std::string& path) {
    std::string s = Lower(path);
    std::replace(s.begin(), s.end(), '/', '\\');
    while (s.size() > 3 && s.back() == '\\') s.pop_back();
    return s;
}

}  // namespace varlindo::sim
