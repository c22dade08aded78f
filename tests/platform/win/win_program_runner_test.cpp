#include "platform/win/toolhelp_process_table.h"
#include "platform/win/win_program_runner.h"
#include "tests/platform/win/win_test_support.h"

#include <gtest/gtest.h>
#include <thread>

namespace korvane {
namespace {

using namespace std::chrono_literals;

std::string helper()
{
    const std::u8string path = test::helperProgram().u8string();
    return std::string(path.begin(), path.end());
}

TEST(WinProgramRunner, PassesTheArgumentsEnvironmentAndFolderAndCapturesBothStreams)
{
    WinProgramRunner runner;
    const ProgramOutput output = runner.run(
        { helper(), { "print", "-datadir=C:\\Node Data\\", "a\"b", "" }, { { "KORVANE_RUN", "set" } }, 20s });
    ASSERT_EQ(output.outcome, ProgramOutcome::Finished) << output.error;
    EXPECT_EQ(output.exitCode, 3);
    std::string lines = output.standardOutput;
    std::erase(lines, '\r'); // its standard output is in text mode
    EXPECT_EQ(lines, "-datadir=C:\\Node Data\\\na\"b\n\n");
    EXPECT_EQ(output.standardError, "set");

    const test::TemporaryFolder folder;
    ProgramRun inFolder { helper(), { "record", "recorded" }, {}, 20s, folder.text() };
    ASSERT_EQ(runner.run(inFolder).outcome, ProgramOutcome::Finished);
    EXPECT_TRUE(std::filesystem::exists(folder.path() / "recorded")) << "a relative path is taken from its folder";

    const ProgramOutput missing = runner.run({ "C:\\no such folder\\litecoind.exe", {}, {} });
    EXPECT_EQ(missing.outcome, ProgramOutcome::NotStarted);
    EXPECT_FALSE(missing.error.empty());
}

TEST(WinProgramRunner, EndsTheProgramAtTheLimitOrWhenStopped)
{
    const test::TemporaryFolder folder;
    WinProgramRunner runner;
    const auto started = std::chrono::steady_clock::now();
    const ProgramOutput output = runner.run({ helper(), { "wait", folder.text("running") }, {}, 1000ms });
    EXPECT_EQ(output.outcome, ProgramOutcome::TimedOut);
    EXPECT_LT(std::chrono::steady_clock::now() - started, 10s);

    std::stop_source stop;
    stop.request_stop();
    EXPECT_EQ(runner.run({ helper(), { "wait", folder.text("again") }, {}, 20s }, stop.get_token()).outcome,
              ProgramOutcome::Stopped);
}

// A run's process is the runner's own while it runs and for a while after its end.
TEST(WinProgramRunner, KnowsItsOwnProcessesWhileTheyRunAndAfter)
{
    const test::TemporaryFolder folder;
    WinProgramRunner runner;
    ToolhelpProcessTable table;
    std::vector<ProcessId> seenRunning;
    std::thread watcher([&] {
        test::waitUntil([&] {
            for (const ProcessId id : runner.ownProcesses()) {
                if (table.isRunning(id))
                    seenRunning.push_back(id);
            }
            return !seenRunning.empty();
        });
    });
    const ProgramOutput output = runner.run({ helper(), { "wait", folder.text("running") }, {}, 2000ms });
    watcher.join();
    EXPECT_EQ(output.outcome, ProgramOutcome::TimedOut);
    ASSERT_EQ(seenRunning.size(), 1u);
    EXPECT_EQ(runner.ownProcesses(), seenRunning);
    EXPECT_FALSE(table.isRunning(seenRunning[0]));
}

} // namespace
} // namespace korvane
