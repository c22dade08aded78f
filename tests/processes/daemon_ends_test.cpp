#include "processes/daemon_ends.h"

#include <gtest/gtest.h>

namespace korvane {
namespace {

using namespace std::chrono_literals;

TEST(DaemonEnds, OnlyAnEndWithoutAStopFromHereIsUnexpected)
{
    DaemonEnds ends;
    ends.started();
    ends.stopAsked();
    EXPECT_FALSE(ends.ended(0s).unexpected);
    EXPECT_EQ(daemonEndNotice(ends.ended(0s), "14:05:09"), "The daemon ended by itself at 14:05:09");
    // A stop asked before the daemon started again does not cover its next end.
    ends.stopAsked();
    ends.started();
    const auto plan = ends.ended(1s);
    EXPECT_TRUE(plan.unexpected);
    EXPECT_FALSE(plan.restartAfter) << "restarting is off by default";
}

TEST(DaemonEnds, RestartsBackOffAndStopAfterFiveWithinTheHour)
{
    DaemonEnds ends;
    ends.setRestarting(true);
    auto now = std::chrono::steady_clock::duration(10h);
    for (int minutes : { 1, 2, 4, 8, 16 }) {
        ends.started();
        const auto plan = ends.ended(now);
        ASSERT_EQ(plan.restartAfter, std::chrono::minutes(minutes));
        now += *plan.restartAfter;
        ends.restarted(now);
    }
    ends.started();
    const auto exhausted = ends.ended(now);
    EXPECT_TRUE(exhausted.gaveUp);
    EXPECT_FALSE(exhausted.restartAfter);
    EXPECT_EQ(daemonEndNotice(exhausted, "10:31:00"),
              "The daemon ended by itself at 10:31:00; not restarting it: it was restarted 5 times within the hour");

    // An hour after the first restart, one restart is allowed again, after 16 minutes.
    const auto later = ends.ended(10h + 1min + 1h);
    EXPECT_EQ(later.restartAfter, 16min);
    EXPECT_EQ(daemonEndNotice(later, "11:01:00"),
              "The daemon ended by itself at 11:01:00; restarting it in 16 minutes");
    // After a quiet hour the back-off starts from one minute again.
    EXPECT_EQ(ends.ended(14h).restartAfter, 1min);
}

} // namespace
} // namespace korvane
