#include "core/sound_device_obj.h"

#include "base/number.h"
#include "base/text.h"
#include "core/core_messages.h"
#include "core/sound_mapper.h"
#include "core/wave_out_devices.h"

namespace varlindo {

namespace {
constexpr const char* kVolumeKeys[] = {"SpeakerVolume", "WaveVolume",   "MidiVolume",      "CDAudioVolume",
                                       "LineInVolume",  "MicrophoneVolume", "AuxVolume"};
constexpr const char* kMuteKeys[] = {"SpeakerMute", "WaveMute",       "MidiMute", "CDAudioMute",
                                     "LineInMute",  "MicrophoneMute", "AuxMute"};
}  // namespace

const char* SoundDeviceObj::VolumeKey(Line line) { return kVolumeKeys[line]; }
const char* SoundDeviceObj::MuteKey(Line line) { return kMuteKeys[line]; }

void SoundDeviceObj::SetDeviceName(const std::string& name) {
    if (Device_name != name) {
        IsChanged = true;
        unread_.clear();  // they were another card's
    }
    Device_name = name;
}

void SoundDeviceObj::SetAliasName(const std::string& alias) {
    if (Alias_Name != alias) IsChanged = true;
    Alias_Name = alias;
}

void SoundDeviceObj::SetStartupVolume(std::int16_t volume) {
    if (Startup_Volume != volume) IsChanged = true;
    Startup_Volume = volume;
}

void SoundDeviceObj::SetShutdownVolume(std::int16_t volume) {
    if (Shutdown_Volume != volume) IsChanged = true;
    Shutdown_Volume = volume;
}

void SoundDeviceObj::Set_SetOnStartup(bool flag) {
    if (SetOnStartup != flag) IsChanged = true;
    SetOnStartup = flag;
}

void SoundDeviceObj::Set_SetOnShutdown(bool flag) {
    if (SetOnShutdown != flag) IsChanged = true;
    SetOnShutdown = flag;
}

void SoundDeviceObj::Clear() {
    // The shut-down flag and the line values stay as they are.
    Device_name.clear();
    Alias_Name.clear();
    DeviceID = -1;
    IsChanged = false;
    unread_.clear();
    Startup_Volume = 0;
    Shutdown_Volume = 0;
    SetOnStartup = false;
}

void SoundDeviceObj::SaveChanges() {
    if (IsChanged) SaveAll();
}

std::string SoundDeviceObj::ReadText(Registry::SectionReader& record, const std::string& key,
                                     const std::string& fallback) {
    const auto stored = record.Read(key);
    if (!stored) unread_[key] = fallback;
    const std::string text = stored.value_or("");
    return text.empty() ? fallback : text;
}

std::int16_t SoundDeviceObj::ReadNumber(Registry::SectionReader& record, const std::string& key,
                                        std::int16_t fallback) {
    auto value = ParseInt16(ReadText(record, key, std::to_string(fallback)));
    return value ? *value : fallback;
}

void SoundDeviceObj::Load(const std::string& device_name) {
    const std::string name = text::Trim(device_name);
    if (name.empty()) registry_->GetPlatform().ui.ShowMessageBox(msg::kNoDevicenameFound, "", mb::Ok);
    Device_name = name;
    unread_.clear();

    // A value that is no 16-bit number reads as its key's default; the others still load.
    {
        Registry::SectionReader record(*registry_, Section());
        Alias_Name = ReadText(record, "AliasName", Device_name);
        SetOnStartup = ReadNumber(record, "SetVolumeOnStartup", 0) != 0;
        Startup_Volume = ReadNumber(record, "StartupVolume", 0);
        Shutdown_Volume = ReadNumber(record, "ShutdownVolume", 0);
        SetOnShutdown = ReadNumber(record, "SetVolumeOnShutdown", 0) != 0;
        for (Line line : {Speaker, Aux, Mikrofon, LineIn, Midi, Wave, CDAudio})
            mute_[line] = ReadNumber(record, MuteKey(line), 0);
        for (Line line : {Speaker, Aux, Mikrofon, LineIn, Midi, CDAudio, Wave})
            volume_[line] = ReadNumber(record, VolumeKey(line), 50);
    }

    DeviceID = GetInitialDeviceID(Device_name);
    IsChanged = false;
}

void SoundDeviceObj::SaveAll() {
    Device_name = text::Trim(Device_name);
    if (text::Trim(Alias_Name).empty()) Alias_Name = Device_name;
    if (text::Trim(Alias_Name).empty()) {
        registry_->GetPlatform().ui.ShowMessageBox(msg::kEmptyDevice, "", mb::Ok);
        return;
    }
    const std::string section = Section();
    // A value the load could not read, and that still holds what was taken in its place,
    // is left as the store has it.
    auto save = [&](const std::string& key, const std::string& text) {
        auto unread = unread_.find(key);
        if (unread != unread_.end() && unread->second == text) return;
        registry_->SaveAppSetting(section, key, text);
    };
    save("AliasName", text::Trim(Alias_Name));
    save("SetVolumeOnStartup", SetOnStartup ? "1" : "0");
    save("SetVolumeOnShutdown", SetOnShutdown ? "1" : "0");
    save("StartupVolume", std::to_string(Startup_Volume));
    save("ShutdownVolume", std::to_string(Shutdown_Volume));
    IsChanged = false;
    const std::pair<Line, bool> order[] = {
        {Speaker, false}, {Speaker, true}, {Aux, false},  {Aux, true},     {Mikrofon, false},
        {Mikrofon, true}, {LineIn, false}, {LineIn, true}, {Midi, false},   {Midi, true},
        {Wave, true},     {Wave, false},   {CDAudio, false}, {CDAudio, true},
    };
    for (auto [line, is_mute] : order) {
        if (is_mute)
            save(MuteKey(line), std::to_string(mute_[line]));
        else
            save(VolumeKey(line), std::to_string(volume_[line]));
    }
}

bool SoundDeviceObj::Is_DefaultDevice() const { return Device_name == SoundMapper(*registry_).Playback(); }

std::int16_t SoundDeviceObj::GetInitialDeviceID(const std::string& device_name) const {
    auto n = FindWaveOutDevice(registry_->GetPlatform().waveout, device_name);
    return n ? static_cast<std::int16_t>(*n) : std::int16_t{-1};
}

}  // namespace varlindo
