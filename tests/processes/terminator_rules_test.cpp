#include "processes/terminator_rules.h"

#include <gtest/gtest.h>

namespace korvane {
namespace {

constexpr RowAccess kUsable { true, true };
constexpr RowAccess kLocked { false, false };

TEST(TerminatorRules, RowIsUsableWhileItsProgramRuns)
{
    EXPECT_EQ(terminatorAccess({ false, false, false, false }), (std::array { kLocked, kLocked, kLocked, kLocked }));
    EXPECT_EQ(terminatorAccess({ true, false, true, true }), (std::array { kUsable, kLocked, kUsable, kUsable }));
}

TEST(TerminatorRules, RunningDaemonDisablesTheWalletNameFieldButNotItsButton)
{
    EXPECT_EQ(terminatorAccess({ true, true, false, false }),
              (std::array { RowAccess { true, false }, kUsable, kLocked, kLocked }));
}

TEST(TerminatorRules, ReportNamesEveryRefusalAndNothingElse)
{
    EXPECT_EQ(terminationReport("bitcoind", { 2, {} }), "");
    EXPECT_EQ(
        terminationReport("bitcoind", { 1, { "process 12: Operation not permitted", "process 14: No such file" } }),
        "bitcoind NOT TERMINATED: process 12: Operation not permitted; process 14: No such file");
}

} // namespace
} // namespace korvane
