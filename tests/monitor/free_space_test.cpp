#include "monitor/free_space.h"

#include <gtest/gtest.h>

namespace korvane {
namespace {

using namespace std::chrono_literals;
constexpr std::uint64_t GB = 1'000'000'000;

TEST(FreeSpace, GrowthNeedsAnHourOfMeasurementsAndKeepsSixHours)
{
    FolderGrowth growth;
    growth.add(0min, 100 * GB);
    growth.add(30min, 101 * GB);
    EXPECT_FALSE(growth.bytesPerDay());
    EXPECT_EQ(freeSpaceLine(52'345 * 1'000'000ull, growth.bytesPerDay()),
              "Free: 52.3 GB - growth: not enough samples yet");

    growth.add(60min, 102 * GB);
    ASSERT_TRUE(growth.bytesPerDay());
    EXPECT_DOUBLE_EQ(*growth.bytesPerDay(), 48.0 * GB);
    EXPECT_EQ(freeSpaceLine(812 * 1'000'000ull, growth.bytesPerDay()),
              "Free: 812 MB - growing 48.0 GB a day, full within a day");
    EXPECT_EQ(freeSpaceLine(500 * GB, growth.bytesPerDay()),
              "Free: 500 GB - growing 48.0 GB a day, full in about 10 days");

    // Measurements older than six hours drop out: the rate follows the recent ones.
    growth.add(7h, 102 * GB);
    growth.add(8h, 102 * GB);
    EXPECT_DOUBLE_EQ(*growth.bytesPerDay(), 0.0);
    growth.add(9h, 101 * GB);
    EXPECT_EQ(freeSpaceLine(0, growth.bytesPerDay()), "Free: 0 B - shrinking 12.0 GB a day");
}

TEST(FreeSpace, WarnsBelowTheThresholdOrThirtyDaysOfGrowth)
{
    EXPECT_EQ(lowSpaceWarning(9 * GB, std::nullopt, 10 * GB),
              "Only 9.0 GB free for the blockchain, less than 10.0 GB; the node stops when the disk is full");
    EXPECT_EQ(lowSpaceWarning(9 * GB, 2.0 * GB, 10 * GB),
              "Only 9.0 GB free for the blockchain, less than 10.0 GB; at its growth the disk is full in about 4 "
              "days; the node stops when the disk is full");
    EXPECT_EQ(lowSpaceWarning(50 * GB, std::nullopt, 10 * GB), "");
    EXPECT_EQ(
        lowSpaceWarning(50 * GB, 2.0 * GB, 10 * GB),
        "Only 50.0 GB free for the blockchain; at its growth the disk is full in about 25 days; the node stops when "
        "the disk is full");
    EXPECT_EQ(lowSpaceWarning(61 * GB, 2.0 * GB, 10 * GB), "");
    EXPECT_EQ(lowSpaceWarning(50 * GB, -2.0 * GB, 10 * GB), "");
}

TEST(FreeSpace, TheThresholdIsGigabytesFromNoneToAMillionElseTheDefault)
{
    EXPECT_EQ(lowSpaceThreshold("0").bytes, 0u);
    EXPECT_EQ(lowSpaceThreshold(" 2.5 ").bytes, 2'500'000'000u);
    const LowSpaceThreshold most = lowSpaceThreshold("1000000");
    EXPECT_EQ(most.bytes, 1'000'000 * GB);
    EXPECT_EQ(most.refusal, "");
    for (const char* refused : { "-5", "99999999999", "1000000.5", "abc", "", "1e3", "10 GB", "nan", "inf" }) {
        const LowSpaceThreshold threshold = lowSpaceThreshold(refused);
        EXPECT_EQ(threshold.bytes, 10 * GB) << refused;
        EXPECT_EQ(threshold.refusal,
                  "LOW_SPACE_GB_TEXTBOX in the profile is \"" + std::string(refused)
                      + "\", not a number of gigabytes from 0 to 1,000,000; the warning uses the default, 10.0 GB");
    }
}

TEST(FreeSpace, ShortSizesRoundToOneDecimalBelowAHundred)
{
    EXPECT_EQ(shortSize(0), "0 B");
    EXPECT_EQ(shortSize(999), "999 B");
    EXPECT_EQ(shortSize(999'960), "1.0 MB");
    EXPECT_EQ(shortSize(123'456'789), "123 MB");
    EXPECT_EQ(shortSize(1.5e18), "1500 PB");
}

} // namespace
} // namespace korvane
