#include "settings/profile.h"

#include "platform/own_executable.h"
#include "platform/settings_store.h"

#include <charconv>
#include <cmath>
#include <optional>
#include <vector>

namespace korvane {
namespace {

template <typename Number> std::optional<Number> parseNumber(std::string_view text)
{
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    Number value {};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty())
        return std::nullopt;
    return value;
}

} // namespace

std::string coordinateText(float value)
{
    char buffer[64];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    return error == std::errc() ? std::string(buffer, end) : std::string("0");
}

std::string_view tickText(bool ticked)
{
    return ticked ? "1" : "0";
}

Profile::Profile(SettingsStore& store, const OwnExecutable& executable)
    : m_store(store)
    , m_executable(executable)
{
}

std::string Profile::section() const
{
    return m_executable.name();
}

Result<> Profile::usable() const
{
    return m_store.usable(kApplicationName, section());
}

std::string storedText(const SettingsStore& store, std::string_view profileName, Key key)
{
    const auto& info = keyInfo(key);
    return store.getSetting(kApplicationName, profileName, info.name, info.defaultValue);
}

std::string Profile::text(Key key) const
{
    return storedText(m_store, section(), key);
}

std::int16_t Profile::tickState(Key key) const
{
    const auto& info = keyInfo(key);
    if (auto state = parseNumber<std::int16_t>(read(info.name, info.defaultValue)))
        return *state;
    return parseNumber<std::int16_t>(info.defaultValue).value_or(0);
}

Geometry Profile::geometry(WindowId window) const
{
    const Geometry& defaults = windowInfo(window).defaults;
    return { coordinate(window, GeometryPart::Left, defaults.left), coordinate(window, GeometryPart::Top, defaults.top),
             coordinate(window, GeometryPart::Width, defaults.width),
             coordinate(window, GeometryPart::Height, defaults.height) };
}

Result<> Profile::setText(Key key, std::string_view value)
{
    const KeyValue one { key, std::string(value) };
    return setValues(std::span(&one, 1));
}

Result<> Profile::setTicked(Key key, bool ticked)
{
    return setText(key, tickText(ticked));
}

Result<> Profile::setValues(std::span<const KeyValue> values)
{
    std::vector<SettingValue> named;
    named.reserve(values.size());
    for (const auto& [key, value] : values)
        named.push_back({ std::string(keyName(key)), value });
    return write(named);
}

Result<> Profile::savePosition(WindowId window, float left, float top)
{
    const SettingValue position[] = { { geometryKey(window, GeometryPart::Left), coordinateText(left) },
                                      { geometryKey(window, GeometryPart::Top), coordinateText(top) } };
    return write(position);
}

std::string Profile::read(std::string_view key, std::string_view defaultValue) const
{
    return m_store.getSetting(kApplicationName, section(), key, defaultValue);
}

Result<> Profile::write(std::span<const SettingValue> values)
{
    Result<> saved = m_store.saveSettings(kApplicationName, section(), values);
    if (saved)
        return saved;
    const std::string what = values.size() == 1 ? values.front().key : "the profile";
    return Failure { "Could not store " + what + ": " + saved.error() };
}

float Profile::coordinate(WindowId window, GeometryPart part, float defaultValue) const
{
    const auto stored = parseNumber<float>(read(geometryKey(window, part), coordinateText(defaultValue)));
    return stored && std::isfinite(*stored) ? *stored : defaultValue;
}

} // namespace korvane
