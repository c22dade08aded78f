#pragma once

#include <span>
#include <string>
#include <string_view>

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
    // rewritten once, atomically). Returns false, with the first failure's reason in `error`, when
    // a value could not be made durable.
    virtual bool saveSettings(std::string_view application,
                              std::string_view section,
                              std::span<const SettingValue> values,
                              std::string* error = nullptr)
        = 0;

    // Why the section's values cannot be read or stored at all (a profile file that is a folder or
    // cannot be read, say), for telling the user at start; empty when the section is usable. Such a
    // section reads as defaults and refuses every save.
    virtual std::string problem(std::string_view /*application*/, std::string_view /*section*/) const { return {}; }

    bool saveSetting(std::string_view application,
                     std::string_view section,
                     std::string_view key,
                     std::string_view value,
                     std::string* error = nullptr)
    {
        const SettingValue one { std::string(key), std::string(value) };
        return saveSettings(application, section, std::span(&one, 1), error);
    }
};

} // namespace korvane
