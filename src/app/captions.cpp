#include "app/captions.h"

namespace varlindo {

int ApplyCaptions(ui::Form& form, std::span<const Caption> table, Language language) {
    int missing = 0;
    for (const Caption& row : table) {
        ui::Control* control = form.Find(row.control);
        if (!control) {
            ++missing;
            continue;
        }
        if (language == Language::English)
            control->SetCaption(row.english);
        else if (row.german)
            control->SetCaption(row.german);  // an untranslated caption keeps what it shows
    }
    return missing;
}

}  // namespace varlindo
