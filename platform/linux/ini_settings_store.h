#pragma once

#include "platform/settings_store.h"

#include <string>

namespace korvane {

// One INI file per section: $XDG_CONFIG_HOME/<application>/<section>.ini (~/.config when
// XDG_CONFIG_HOME is unset, empty or relative). Keys are compared without regard to letter case;
// values may hold any characters, line breaks included. Only the keys under the file's first
// section header are read; every other line is kept as it stands. Every read looks at the file
// afresh; every write replaces it atomically, readable by its owner only and keeping its owner,
// and through a symbolic link replaces the link's target; a file with other names (hard links) is
// rewritten in place instead, so that they stay one file. A file that is not a readable regular
// file reads as defaults, fails usable() and is never written over.
class IniSettingsStore : public SettingsStore
{
public:
    std::string getSetting(std::string_view application,
                           std::string_view section,
                           std::string_view key,
                           std::string_view defaultValue) const override;

    Result<>
    saveSettings(std::string_view application, std::string_view section, std::span<const SettingValue> values) override;

    Result<> usable(std::string_view application, std::string_view section) const override;

    // The "<section>.ini" regular files (or links to one) in the application's folder.
    std::vector<std::string> sections(std::string_view application) const override;
};

} // namespace korvane
