#pragma once
// The one place where a card becomes the system's default and where the program learns
// which card is the default.
//
// The per-user Sound Mapper values ("Playback", "Record" under the key
// HKEY_CURRENT_USER\Software\Microsoft\Multimedia\Sound Mapper) name the card by its
// device name; Windows XP reads them, and older builds of this program and other tools
// still do, so they are always written. Windows Vista and later ignore them: there the
// card's audio endpoints are made the default for every role through the system's policy
// object, and the default is read back from the endpoints. A card is tied to its endpoints by the id its driver gives,
// never by name: device names are cut to 31 characters and need not be unique.

#include <optional>
#include <string>

#include "core/registry.h"
#include "platform/ports.h"

namespace varlindo {

// What became of a switch.
struct SwitchResult {
    enum class Fault {
        None,
        NotWritten,          // the Sound Mapper values could not be written (and nothing else serves)
        CardMissing,         // no device of this name
        NoPlaybackEndpoint,  // the card has no active playback endpoint
        NoRecordEndpoint,    // the card has no active recording endpoint
        Refused,             // the policy object refused; `reason` holds the system's words
    };
    Fault fault = Fault::None;
    std::string reason;
    bool Done() const { return fault == Fault::None; }
    // The card or its endpoint is missing: right after logon, the audio service may bring it.
    bool MayComeLater() const;
};

// The default card as the system sees it: its device name, and its wave-out device when
// the endpoints tell it ("" and nothing when no card is the default).
struct DefaultCard {
    std::string name;
    std::optional<int> device;
};

class SoundMapper {
public:
    explicit SoundMapper(Registry& registry)
        : registry_(registry),
          waveout_(registry.GetPlatform().waveout),
          endpoints_(registry.GetPlatform().endpoints) {}

    // The device name of the default card for playback / recording; "" when none is set.
    std::string Playback() { return PlaybackCard().name; }
    std::string Record();
    DefaultCard PlaybackCard();

    // Makes the card the default for playback, recording or both. Recording is always
    // switched before playback. `device` is the card's wave-out device when the caller
    // knows it (two cards may carry one name); else the name finds it. Where the endpoints
    // serve, a Sound Mapper value is written once its endpoint has become the default.
    SwitchResult MakeDefault(const std::string& device_name, bool playback, bool record,
                             std::optional<int> device = std::nullopt);

    // True where the card's endpoints serve (the device API and the policy object are
    // there); false where the Sound Mapper values alone do (Windows XP, Wine).
    bool UsesEndpoints();

    // Creates the values that are missing, naming `first_card` where a card is needed;
    // values that exist (even "PreferredOnly" = 0) are left as they are.
    void CreateMissingValues(const std::string& first_card);

private:
    class EndpointMap;

    Registry& registry_;
    WaveOutPort& waveout_;
    EndpointPort& endpoints_;
};

}  // namespace varlindo
