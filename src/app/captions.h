#pragma once
// Caption tables: one per window, naming each control's English (design) caption and its
// German one. A window applies its table in one place: English when it is made, German
// when it is loaded in the German build.

#include <span>

#include "app/language.h"
#include "ui/widgets.h"

namespace varlindo {

struct Caption {
    const char* control;
    const char* english;
    const char* german;  // nullptr: the caption is not translated
};

// Sets the captions of `language` on the form's controls, in table order. Returns how many
// table rows name no control of the form (a table that fits its window returns 0).
int ApplyCaptions(ui::Form& form, std::span<const Caption> table, Language language);

}  // namespace varlindo
