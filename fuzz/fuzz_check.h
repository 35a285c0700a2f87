#pragma once
// What the fuzz targets share: a check that stops the run with the failed property, so
// that libFuzzer keeps the input that broke it.

#include <cstdio>
#include <cstdlib>
#include <string>

#define FUZZ_CHECK(condition)                                                                        \
    do {                                                                                             \
        if (!(condition)) {                                                                          \
            std::fprintf(stderr, "%s:%d: does not hold: %s\n", __FILE__, __LINE__, #condition);      \
            std::abort();                                                                            \
        }                                                                                            \
    } while (0)

namespace varlindo::fuzz {

// No blank (or tab, with `tabs`) at either end.
inline bool IsTrimmed(const std::string& s, bool tabs = false) {
    if (s.empty()) return true;
    auto blank = [tabs](char c) { return c == ' ' || (tabs && c == '\t'); };
    return !blank(s.front()) && !blank(s.back());
}

}  // namespace varlindo::fuzz
