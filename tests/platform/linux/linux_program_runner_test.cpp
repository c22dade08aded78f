#include "platform/linux/linux_process_table.h"
#include "platform/linux/linux_program_runner.h"
#include "tests/helpers/temporary_folder.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <thread>

namespace korvane {
namespace {

using namespace std::chrono_literals;

ProgramRun shell(std::string script, std::chrono::milliseconds limit = 5000ms)
{
    return { "sh", { "-c", std::move(script) }, { { "KORVANE_RUN", "set for the child" } }, limit };
}

TEST(LinuxProgramRunner, CapturesBothStreamsTheExitCodeAndRunsWithTheEnvironmentAndFolderGiven)
{
    LinuxProgramRunner runner;
    const ProgramOutput output = runner.run(shell("echo \"$KORVANE_RUN\"; echo two >&2; cat; exit 3"));
    EXPECT_EQ(output.outcome, ProgramOutcome::Finished);
    EXPECT_EQ(output.exitCode, 3);
    EXPECT_EQ(output.standardOutput, "set for the child\n") << "its input is empty";
    EXPECT_EQ(output.standardError, "two\n");

    const test::TemporaryFolder folder;
    test::writeFile(folder.path() / "plain", "#!/bin/sh\n");
    EXPECT_EQ(runner.run({ folder.text("missing"), {}, {} }).error, "No such file or directory");
    const ProgramOutput plain = runner.run({ folder.text("plain"), {}, {} });
    EXPECT_EQ(plain.outcome, ProgramOutcome::NotStarted);
    EXPECT_EQ(plain.error, "Permission denied");

    ProgramRun inFolder = shell("pwd");
    inFolder.workingFolder = folder.text();
    EXPECT_EQ(runner.run(inFolder).standardOutput, folder.text() + "\n");
    inFolder.workingFolder = folder.text("missing");
    EXPECT_EQ(runner.run(inFolder).outcome, ProgramOutcome::NotStarted);
}

// At the limit the program and what it started end, and the run returns at once.
TEST(LinuxProgramRunner, KillsTheProgramAndItsChildrenAtTheLimitOrWhenStopped)
{
    LinuxProgramRunner runner;
    const auto started = std::chrono::steady_clock::now();
    const ProgramOutput output = runner.run(shell("sleep 60 & echo $!; wait", 300ms));
    EXPECT_EQ(output.outcome, ProgramOutcome::TimedOut);
    EXPECT_LT(std::chrono::steady_clock::now() - started, 3s);
    const pid_t sleeper = std::stoi(output.standardOutput);
    for (int tries = 0; tries < 100 && ::kill(sleeper, 0) == 0; ++tries)
        std::this_thread::sleep_for(20ms);
    EXPECT_NE(::kill(sleeper, 0), 0) << "the program's child is gone";

    std::stop_source stop;
    std::jthread stopper([&stop] {
        std::this_thread::sleep_for(200ms);
        stop.request_stop();
    });
    EXPECT_EQ(runner.run(shell("sleep 60"), stop.get_token()).outcome, ProgramOutcome::Stopped);
}

// A run's process is the runner's own while it runs and for a while after its end; a program that
// never started adds nothing.
TEST(LinuxProgramRunner, KnowsItsOwnProcessesWhileTheyRunAndAfter)
{
    LinuxProgramRunner runner;
    LinuxProcessTable table;
    std::vector<ProcessId> seenRunning;
    std::jthread watcher([&] {
        for (int tries = 0; tries < 500 && seenRunning.empty(); ++tries) {
            for (const ProcessId id : runner.ownProcesses()) {
                if (table.isRunning(id))
                    seenRunning.push_back(id);
            }
            std::this_thread::sleep_for(10ms);
        }
    });
    const ProgramOutput output = runner.run(shell("echo $$; sleep 0.5"));
    watcher.join();
    const ProcessId run = std::stoll(output.standardOutput);
    EXPECT_EQ(seenRunning, std::vector<ProcessId> { run });
    EXPECT_EQ(runner.ownProcesses(), std::vector<ProcessId> { run });
    EXPECT_FALSE(table.isRunning(run));

    EXPECT_EQ(runner.run({ "korvane-no-such-program", {}, {} }).outcome, ProgramOutcome::NotStarted);
    EXPECT_EQ(runner.ownProcesses(), std::vector<ProcessId> { run });
}

} // namespace
} // namespace korvane
