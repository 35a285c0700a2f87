#pragma once
#include <cstdint>
#include <string>

namespace varlindo {

// The interface language is fixed by the build; every text picks the one of this language.
enum class Language : std::int16_t { English = 0, German = 1 };

inline const std::string& Pick(Language language, const std::string& english, const std::string& german) {
    return language == Language::English ? english : german;
}

}  // namespace varlindo
