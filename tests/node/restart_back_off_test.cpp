#include "node/restart_back_off.h"

#include <gtest/gtest.h>

namespace korvane {
namespace {

using namespace std::chrono_literals;

TEST(RestartBackOff, DoublesAndStopsAfterFiveWithinTheHour)
{
    RestartBackOff backOff;
    auto now = std::chrono::steady_clock::duration(10h);
    for (int minutes : { 1, 2, 4, 8, 16 }) {
        const auto pause = backOff.next(now);
        ASSERT_EQ(pause, std::chrono::minutes(minutes));
        now += *pause;
        backOff.restarted(now);
    }
    EXPECT_FALSE(backOff.next(now));
    // An hour after the first restart one is allowed again, after 16 minutes; after a quiet hour
    // the back-off starts from one minute again.
    EXPECT_EQ(backOff.next(10h + 1min + 1h), 16min);
    EXPECT_EQ(backOff.next(14h), 1min);
}

} // namespace
} // namespace korvane
