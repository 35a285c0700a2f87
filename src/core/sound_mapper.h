#pragma once
// The one place where a card becomes the system's default and where the program learns
// which card is the default. The defaults are the per-user Sound Mapper values
// ("Playback", "Record" under HKEY_CURRENT_USER\Software\Microsoft\Multimedia\Sound
// Mapper), which name the card by its device name.

#include <string>

#include "core/registry.h"

namespace varlindo {

class SoundMapper {
public:
    explicit SoundMapper(Registry& registry) : registry_(registry) {}

    // The device name of the default card for playback / recording; "" when none is set.
    std::string Playback();
    std::string Record();

    // Makes the card the default for playback, recording or both. Recording is always
    // switched before playback.
    void MakeDefault(const std::string& device_name, bool playback, bool record);

    // Creates the values that are missing, naming `first_card` where a card is needed;
    // values that exist (even "PreferredOnly" = 0) are left as they are.
    void CreateMissingValues(const std::string& first_card);

private:
    Registry& registry_;
};

}  // namespace varlindo
