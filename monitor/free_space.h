#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>

namespace korvane {

// How fast the blockchain folder grows, from the measurements of the last hours.
class FolderGrowth
{
public:
    using Time = std::chrono::steady_clock::duration; // since any fixed moment
    static constexpr auto kKept = std::chrono::hours(6);
    static constexpr auto kShortestSpan = std::chrono::hours(1);

    void add(Time now, std::uint64_t bytes);
    // Bytes a day between the oldest and the newest measurement kept, once they are an hour apart.
    std::optional<double> bytesPerDay() const;

private:
    struct Sample
    {
        Time when;
        std::uint64_t bytes;
    };
    std::deque<Sample> m_samples;
};

// A size as a person reads it at a glance: "52.3 GB", "812 MB", "0 B" (powers of 1000).
std::string shortSize(double bytes);

// Days until the disk is full at the measured growth; empty while it does not grow.
std::optional<double> daysUntilFull(std::uint64_t freeBytes, std::optional<double> growthPerDay);

// The line under the folder's size: "Free: 52.3 GB - growing 1.2 GB a day, full in about 43 days",
// or with "growth: not enough samples yet" until there are.
std::string freeSpaceLine(std::uint64_t freeBytes, std::optional<double> growthPerDay);

// The free space below which the user is warned, from the profile's text: a number of gigabytes
// from 0 to 1,000,000 ("10", "2.5"). Any other text gives the key's default and says why.
struct LowSpaceThreshold
{
    std::uint64_t bytes = 0;
    std::string refusal; // names the profile's field and its text; empty when the text was taken
};
LowSpaceThreshold lowSpaceThreshold(std::string_view gigabytes);

// A warning when the folder's file system has less free space than `thresholdBytes`, or than 30
// days of the measured growth; empty otherwise. A node shuts itself down when the disk is full.
std::string lowSpaceWarning(std::uint64_t freeBytes, std::optional<double> growthPerDay, std::uint64_t thresholdBytes);

} // namespace korvane
