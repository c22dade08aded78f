#pragma once

#include "platform/settings_store.h"

namespace korvane {

// Settings in the current user's registry, one key per section under
// HKEY_CURRENT_USER\Software\VB and VBA Program Settings\<application>\<section>,
// one string value per setting. Value names are compared without regard to letter case.
class RegistrySettingsStore : public SettingsStore
{
public:
    std::string getSetting(std::string_view application,
                           std::string_view section,
                           std::string_view key,
                           std::string_view defaultValue) const override;
    Result<>
    saveSettings(std::string_view application, std::string_view section, std::span<const SettingValue> values) override;

    // The subkeys of the application's key.
    std::vector<std::string> sections(std::string_view application) const override;
};

} // namespace korvane
