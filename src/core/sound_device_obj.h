#pragma once
// The stored settings of one sound card, kept in the settings-store section
// "Volume_<device name>": alias name, start-up and shut-down volumes and flags, and the
// level and mute of seven mixer lines.

#include <array>
#include <cstdint>
#include <map>
#include <string>

#include "core/registry.h"

namespace varlindo {

class SoundDeviceObj {
public:
    // The mixer lines a record keeps a level and a mute for.
    enum Line { Speaker, Wave, Midi, CDAudio, LineIn, Mikrofon, Aux, LineCount };

    explicit SoundDeviceObj(Registry& registry) : registry_(&registry) {}

    void SetDeviceName(const std::string& name);
    std::string GetDeviceName() const { return Device_name; }
    std::string GetAliasName() const { return Alias_Name; }
    void SetAliasName(const std::string& alias);
    void SetStartupVolume(std::int16_t volume);
    std::int16_t GetStartupVolume() const { return Startup_Volume; }
    std::int16_t GetShutdownVolume() const { return Shutdown_Volume; }
    void SetShutdownVolume(std::int16_t volume);
    void Set_SetOnStartup(bool flag);
    bool Get_SetOnStartup() const { return SetOnStartup; }
    void Set_SetOnShutdown(bool flag);
    bool Get_SetOnShutdown() const { return SetOnShutdown; }
    void Clear();
    bool Changed() const { return IsChanged; }
    void SaveChanges();
    void SaveAll();
    void Load(const std::string& device_name);
    std::int16_t GetShutdownVolumeReverse() const { return Reverse(Shutdown_Volume); }
    std::int16_t GetStartupVolumeReverse() const { return Reverse(Startup_Volume); }
    bool Is_DefaultDevice() const;
    std::int16_t GetDeviceID() const { return DeviceID; }
    std::int16_t GetInitialDeviceID(const std::string& device_name) const;

    std::int16_t GetLineVolume(Line line) const { return volume_[line]; }
    std::int16_t GetLineMute(Line line) const { return mute_[line]; }
    void SetLineVolume(Line line, std::int16_t v) { volume_[line] = v; }
    void SetLineMute(Line line, std::int16_t v) { mute_[line] = v; }

    std::int16_t Get_WiedergabeMute() const { return mute_[Speaker]; }
    std::int16_t Get_WiedergabeVolume() const { return volume_[Speaker]; }
    std::int16_t Get_WaveMute() const { return mute_[Wave]; }
    std::int16_t Get_WaveVolume() const { return volume_[Wave]; }
    std::int16_t Get_MidiVolume() const { return volume_[Midi]; }
    std::int16_t Get_MidiMute() const { return mute_[Midi]; }
    std::int16_t Get_CDAudioVolume() const { return volume_[CDAudio]; }
    std::int16_t Get_CDAudioMute() const { return mute_[CDAudio]; }
    std::int16_t Get_LineInMute() const { return mute_[LineIn]; }
    std::int16_t Get_LineInVolume() const { return volume_[LineIn]; }
    std::int16_t Get_MikrofonMute() const { return mute_[Mikrofon]; }
    std::int16_t Get_MikrofonVolume() const { return volume_[Mikrofon]; }
    std::int16_t Get_AuxMute() const { return mute_[Aux]; }
    std::int16_t Get_AuxVolume() const { return volume_[Aux]; }
    void Set_WiedergabeMute(std::int16_t v) { mute_[Speaker] = v; }
    void Set_WiedergabeVolume(std::int16_t v) { volume_[Speaker] = v; }
    void Set_WaveMute(std::int16_t v) { mute_[Wave] = v; }
    void Set_WaveVolume(std::int16_t v) { volume_[Wave] = v; }
    void Set_MidiVolume(std::int16_t v) { volume_[Midi] = v; }
    void Set_MidiMute(std::int16_t v) { mute_[Midi] = v; }
    void Set_CDAudioVolume(std::int16_t v) { volume_[CDAudio] = v; }
    void Set_CDAudioMute(std::int16_t v) { mute_[CDAudio] = v; }
    void Set_LineInMute(std::int16_t v) { mute_[LineIn] = v; }
    void Set_LineInVolume(std::int16_t v) { volume_[LineIn] = v; }
    void Set_MikrofonMute(std::int16_t v) { mute_[Mikrofon] = v; }
    void Set_MikrofonVolume(std::int16_t v) { volume_[Mikrofon] = v; }
    void Set_AuxMute(std::int16_t v) { mute_[Aux] = v; }
    void Set_AuxVolume(std::int16_t v) { volume_[Aux] = v; }

    // Store keys of each line's volume and mute.
    static const char* VolumeKey(Line line);
    static const char* MuteKey(Line line);

private:
    static std::int16_t Reverse(std::int16_t v) { return v < 0 ? 50 : static_cast<std::int16_t>(100 - v); }
    std::string Section() const { return "Volume_" + Device_name; }
    // A stored text, or `fallback` when there is none; a key the store could not read is
    // noted, so that a save does not put the fallback over what it holds.
    std::string ReadText(Registry::SectionReader& record, const std::string& key, const std::string& fallback);
    // A stored number, or `fallback` when the text is no 16-bit number.
    std::int16_t ReadNumber(Registry::SectionReader& record, const std::string& key, std::int16_t fallback);

    Registry* registry_;
    std::string Device_name;
    std::string Alias_Name;
    std::int16_t Startup_Volume = 0;
    std::int16_t Shutdown_Volume = 0;
    bool SetOnStartup = false;
    bool SetOnShutdown = false;
    bool IsChanged = false;
    // Keys the last load could not read, with the text the record took in their place.
    std::map<std::string, std::string> unread_;
    std::int16_t DeviceID = 0;
    std::array<std::int16_t, LineCount> volume_{};
    std::array<std::int16_t, LineCount> mute_{};
};

}  // namespace varlindo
