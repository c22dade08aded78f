#include "node/debug_log.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace korvane {
namespace {

// Logs written by Debian's litecoind 0.21 on regtest.
std::string recordedLog(const char* name)
{
    std::ifstream file(std::string(KORVANE_NODE_TEST_DATA) + "/" + name, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

TEST(DebugLog, TellsACleanStopFromAKillAndAFailedStart)
{
    const auto clean = logRuns(recordedLog("litecoind-clean-stop.log"), true);
    ASSERT_EQ(clean.size(), 1u);
    EXPECT_TRUE(clean[0].started);
    EXPECT_TRUE(clean[0].closedCleanly);
    EXPECT_EQ(clean[0].firstTime, "2026-12-09T17:58:32Z");
    EXPECT_EQ(clean[0].lastTime, "2026-12-09T17:58:36Z");
    EXPECT_EQ(clean[0].progress, "Done loading");
    EXPECT_TRUE(clean[0].loaded);

    // Killed with SIGKILL, then started again: the first run never closed.
    const auto killed = logRuns(recordedLog("litecoind-killed-then-started.log"), true);
    ASSERT_EQ(killed.size(), 2u);
    EXPECT_FALSE(killed[0].closedCleanly);
    EXPECT_FALSE(killed[0].shutdownBegun);
    EXPECT_EQ(killed[0].lastTime, "2026-12-09T17:58:39Z");
    EXPECT_FALSE(killed[1].closedCleanly) << "still running when the log was read";

    // A start that failed: the node says why, then shuts down cleanly all the same.
    const auto failed = logRuns(recordedLog("litecoind-failed-start.log"), true);
    ASSERT_EQ(failed.size(), 1u);
    EXPECT_TRUE(failed[0].closedCleanly);
    EXPECT_EQ(failed[0].lastError, "Error: Failed to listen on any port. Use -listen=0 if you want this.");
    EXPECT_FALSE(failed[0].loaded);
}

// The run before the current one: for a node seen already running, a run that opened since it was
// seen is its own; a node started here starts after the text read.
TEST(DebugLog, TheRunBeforeTheCurrentOneTellsWhetherTheLastStopWasClean)
{
    const std::string killedThenStarted = recordedLog("litecoind-killed-then-started.log");
    const std::int64_t secondRunOpened = logTimeSeconds("2026-12-09T17:58:44Z");
    const auto seenRunning = previousRun(killedThenStarted, true, secondRunOpened - 10);
    ASSERT_TRUE(seenRunning);
    EXPECT_FALSE(seenRunning->closedCleanly);
    EXPECT_EQ(seenRunning->lastTime, "2026-12-09T17:58:39Z");
    const auto before = previousRun(recordedLog("litecoind-clean-stop.log"), true, std::nullopt);
    ASSERT_TRUE(before);
    EXPECT_TRUE(before->closedCleanly);
    EXPECT_FALSE(previousRun("", true, std::nullopt));
}

TEST(DebugLog, ReadsTailsCutLinesProgressAndCorruption)
{
    const std::string tail = "ll line\n"
                             "2026-12-09T10:00:00.123456Z init message: Loading block index...\n"
                             "2026-12-09T10:00:01Z Rolling forward 6a2b... (120)\n"
                             "2026-12-09T10:00:02Z : Corrupted block database detected.\n"
                             "2026-12-09T10:00:02Z Please restart with -reindex or -reindex-chainstate to recover.\n"
                             "2026-12-09T10:00:03Z Update\xff\xfe";
    const auto runs = logRuns(tail, false);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_FALSE(runs[0].started) << "the tail began inside a run";
    EXPECT_EQ(runs[0].firstTime, "2026-12-09T10:00:00.123456Z");
    EXPECT_EQ(runs[0].lastTime, "2026-12-09T10:00:03Z") << "a line cut mid-write still counts";
    EXPECT_EQ(runs[0].progress, "Rolling forward 6a2b... (120)");
    EXPECT_TRUE(runs[0].corrupted);
    EXPECT_EQ(runs[0].corruption, "Please restart with -reindex or -reindex-chainstate to recover.");

    EXPECT_EQ(reindexOption(runs[0]), "-reindex-chainstate");
    LogRun blockIndex;
    blockIndex.corrupted = true;
    blockIndex.corruption = "Corrupted block database detected.";
    EXPECT_EQ(reindexOption(blockIndex), "-reindex");
    EXPECT_EQ(reindexOption(LogRun {}), "");

    EXPECT_EQ(logTimeSeconds("2026-12-09T17:49:44Z"), 1796838584);
    EXPECT_EQ(logTimeSeconds("not a time"), -1);
}

} // namespace
} // namespace korvane
