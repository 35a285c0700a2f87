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
    // the first recording endpoint on the card's adapter.
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
        const AudioEndpoint* render = Render(device);
        if (!render || render->adapter.empty()) return nullptr;
        for (const AudioEndpoint& e : capture_)
            if (e.adapter == render->adapter) return &e;
        return nullptr;
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

DefaultCard SoundMapper::PlaybackCard() {
    if (UsesEndpoints()) {
        EndpointMap map(waveout_, endpoints_);
        if (auto device = map.DefaultDevice(EndpointFlow::Render))
            if (auto name = WaveOutDeviceName(waveout_, *device)) return {*name, device};
    }
    return {registry_.ReadValueByPath(kPlaybackPath), std::nullopt};
}

std::string SoundMapper::Record() {
    if (UsesEndpoints()) {
        EndpointMap map(waveout_, endpoints_);
        if (auto device = map.DefaultDevice(EndpointFlow::Capture))
            if (auto name = WaveOutDeviceName(waveout_, *device)) return *name;
    }
    return registry_.ReadValueByPath(kRecordPath);
}

SwitchResult SoundMapper::MakeDefault(const std::string& device_name, bool playback, bool record,
                                      std::optional<int> device) {
    bool written = true;
    if (record) written = registry_.WriteStringValue(kRoot, kKey, "Record", device_name) && written;
    if (playback) written = registry_.WriteStringValue(kRoot, kKey, "Playback", device_name) && written;
    if (!UsesEndpoints()) return written ? SwitchResult{} : SwitchResult{SwitchResult::Fault::NotWritten, ""};

    // The card: the device named by the caller, else the one whose name is exactly this one,
    // else the first that holds it.
    if (!device) {
        const int count = waveout_.DeviceCount();
        for (int n = 0; n < count && !device; ++n)
            if (WaveOutDeviceName(waveout_, n) == text::Trim(device_name)) device = n;
        if (!device) device = FindWaveOutDevice(waveout_, text::Trim(device_name));
    }
    if (!device || device_name.empty()) return {SwitchResult::Fault::CardMissing, ""};

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
        } else if (!playback) {
            return {SwitchResult::Fault::NoRecordEndpoint, ""};
        }
    }
    if (playback) {
        const AudioEndpoint* render = map.Render(*device);
        if (!render) return {SwitchResult::Fault::NoPlaybackEndpoint, ""};
        return set_all_roles(*render);
    }
    return {};
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
