#pragma once
// The texts that starting programs shows.

namespace varlindo {

// Follows a file name that holds "*" (German only).
inline constexpr const char* kInvalidCharacters = "Enthält ungültige Zeichen Abbrechen?";

}  // namespace varlindo

namespace varlindo {

// A shortcut could not be written; followed by two line breaks and the file's path.
inline constexpr const char* kShortcutFailed = "Error: Could not create Shortcut!";

}  // namespace varlindo
