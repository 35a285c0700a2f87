#pragma once
// Reading stored numbers and rounding, with the rules the program has always had.

#include <cstdint>
#include <optional>
#include <string>

namespace varlindo {

// Reads a stored setting as a 16-bit number: optional blanks and sign, digits, an optional
// fraction (rounded half to even). Nothing for anything else or a value out of range.
std::optional<std::int16_t> ParseInt16(const std::string& text);

// Rounds to the nearest whole number, halves to the even neighbour.
std::int32_t RoundHalfEven(double value);

}  // namespace varlindo
