#include "platform/fake/fake_services.h"
#include "platform/shutdown_guard.h"

#include <gtest/gtest.h>

namespace korvane {
namespace {

struct NodeShutdownGuardTest : ::testing::Test
{
    fake::ShutdownGuard guard;
    std::vector<std::string> said;
    NodeShutdownGuard keeper { guard, [this](const std::string& message) { said.push_back(message); } };
};

TEST_F(NodeShutdownGuardTest, HeldWhileTheNodeRunsAndReleasedAfter)
{
    keeper.nodeRunning(false);
    EXPECT_EQ(guard.holds, 0);
    keeper.nodeRunning(true);
    keeper.nodeRunning(true);
    EXPECT_TRUE(guard.held());
    EXPECT_EQ(guard.holds, 1);
    keeper.nodeRunning(false);
    EXPECT_FALSE(guard.held());
    EXPECT_EQ(guard.releases, 1);
    EXPECT_TRUE(said.empty());

    // A stop before the answer: the late answer holds nothing.
    guard.answerLater = true;
    keeper.nodeRunning(true);
    keeper.nodeRunning(false);
    guard.answer();
    EXPECT_FALSE(guard.held());

    // Still running when the keeper goes: the guard goes with it.
    guard.answerLater = false;
    {
        NodeShutdownGuard other(guard, [](const std::string&) {});
        other.nodeRunning(true);
        EXPECT_TRUE(guard.held());
    }
    EXPECT_FALSE(guard.held());
}

TEST_F(NodeShutdownGuardTest, SaysOnceWhenNoGuardCanBeHad)
{
    guard.problemText = "logind is not on the system bus";
    for (int run = 0; run < 3; ++run) {
        keeper.nodeRunning(true);
        keeper.nodeRunning(false);
    }
    EXPECT_EQ(guard.holds, 3);
    ASSERT_EQ(said.size(), 1u);
    EXPECT_EQ(said[0], "Shutdown is not held off while the node runs: logind is not on the system bus");
}

} // namespace
} // namespace korvane
