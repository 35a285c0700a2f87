#include "core/sound_mapper.h"

namespace varlindo {
namespace {

constexpr const char* kRoot = "HKEY_CURRENT_USER";
constexpr const char* kKey = "Software\\Microsoft\\Multimedia\\Sound Mapper";
constexpr const char* kPlaybackPath = "HKEY_CURRENT_USER\\Software\\Microsoft\\Multimedia\\Sound Mapper\\Playback";
constexpr const char* kRecordPath = "HKEY_CURRENT_USER\\Software\\Microsoft\\Multimedia\\Sound Mapper\\Record";
constexpr std::int32_t kMissing = -32;

}  // namespace

std::string SoundMapper::Playback() { return registry_.ReadValueByPath(kPlaybackPath); }

std::string SoundMapper::Record() { return registry_.ReadValueByPath(kRecordPath); }

void SoundMapper::MakeDefault(const std::string& device_name, bool playback, bool record) {
    if (record) registry_.WriteStringValue(kRoot, kKey, "Record", device_name);
    if (playback) registry_.WriteStringValue(kRoot, kKey, "Playback", device_name);
}

void SoundMapper::CreateMissingValues(const std::string& first_card) {
    if (registry_.ReadDWordValue(kRoot, kKey, "PreferredOnly", kMissing) == kMissing)
        registry_.WriteDWordValue(kRoot, kKey, "PreferredOnly", 1);
    if (registry_.ReadDWordValue(kRoot, kKey, "SetupPreferredAudioDevicesCount", kMissing) == kMissing)
        registry_.WriteDWordValue(kRoot, kKey, "SetupPreferredAudioDevicesCount", 3);
    if (Record().empty()) registry_.WriteStringValue(kRoot, kKey, "Record", first_card);
    if (Playback().empty()) registry_.WriteStringValue(kRoot, kKey, "Playback", first_card);
}

}  // namespace varlindo
