#pragma once
// The texts that start-up and shut-down show.

#include "app/language.h"

namespace varlindo::msg {

inline constexpr Text kExitQuestion{"Shutdown Varlindo?", " Varlindo beenden?"};
inline constexpr Text kExitQuestionTitle{"Exit program?", "Programm beenden?"};
// The tray tooltip of a window sent to the tray, before the card's name.
inline constexpr Text kCurrentCardTip{"current: ", "Standard: "};
// Appended to the window caption.
inline constexpr const char* kVersionCaption = " Vers. 2.0.1";

}  // namespace varlindo::msg
