#pragma once
// The program's only door to persistent data: raw registry values and the per-user
// settings store. Nothing here reports a failure: a failed write changes nothing and a
// failed read gives the caller's default.

#include <cstdint>
#include <optional>
#include <string>

#include "platform/ports.h"

namespace varlindo {

// The application name under which the settings store keeps this program's sections.
inline constexpr const char* kAppTitle = "Varlindo";

// Where the settings store lives, below HKEY_CURRENT_USER; earlier builds wrote here too.
inline constexpr const char* kSettingsStoreKey = "Software\\VB and VBA Program Settings";

class Registry {
public:
    explicit Registry(Platform& platform, std::string app_title = kAppTitle)
        : platform_(platform), app_title_(std::move(app_title)) {}

    Platform& GetPlatform() const { return platform_; }

    // "current_user" / "hkey_current_user" and friends, any case; hkey::None otherwise.
    static RegKey RootKeyFromName(const std::string& name);
    // "HKEY_CURRENT_USER" and the other full root names, upper case only; hkey::None otherwise.
    static RegKey RootKeyFromFullName(const std::string& upper_name);

    // False when the value could not be written.
    bool WriteStringValue(const std::string& root, const std::string& key_path, const std::string& value_name,
                          const std::string& text);
    void WriteDWordValue(const std::string& root, const std::string& key_path, const std::string& value_name,
                         std::int32_t number);
    void DeleteRegValue(const std::string& root, const std::string& key_path, const std::string& value_name);
    std::int32_t ReadDWordValue(const std::string& root, const std::string& key_path, const std::string& value_name,
                                std::int32_t default_value);
    // A string value up to its first NUL; with `or_unexpanded`, a value with unexpanded
    // environment references is taken as stored too.
    std::string ReadStringValue(RegKey root, const std::string& key_path, const std::string& value_name,
                                const std::string& default_value = "", bool or_unexpanded = false);
    // "HKEY_CURRENT_USER\Software\...\Sound Mapper\Playback": root, key path, value name.
    std::string ReadValueByPath(const std::string& full_path);

    // Ends the program with a message when the application title is blank.
    void CheckAppName();
    void SaveAppSetting(const std::string& section, const std::string& key, const std::string& value);
    void SaveAppSetting(const std::string& section, const std::string& key, long value) {
        SaveAppSetting(section, key, std::to_string(value));
    }
    std::string GetAppSetting(const std::string& section, const std::string& key,
                              const std::string& default_value);
    // The stored text ("" when there is none); nothing when the store could not be read.
    std::optional<std::string> ReadAppSetting(const std::string& section, const std::string& key);

    // Reads values of one section with its key opened once (a card record has nineteen);
    // each reads as ReadAppSetting would.
    class SectionReader {
    public:
        SectionReader(Registry& registry, const std::string& section);
        ~SectionReader();
        SectionReader(const SectionReader&) = delete;
        SectionReader& operator=(const SectionReader&) = delete;
        std::optional<std::string> Read(const std::string& key);

    private:
        RegistryPort& port_;
        std::optional<RegKey> key_;
        bool unreadable_ = false;  // the section is there but could not be opened
    };

private:
    std::string SectionKeyPath(const std::string& section) const;

    Platform& platform_;
    std::string app_title_;
};

}  // namespace varlindo
