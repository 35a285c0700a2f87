#include "core/sound_mapper.h"

#include <vector>

#include "base/text.h"
#include "core/wave_out_devices.h"

namespace varlindo {
namespace {

constexpr const char* kRoot = "HKEY_CURRENT_USER";
constexpr const char* kKey = "Software\\Microsoft\\Multimedia\\Sound Mapper";
constexpr const char* kPlaybackPath = "HKEY_CURRENT_USER\\Software\\Microsoft\\Multimedia\\Sound Mapper\\Playback";
constexpr const char* kRecordPath = "HKEY_CURRENT_USER\\Software\\Microsoft\\Multimedia\\Sound Mapper\\Record";
constexpr std::int32_t kMissing = -32;

}  // namespace

// The system's endpoints as they are now, and which card each belongs to. Made for one
// question or one switch, so the system is asked once per device.
class SoundMapper::EndpointMap {
public:
    EndpointMap(WaveOutPort& waveout, EndpointPort& endpoints)
        : waveout_(waveout),
          endpoints_(endpoints),
          render_(endpoints.ActiveEndpoints(EndpointFlow::Render)),
          capture_(endpoints.ActiveEndpoints(EndpointFlow::Capture)) {}

    // The active playback endpoint of wave-out device N.
    const AudioEndpoint* Render(int device) {
        auto id = endpoints_.WaveEndpointId(EndpointFlow::Render, device);
        return id ? Find(render_, *id) : nullptr;
    }

    // The active recording endpoint of the card that is wave-out device N: the wave-in
    // device of the same name (the k-th of that name for the k-th card of that name), else
    // the recording endpoint on the card's adapter: the default one, else the first.
    const AudioEndpoint* Capture(int device) {
        if (auto name = waveout_.ProductName(device)) {
            int same_before = 0;
            for (int n = 0; n < device; ++n)
                if (waveout_.ProductName(n) == name) ++same_before;
            const int inputs = endpoints_.WaveInCount();
            for (int n = 0; n < inputs; ++n) {
                if (endpoints_.WaveInName(n) != name || same_before-- > 0) continue;
                auto id = endpoints_.WaveEndpointId(EndpointFlow::Capture, n);
                if (const AudioEndpoint* found = id ? Find(capture_, *id) : nullptr) return found;
                break;
            }
        }
        // The card's adapter: the recording default stays where it is when it is on it (a
        // card may have a line-in before the microphone the user picked).
        const AudioEndpoint* render = Render(device);
        if (!render || render->adapter.empty()) return nullptr;
        const AudioEndpoint* first = nullptr;
        const auto current = endpoints_.DefaultEndpoint(EndpointFlow::Capture, EndpointRole::Console);
        for (const AudioEndpoint& e : capture_) {
            if (e.adapter != render->adapter) continue;
            if (current && e.id == *current) return &e;
            if (!first) first = &e;
        }
        return first;
    }

    // The wave-out device whose endpoint of this flow is the system's default.
    std::optional<int> DefaultDevice(EndpointFlow flow) {
        auto id = endpoints_.DefaultEndpoint(flow, EndpointRole::Console);
        if (!id) return std::nullopt;
        const int count = waveout_.DeviceCount();
        for (int n = 0; n < count; ++n) {
            const AudioEndpoint* e = flow == EndpointFlow::Render ? Render(n) : Capture(n);
            if (e && e->id == *id) return n;
        }
        return std::nullopt;
    }

private:
    static const AudioEndpoint* Find(const std::vector<AudioEndpoint>& list, const std::string& id) {
        for (const AudioEndpoint& e : list)
            if (e.id == id) return &e;
        return nullptr;
    }

    WaveOutPort& waveout_;
    EndpointPort& endpoints_;
    std::vector<AudioEndpoint> render_;
    std::vector<AudioEndpoint> capture_;
};

bool SoundMapper::UsesEndpoints() { return endpoints_.DeviceApi() && endpoints_.PolicyObject(); }

// Where the endpoints serve, the default is theirs alone: a default that is none of the
// cards (or no default at all) is no card, whatever the Sound Mapper value still says.
DefaultCard SoundMapper::PlaybackCard() {
    if (!UsesEndpoints()) return {registry_.ReadValueByPath(kPlaybackPath), std::nullopt};
    EndpointMap map(waveout_, endpoints_);
    if (auto device = map.DefaultDevice(EndpointFlow::Render))
        if (auto name = WaveOutDeviceName(waveout_, *device)) return {*name, device};
    return {};
}

std::string SoundMapper::Record() {
    if (!UsesEndpoints()) return registry_.ReadValueByPath(kRecordPath);
    EndpointMap map(waveout_, endpoints_);
    if (auto device = map.DefaultDevice(EndpointFlow::Capture))
        if (auto name = WaveOutDeviceName(waveout_, *device)) return *name;
    return "";
}

SwitchResult SoundMapper::MakeDefault(const std::string& device_name, bool playback, bool record,
                                      std::optional<int> device) {
    auto write = [this, &device_name](const char* value) {
        return registry_.WriteStringValue(kRoot, kKey, value, device_name);
    };
    if (!UsesEndpoints()) {
        bool written = true;
        if (record) written = write("Record") && written;
        if (playback) written = write("Playback") && written;
        return written ? SwitchResult{} : SwitchResult{SwitchResult::Fault::NotWritten, ""};
    }

    // The card: the device the caller names while it still carries the name (devices are
    // numbered anew when one comes or goes), else the one of exactly this name, else the
    // first that holds it.
    const std::string wanted = text::Trim(device_name);
    if (device && WaveOutDeviceName(waveout_, *device) != wanted) device.reset();
    if (!device) {
        const int count = waveout_.DeviceCount();
        for (int n = 0; n < count && !device; ++n)
            if (WaveOutDeviceName(waveout_, n) == wanted) device = n;
        if (!device) device = FindWaveOutDevice(waveout_, wanted);
    }
    if (!device || wanted.empty()) return {SwitchResult::Fault::CardMissing, ""};

    // The Sound Mapper values follow what the system took, so that they never name a card
    // that did not become the default.
    EndpointMap map(waveout_, endpoints_);
    auto set_all_roles = [this](const AudioEndpoint& endpoint) -> SwitchResult {
        for (EndpointRole role : kEndpointRoles) {
            std::string error;
            if (!endpoints_.SetDefaultEndpoint(endpoint.id, role, error))
                return {SwitchResult::Fault::Refused, text::Trim(error)};
        }
        return {};
    };
    if (record) {
        // A card without a microphone (an HDMI output) keeps the recording default where it
        // is when playback is switched with it; asked for alone, that is a failed switch.
        if (const AudioEndpoint* capture = map.Capture(*device)) {
            if (SwitchResult r = set_all_roles(*capture); !r.Done()) return r;
            write("Record");
        } else if (!playback) {
            return {SwitchResult::Fault::NoRecordEndpoint, ""};
        }
    }
    if (playback) {
        const AudioEndpoint* render = map.Render(*device);
        if (!render) return {SwitchResult::Fault::NoPlaybackEndpoint, ""};
        if (SwitchResult r = set_all_roles(*render); !r.Done()) return r;
        write("Playback");
    }
    return {};
}

bool SwitchResult::MayComeLater() const {
    return fault == Fault::CardMissing || fault == Fault::NoPlaybackEndpoint || fault == Fault::NoRecordEndpoint;
}

void SoundMapper::CreateMissingValues(const std::string& first_card) {
    if (registry_.ReadDWordValue(kRoot, kKey, "PreferredOnly", kMissing) == kMissing)
        registry_.WriteDWordValue(kRoot, kKey, "PreferredOnly", 1);
    if (registry_.ReadDWordValue(kRoot, kKey, "SetupPreferredAudioDevicesCount", kMissing) == kMissing)
        registry_.WriteDWordValue(kRoot, kKey, "SetupPreferredAudioDevicesCount", 3);
    const std::string record = registry_.ReadValueByPath(kRecordPath);
    if (record.empty()) registry_.WriteStringValue(kRoot, kKey, "Record", first_card);
    const std::string playback = registry_.ReadValueByPath(kPlaybackPath);
    if (playback.empty()) registry_.WriteStringValue(kRoot, kKey, "Playback", first_card);
}

}  // namespace varlindo
