#pragma once

#include <string>
#include <string_view>

namespace korvane {

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

    // Returns false, with a reason in `error`, when the value could not be made durable.
    virtual bool saveSetting(std::string_view application,
                             std::string_view section,
                             std::string_view key,
                             std::string_view value,
                             std::string* error = nullptr)
        = 0;
};

} // namespace korvane
