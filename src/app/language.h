#pragma once
// The interface language, fixed by the build, and the English/German text pairs from which
// every place that shows a text picks the text of that language.

#include <cstdint>

namespace varlindo {

enum class Language : std::int16_t { English = 0, German = 1 };

// One text of the program in both languages.
struct Text {
    const char* english;
    const char* german;
};

inline const char* Pick(Language language, const Text& text) {
    return language == Language::English ? text.english : text.german;
}

}  // namespace varlindo
