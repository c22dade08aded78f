#pragma once

#include "base/result.h"
#include "platform/settings_store.h"
#include "settings/keys.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace korvane {

class OwnExecutable;

struct KeyValue
{
    Key key;
    std::string value;
};

// This copy's profile: the values stored under the application name and a section named after the
// executable's file name, which is read afresh at every access. Typed reads fall back to the key's
// default when the stored text is not a number.
class Profile
{
public:
    Profile(SettingsStore& store, const OwnExecutable& executable);

    std::string section() const;
    // Whether the profile can be read and stored as it stands, or why not.
    Result<> usable() const;

    std::string text(Key key) const;
    std::int16_t tickState(Key key) const;
    bool ticked(Key key) const { return tickState(key) != 0; }
    Geometry geometry(WindowId window) const;

    // Each write fails with "Could not store <key or the profile>: <the store's reason>".
    Result<> setText(Key key, std::string_view value);
    Result<> setTicked(Key key, bool ticked);
    // Stores the values in their order with one write of the store.
    Result<> setValues(std::span<const KeyValue> values);
    Result<> savePosition(WindowId window, float left, float top);

private:
    std::string read(std::string_view key, std::string_view defaultValue) const;
    Result<> write(std::span<const SettingValue> values);
    float coordinate(WindowId window, GeometryPart part, float defaultValue) const;

    SettingsStore& m_store;
    const OwnExecutable& m_executable;
};

// A text of the profile of that name in the store, this copy's or another's; how one copy reads
// another's profile, which it never writes.
std::string storedText(const SettingsStore& store, std::string_view profileName, Key key);

// Decimal text of a number as the store keeps it: "1000", "1234.5", "100000".
std::string coordinateText(float value);
// A tick state as the store keeps it: "1" or "0".
std::string_view tickText(bool ticked);

} // namespace korvane
