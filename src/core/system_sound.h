#pragma once
// The platform's system sounds.

#include <cstdint>

#include "platform/ports.h"

namespace varlindo {

// The system sound of a kind: MessageBeep(kind x 16) below 16, else the kind itself.
// Kind 3 is the exclamation sound that confirms a switch.
inline void PlaySystemSound(UiPort& ui, std::int16_t kind) {
    ui.Beep(static_cast<unsigned>(kind < 16 ? kind * 16 : kind));
}

}  // namespace varlindo
