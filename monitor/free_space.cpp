#include "monitor/free_space.h"

#include "base/decimal_number.h"
#include "settings/keys.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace korvane {
namespace {

constexpr double kDaysOfGrowthKept = 30;
constexpr double kMostGigabytes = 1'000'000;
constexpr double kBytesPerGigabyte = 1e9;

} // namespace

void FolderGrowth::add(Time now, std::uint64_t bytes)
{
    m_samples.push_back({ now, bytes });
    while (now - m_samples.front().when > kKept)
        m_samples.pop_front();
}

std::optional<double> FolderGrowth::bytesPerDay() const
{
    if (m_samples.size() < 2)
        return std::nullopt;
    const auto span = m_samples.back().when - m_samples.front().when;
    if (span < kShortestSpan)
        return std::nullopt;
    const double grown = static_cast<double>(m_samples.back().bytes) - static_cast<double>(m_samples.front().bytes);
    const double days = std::chrono::duration<double, std::ratio<86400>>(span).count();
    return grown / days;
}

std::string shortSize(double bytes)
{
    constexpr std::array<const char*, 6> kUnits { "B", "KB", "MB", "GB", "TB", "PB" };
    std::size_t unit = 0;
    double value = std::fabs(bytes);
    while (value >= 999.95 && unit + 1 < kUnits.size()) {
        value /= 1000;
        ++unit;
    }
    char text[32];
    const bool whole = unit == 0 || value >= 100;
    std::snprintf(text, sizeof text, whole ? "%.0f %s" : "%.1f %s", value, kUnits[unit]);
    return text;
}

std::optional<double> daysUntilFull(std::uint64_t freeBytes, std::optional<double> growthPerDay)
{
    if (!growthPerDay || *growthPerDay <= 0)
        return std::nullopt;
    return static_cast<double>(freeBytes) / *growthPerDay;
}

std::string fullInText(double days)
{
    if (days < 1)
        return "full within a day";
    const auto whole = static_cast<long long>(days);
    return "full in about " + std::to_string(whole) + (whole == 1 ? " day" : " days");
}

std::string freeSpaceLine(std::uint64_t freeBytes, std::optional<double> growthPerDay)
{
    std::string line = "Free: " + shortSize(static_cast<double>(freeBytes)) + " - ";
    if (!growthPerDay)
        return line + "growth: not enough samples yet";
    if (*growthPerDay < 0)
        return line + "shrinking " + shortSize(*growthPerDay) + " a day";
    line += "growing " + shortSize(*growthPerDay) + " a day";
    if (const auto days = daysUntilFull(freeBytes, growthPerDay))
        line += ", " + fullInText(*days);
    return line;
}

LowSpaceThreshold lowSpaceThreshold(std::string_view gigabytes)
{
    if (const auto number = decimalNumber(gigabytes); number && *number >= 0 && *number <= kMostGigabytes)
        return { static_cast<std::uint64_t>(*number * kBytesPerGigabyte), {} };
    const KeyInfo& key = keyInfo(Key::LowSpaceGigabytes);
    const double fallback = decimalNumber(key.defaultValue).value_or(0);
    return { static_cast<std::uint64_t>(fallback * kBytesPerGigabyte),
             std::string(key.name) + " in the profile is \"" + std::string(gigabytes)
                 + "\", not a number of gigabytes from 0 to 1,000,000; the warning uses the default, "
                 + shortSize(fallback * kBytesPerGigabyte) };
}

std::string lowSpaceWarning(std::uint64_t freeBytes, std::optional<double> growthPerDay, std::uint64_t thresholdBytes)
{
    const std::string left = "Only " + shortSize(static_cast<double>(freeBytes)) + " free for the blockchain";
    const std::optional<double> days = daysUntilFull(freeBytes, growthPerDay);
    const std::string forecast = days ? "; at its growth the disk is " + fullInText(*days) : std::string();
    constexpr const char* kStops = "; the node stops when the disk is full";
    if (freeBytes < thresholdBytes)
        return left + ", less than " + shortSize(static_cast<double>(thresholdBytes)) + forecast + kStops;
    if (days && *days < kDaysOfGrowthKept)
        return left + forecast + kStops;
    return {};
}

} // namespace korvane
