#pragma once

#include "platform/settings_store.h"
#include "settings/keys.h"

#include <cstdint>
#include <functional>
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
    using FailureHandler = std::function<void(const std::string& reason)>;

    Profile(SettingsStore& store, const OwnExecutable& executable);

    std::string section() const;
    // Why this profile cannot be read or stored, for telling the user; empty when it is usable.
    std::string problem() const;

    std::string text(Key key) const;
    std::int16_t tickState(Key key) const;
    bool ticked(Key key) const { return tickState(key) != 0; }
    Geometry geometry(WindowId window) const;

    bool setText(Key key, std::string_view value);
    bool setTicked(Key key, bool ticked);
    // Stores the values in their order with one write of the store.
    bool setValues(std::span<const KeyValue> values);
    bool savePosition(WindowId window, float left, float top);

    // Called with the reason whenever a value could not be stored.
    void setFailureHandler(FailureHandler handler) { m_onFailure = std::move(handler); }

private:
    std::string read(std::string_view key, std::string_view defaultValue) const;
    bool write(std::span<const SettingValue> values);
    float coordinate(WindowId window, GeometryPart part, float defaultValue) const;

    SettingsStore& m_store;
    const OwnExecutable& m_executable;
    FailureHandler m_onFailure;
};

// Decimal text of a number as the store keeps it: "1000", "1234.5", "100000".
std::string coordinateText(float value);
// A tick state as the store keeps it: "1" or "0".
std::string_view tickText(bool ticked);

} // namespace korvane
