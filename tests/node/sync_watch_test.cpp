#include "node/node_status.h"
#include "node/sync_watch.h"

#include <gtest/gtest.h>

namespace korvane {
namespace {

// Answers every 2 s from `from` to `to` seconds, the progress rising by `perSecond`.
void answer(
    SyncWatch& watch, double from, double to, double& progress, std::int64_t& blocks, double perSecond, int peers = 3)
{
    for (double at = from; at < to; at += 2) {
        progress += perSecond * 2;
        blocks += perSecond > 0 ? 10 : 0;
        watch.add(at, blocks, progress, peers);
    }
}

TEST(SyncWatch, ATimeLeftOnlyFromASteadyRateAndEveryTroubleSaid)
{
    SyncWatch watch;
    double progress = 0.2;
    std::int64_t blocks = 1000;
    answer(watch, 0, 60, progress, blocks, 0.0001);
    EXPECT_FALSE(watch.view(60, true).secondsLeft) << "a minute is too short for a rate";
    EXPECT_EQ(timeLeftLine(watch.view(60, true)), "Time left: unknown (not enough answers yet)");

    // Steady: 0.01 % a second is 36 % an hour.
    answer(watch, 60, 600, progress, blocks, 0.0001);
    SyncWatch::View steady = watch.view(600, true);
    ASSERT_TRUE(steady.secondsLeft);
    EXPECT_NEAR(*steady.progressPerHour, 0.36, 1e-6);
    EXPECT_NEAR(*steady.secondsLeft, (1 - progress) / 0.0001, 5);
    EXPECT_EQ(progressText(progress, steady), "Progress: " + percentText(progress) + ", +36.00 % an hour");

    // Unsteady: the rate of the last five minutes is four times the first's.
    answer(watch, 600, 900, progress, blocks, 0.0004);
    const SyncWatch::View unsteady = watch.view(900, true);
    EXPECT_TRUE(unsteady.unsteady);
    EXPECT_FALSE(unsteady.secondsLeft);
    EXPECT_EQ(timeLeftLine(unsteady), "Time left: unknown (the rate is unsteady)");

    // Stalled behind, and no peer: each said.
    answer(watch, 900, 1300, progress, blocks, 0, 0);
    const SyncWatch::View stalled = watch.view(1300, true);
    ASSERT_TRUE(stalled.stalledFor);
    EXPECT_EQ(troubleText(syncTroubles(stalled, std::nullopt)), "stalled: no new block for 6 min; no peer for 6 min");
    EXPECT_FALSE(watch.view(1300, false).stalledFor) << "a synced node has no block to wait for";

    // A synced node's stale tip.
    EXPECT_EQ(syncTroubles(SyncWatch::View {}, 4800)[2], "the tip is stale: last block 1 h ago");
}

} // namespace
} // namespace korvane
