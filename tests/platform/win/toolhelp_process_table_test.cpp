#include "platform/win/toolhelp_process_table.h"
#include "platform/win/win_launcher.h"
#include "platform/win/win_own_executable.h"
#include "platform/win/win_text.h"
#include "tests/platform/win/win_test_support.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <windows.h>

namespace korvane {
namespace {

using test::quoted;

// Copies of the helper program under two names: three that run as "korvane-sleeper.exe",
// one as "korvane-bystander.exe". Every copy still running at the end is ended.
class ToolhelpProcessTableTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const auto sleeper = test::copyHelper(folder.path(), "korvane-sleeper.exe");
        const auto bystander = test::copyHelper(folder.path(), "korvane-bystander.exe");
        for (int copy = 0; copy < 3; ++copy)
            startWaiting(sleeper, "sleeper-" + std::to_string(copy));
        startWaiting(bystander, "bystander");
    }

    void TearDown() override
    {
        table.terminateAll("korvane-sleeper.exe");
        table.terminateAll("korvane-bystander.exe");
        test::waitUntil([&] { return !isRunning("korvane-sleeper.exe") && !isRunning("korvane-bystander.exe"); });
    }

    void startWaiting(const std::filesystem::path& program, const std::string& marker)
    {
        const auto markerPath = folder.path() / marker;
        const LaunchResult started
            = WinLauncher().start(quoted(program) + " wait " + quoted(markerPath), WindowStyle::Hidden);
        ASSERT_TRUE(started) << started.error();
        ASSERT_TRUE(test::waitUntil([&] { return std::filesystem::exists(markerPath); }));
        if (marker == "bystander")
            bystanderId = started.value().processId;
        else
            sleepers.push_back(started.value().processId);
    }

    bool isRunning(const std::string& name)
    {
        const ProcessQuery query = table.queryRunning({ name });
        return query.ok() && !query.value().at(0).empty();
    }

    test::TemporaryFolder folder;
    ToolhelpProcessTable table;
    std::vector<ProcessId> sleepers; // in the order started
    ProcessId bystanderId = 0;
};

TEST_F(ToolhelpProcessTableTest, NamesAreMatchedInFullWithoutRegardToCaseAndGiveEachProcessId)
{
    const ProcessQuery query = table.queryRunning({ "KORVANE-SLEEPER.EXE", "korvane-sleeper", "", "orvane-sleeper.exe",
                                                    "korvane-sleeper.exe.exe", "Korvane-Bystander.Exe" });
    ASSERT_TRUE(query) << query.error();
    auto sleeperIds = query.value().at(0);
    std::sort(sleeperIds.begin(), sleeperIds.end());
    std::sort(sleepers.begin(), sleepers.end());
    EXPECT_EQ(sleeperIds, sleepers);
    EXPECT_EQ(query.value().at(5), std::vector<ProcessId> { bystanderId });
    for (std::size_t unknown = 1; unknown < 5; ++unknown)
        EXPECT_TRUE(query.value().at(unknown).empty()) << unknown;
}

TEST_F(ToolhelpProcessTableTest, AProcessRunsUntilItIsEnded)
{
    EXPECT_TRUE(table.isRunning(bystanderId));
    EXPECT_TRUE(table.isRunning(GetCurrentProcessId()));
    table.terminateAll("korvane-bystander.exe");
    EXPECT_TRUE(test::waitUntil([&] { return !table.isRunning(bystanderId); }));
    EXPECT_FALSE(table.isRunning(0));
    EXPECT_FALSE(table.isRunning(ProcessId { 1 } << 40));
}

TEST_F(ToolhelpProcessTableTest, TerminateEndsEveryProcessOfTheNameAndNoOther)
{
    const TerminateResult result = table.terminateAll("Korvane-Sleeper.EXE");
    EXPECT_EQ(result.killed, 3);
    EXPECT_TRUE(result.refusals.empty());

    EXPECT_TRUE(test::waitUntil([&] { return !isRunning("korvane-sleeper.exe"); }));
    EXPECT_TRUE(isRunning("korvane-bystander.exe"));
}

TEST_F(ToolhelpProcessTableTest, TerminatingAnEmptyOrUnknownNameEndsNothing)
{
    EXPECT_EQ(table.terminateAll("").killed, 0);
    EXPECT_EQ(table.terminateAll("korvane-sleeper").killed, 0);
    EXPECT_EQ(table.terminateAll("no-such-program.exe").killed, 0);
    EXPECT_TRUE(isRunning("korvane-sleeper.exe"));
    EXPECT_TRUE(isRunning("korvane-bystander.exe"));
}

TEST_F(ToolhelpProcessTableTest, ThisProgramIsNeverEndedButNamedAsARefusal)
{
    const TerminateResult result = table.terminateAll(WinOwnExecutable().name() + ".exe");
    EXPECT_EQ(result.killed, 0);
    ASSERT_EQ(result.refusals.size(), 1U);
    EXPECT_NE(result.refusals[0].find("this program itself"), std::string::npos) << result.refusals[0];
}

// A process of the name whose program cannot be confirmed is left running and reported as refused,
// with the reason, rather than passed over as if there were nothing to end.
TEST_F(ToolhelpProcessTableTest, AProcessWhoseNameCannotBeReadIsARefusal)
{
    ToolhelpProcessTable blind([](void*) -> std::optional<std::wstring> {
        SetLastError(ERROR_ACCESS_DENIED);
        return std::nullopt;
    });
    const TerminateResult result = blind.terminateAll("korvane-sleeper.exe");
    EXPECT_EQ(result.killed, 0);
    ASSERT_EQ(result.refusals.size(), 3U);
    EXPECT_NE(
        result.refusals[0].find("the name of its program cannot be read: " + win::systemMessage(ERROR_ACCESS_DENIED)),
        std::string::npos)
        << result.refusals[0];
    EXPECT_TRUE(isRunning("korvane-sleeper.exe"));
}

} // namespace
} // namespace korvane
