#pragma once

#include "base/result.h"

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace korvane {

struct SettingValue
{
    std::string key;
    std::string value;
};

// Per-user store of text values addressed by application, section and key.
// A key that has never been written reads as the caller's default.
class SettingsStore
{
public:
    virtual ~SettingsStore() = default;

    virtual std::string getSetting(std::string_view application,
                                   std::string_view section,
                                   std::string_view key,
                                   std::string_view defaultValue) const = 0;

    // Stores the values in their order, in one durable write where the store allows it (a file is
    // rewritten once, atomically). Fails with the first failure's reason when a value could not be
    // made durable.
    virtual Result<>
    saveSettings(std::string_view application, std::string_view section, std::span<const SettingValue> values) = 0;

    // Whether the section's values can be read and stored at all; fails with the reason (a profile
    // file that is a folder or cannot be read, say), for telling the user at start. Such a section
    // reads as defaults and refuses every save.
    virtual Result<> usable(std::string_view /*application*/, std::string_view /*section*/) const { return {}; }

    // The names of the sections stored under the application (one per copy of the program), as the
    // store spells them, in no particular order. Only reads: never creates the application's place.
    virtual std::vector<std::string> sections(std::string_view application) const = 0;

    Result<>
    saveSetting(std::string_view application, std::string_view section, std::string_view key, std::string_view value)
    {
        const SettingValue one { std::string(key), std::string(value) };
        return saveSettings(application, section, std::span(&one, 1));
    }
};

} // namespace korvane
