#include "monitor/scanner.h"

#include <gtest/gtest.h>
#include <string>

namespace korvane {
namespace {

// The lights as text, left to right: '#' red, '.' dark.
std::string shown(const Scanner& scanner)
{
    std::string text;
    for (const bool lit : scanner.lit())
        text += lit ? '#' : '.';
    return text;
}

TEST(Scanner, OneRedLightRunsThereAndBackWithADarkStepAtEachEnd)
{
    Scanner scanner;
    EXPECT_EQ(shown(scanner), "#######");
    scanner.start();
    const std::vector<std::string> afterEachStep {
        // The first sweep darkens the lights that are all red at the start.
        "#######",
        ".######",
        "..#####",
        "...####",
        "....###",
        ".....##",
        "......#",
        ".......",
        "......#",
        ".....#.",
        "....#..",
        "...#...",
        "..#....",
        ".#.....",
        "#......",
        ".......",
        // From the second cycle on, a single light travels.
        "#......",
        ".#.....",
        "..#....",
    };
    for (std::size_t i = 0; i < afterEachStep.size(); ++i) {
        EXPECT_EQ(scanner.nextStep(), static_cast<int>(i % kScannerStepCount) + 1);
        scanner.step();
        EXPECT_EQ(shown(scanner), afterEachStep[i]) << "step " << i + 1;
    }
}

TEST(Scanner, AStopAtAnyStepShowsAllRedAndARestartBeginsAtStepOne)
{
    for (int stopAfter = 1; stopAfter <= kScannerStepCount; ++stopAfter) {
        SCOPED_TRACE(stopAfter);
        Scanner scanner;
        scanner.start();
        for (int i = 0; i < stopAfter; ++i)
            scanner.step();
        scanner.stop();
        EXPECT_EQ(shown(scanner), "#######");
        scanner.step(); // a step that was already on its way
        EXPECT_EQ(shown(scanner), "#######");

        scanner.start();
        EXPECT_EQ(scanner.nextStep(), 1);
        scanner.step();
        scanner.step();
        EXPECT_EQ(shown(scanner), ".######");
    }
}

} // namespace
} // namespace korvane
