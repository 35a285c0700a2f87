#pragma once
// The texts that the volume operations show.

namespace varlindo::msg {

// A device number beyond the cards (German only).
inline constexpr const char* kDeviceNumberTooLarge = "Devicenummer stimmt nicht (zu groß!)";

}  // namespace varlindo::msg
