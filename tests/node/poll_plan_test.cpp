#include "node/poll_plan.h"

#include <gtest/gtest.h>

namespace korvane {
namespace {

int chainInfoCalls(PollPlan& plan, bool synced, double took)
{
    int calls = 0;
    for (double now = 0; now < 60; now += PollPlan::kPollPeriod) {
        const std::vector<NodeCall> poll = plan.poll(now, synced);
        EXPECT_EQ(poll.size(), 3u);
        if (poll.front() == NodeCall::ChainInfo) {
            ++calls;
            plan.chainInfoAnswered(now, took);
        }
    }
    return calls;
}

TEST(PollPlan, TheLockingCallEasesOffWhileCatchingUpOrSlow)
{
    PollPlan synced;
    EXPECT_EQ(chainInfoCalls(synced, true, 0.01), 30) << "every 2 s when synced";
    PollPlan catchingUp;
    EXPECT_EQ(chainInfoCalls(catchingUp, false, 0.01), 6) << "every 10 s while catching up";
    PollPlan slow;
    EXPECT_EQ(chainInfoCalls(slow, true, 1.5), 6) << "every 10 s after a call that took over 1 s";
}

} // namespace
} // namespace korvane
