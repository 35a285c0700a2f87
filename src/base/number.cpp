#include "base/number.h"

#include <cctype>
#include <cmath>
#include <cstdlib>

#include "base/text.h"

namespace varlindo {

std::optional<std::int16_t> ParseInt16(const std::string& raw) {
    const std::string s = text::Trim(raw);
    size_t i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    const size_t digits_from = i;
    while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) ++i;
    if (i == digits_from) return std::nullopt;
    if (i < s.size() && s[i] == '.') {
        const size_t fraction_from = ++i;
        while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) ++i;
        if (i == fraction_from) return std::nullopt;
    }
    if (i != s.size() || i - digits_from > 12) return std::nullopt;
    double value = std::strtod(s.substr(digits_from).c_str(), nullptr);
    value = std::nearbyint(value);  // the default rounding mode: halves to even
    if (negative) value = -value;
    if (value < -32768 || value > 32767) return std::nullopt;
    return static_cast<std::int16_t>(value);
}

std::int32_t RoundHalfEven(double value) {
    const double lower = std::floor(value);
    const double diff = value - lower;
    double r = lower;
    if (diff > 0.5 || (diff == 0.5 && std::fmod(lower, 2.0) != 0.0)) r = lower + 1.0;
    return static_cast<std::int32_t>(r);
}

}  // namespace varlindo
