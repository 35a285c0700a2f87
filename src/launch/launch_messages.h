#pragma once
// The texts that starting programs shows.

namespace varlindo {

// Follows a file name that holds "*" (German only).
inline constexpr const char* kInvalidCharacters = "Enthält ungültige Zeichen Abbrechen?";

}  // namespace varlindo
