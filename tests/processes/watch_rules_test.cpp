#include "processes/watch_rules.h"

#include <gtest/gtest.h>

namespace korvane {
namespace {

// One process for each program that runs; the daemon's is 42.
ProcessQuery answer(bool qt, bool daemon, bool cli, bool email)
{
    const auto ids
        = [](bool runs, ProcessId id) { return runs ? std::vector<ProcessId> { id } : std::vector<ProcessId>(); };
    return std::vector { ids(qt, 7), ids(daemon, 42), ids(cli, 9), ids(email, 11) };
}

const WatchedNames kProfile { "bitcoin-qt", "bitcoind", "bitcoin-cli", "sendEmail" };

TEST(WatchRules, EveryLightNamesItsProgramAndState)
{
    const auto outcome = watchOutcome(kProfile, answer(true, false, true, false));
    EXPECT_EQ(outcome.lights[0], (LightLook { true, "bitcoin-qt - QT PROCESS RUNNING" }));
    EXPECT_EQ(outcome.lights[1], (LightLook { false, "bitcoind - DAEMON PROCESS STOPPED" }));
    EXPECT_EQ(outcome.lights[2], (LightLook { true, "bitcoin-cli - CLI PROCESS RUNNING" }));
    EXPECT_EQ(outcome.lights[3], (LightLook { false, std::string("sendEmail - PROCESS STOPPED") }));
    EXPECT_EQ(namesToTest(kProfile),
              (std::vector<std::string> { "bitcoin-qt", "bitcoind", "bitcoin-cli", "sendEmail" }));
}

TEST(WatchRules, CliStopButtonIsDisabledWhileTheClientRuns)
{
    EXPECT_EQ(watchOutcome(kProfile, answer(false, true, true, false)).cliStopEnabled, false);
    EXPECT_EQ(watchOutcome(kProfile, answer(false, true, false, false)).cliStopEnabled, true);
}

TEST(WatchRules, StartButtonsAreDisabledWhileTheWalletOrTheDaemonRuns)
{
    EXPECT_EQ(watchOutcome(kProfile, answer(true, false, false, false)).startButtonsEnabled, false);
    EXPECT_EQ(watchOutcome(kProfile, answer(false, true, false, false)).startButtonsEnabled, false);
    EXPECT_EQ(watchOutcome(kProfile, answer(false, false, true, true)).startButtonsEnabled, true);

    const WatchedNames noWalletName { "", "bitcoind", "", "sendEmail" };
    EXPECT_EQ(watchOutcome(noWalletName, answer(false, false, false, false)).startButtonsEnabled, true);
    EXPECT_EQ(watchOutcome(noWalletName, answer(false, true, false, false)).startButtonsEnabled, false);
}

TEST(WatchRules, TheDaemonsProcessesAreThoseThatAnswerToItsName)
{
    EXPECT_EQ(watchOutcome(kProfile, answer(false, true, false, false)).daemonProcesses, std::vector<ProcessId> { 42 });
    EXPECT_EQ(watchOutcome(kProfile, std::vector<std::vector<ProcessId>> { {}, { 42, 43 }, {}, {} }).daemonProcesses,
              (std::vector<ProcessId> { 42, 43 }));
    EXPECT_EQ(watchOutcome(kProfile, answer(true, false, true, true)).daemonProcesses, std::vector<ProcessId>());
    EXPECT_EQ(watchOutcome({ "bitcoin-qt", "", "", "sendEmail" }, answer(false, true, false, false)).daemonProcesses,
              std::vector<ProcessId>());
    EXPECT_FALSE(watchOutcome(kProfile, Failure { "cannot read /proc" }).daemonProcesses);
}

TEST(WatchRules, EmptyNamesLeaveTheirLightsAndButtonsAlone)
{
    const auto outcome = watchOutcome({ "", "", "", "sendEmail" }, answer(false, false, false, true));
    EXPECT_FALSE(outcome.lights[0] || outcome.lights[1] || outcome.lights[2]);
    EXPECT_EQ(outcome.lights[3]->running, true);
    EXPECT_FALSE(outcome.cliStopEnabled);
    // Without a daemon name the start buttons keep their state, whatever the wallet does.
    EXPECT_FALSE(
        watchOutcome({ "bitcoin-qt", "", "", "sendEmail" }, answer(true, false, false, false)).startButtonsEnabled);
}

TEST(WatchRules, UnreadableProcessTableKeepsColoursAndButtonsAndSaysWhy)
{
    const auto outcome
        = watchOutcome({ "bitcoin-qt", "", "", "sendEmail" }, Failure { "cannot read /proc: Permission denied" });
    EXPECT_EQ(
        outcome.lights[0],
        (LightLook { std::nullopt, "bitcoin-qt - QT PROCESS STATE UNKNOWN (cannot read /proc: Permission denied)" }));
    EXPECT_FALSE(outcome.lights[1]);
    EXPECT_FALSE(outcome.lights[3]->running);
    EXPECT_FALSE(outcome.cliStopEnabled || outcome.startButtonsEnabled);
}

} // namespace
} // namespace korvane
