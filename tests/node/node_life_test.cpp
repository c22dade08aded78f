#include "node/node_life.h"
#include "node/tray_state.h"

#include <functional>
#include <gtest/gtest.h>

namespace korvane {
namespace {

using enum NodeState;
using Kind = RpcOutcome::Kind;

EndEvidence uncleanLog()
{
    EndEvidence evidence;
    evidence.logRead = evidence.runInLog = true;
    return evidence;
}

EndEvidence cleanLog()
{
    EndEvidence evidence = uncleanLog();
    evidence.run.closedCleanly = true;
    return evidence;
}

EndEvidence unreadableLog(const char* problem)
{
    EndEvidence evidence;
    evidence.logProblem = problem;
    return evidence;
}

// One row: what happens to a node, in order, and what is then known of it.
struct Row
{
    const char* story;
    std::function<EndPlan(NodeLife&)> events; // returns the plan after an end, if there is one
    NodeState state;
    TrayState tray;
    const char* detail = ""; // a part of detail()
    const char* said = ""; // a part of the plan's message
    bool notice = false;
    std::optional<std::chrono::minutes> restart = {};
};

// A node started here at t=0, seen running at t=1, answering and synced at t=5.
void runningSynced(NodeLife& life)
{
    life.startedHere(0);
    life.processSeen(true, 1);
    life.answered(5, true);
}

TEST(NodeLife, EveryStateComesFromTheNodesOwnEvidence)
{
    const Row rows[] = {
        { "started here, RPC warming up",
          [](NodeLife& life) {
              life.startedHere(0);
              life.processSeen(true, 0.5);
              life.pollFailed({ Kind::RpcError, kRpcWarmUpError, "Loading block index..." });
              return EndPlan {};
          },
          Starting, TrayState::StartingOrSyncing, "Loading block index..." },
        { "answering but behind its headers",
          [](NodeLife& life) {
              life.processSeen(true, 0);
              life.answered(2, false);
              return EndPlan {};
          },
          CatchingUp, TrayState::StartingOrSyncing },
        { "two silent polls keep the last answer; the third says so",
          [](NodeLife& life) {
              runningSynced(life);
              life.pollFailed({ Kind::NoAnswer, 0, "no answer within 5 s" });
              life.pollFailed({ Kind::NoAnswer, 0, "no answer within 5 s" });
              EXPECT_EQ(life.state(), Synced);
              life.pollFailed({ Kind::NoAnswer, 0, "no answer within 5 s" });
              return EndPlan {};
          },
          StatusUnknown, TrayState::StartingOrSyncing, "no answer within 5 s" },
        { "another user's program serves the RPC port",
          [](NodeLife& life) {
              life.processSeen(true, 0);
              life.credentialsWithheld("port 9332 is served by another user's program; credentials withheld");
              return EndPlan {};
          },
          NotThisProfilesNode, TrayState::StartingOrSyncing, "credentials withheld" },
        { "a CLI stop that failed is no stop; the node's later death is unexpected",
          [](NodeLife& life) {
              runningSynced(life);
              life.setRestarting(true);
              life.stopRefused("Error parsing command line arguments: Invalid parameter -daemon=1\n");
              EXPECT_EQ(life.state(), Synced);
              EXPECT_EQ(life.stopRefusal(), "Error parsing command line arguments: Invalid parameter -daemon=1");
              life.processSeen(false, 600);
              return life.endEvidence(uncleanLog(), "14:05:09", 600);
          },
          EndedUnexpectedly, TrayState::Stopped, "",
          "The daemon ended unexpectedly at 14:05:09; its log does not show a clean stop; restarting it in 1 minute",
          true, std::chrono::minutes(1) },
        { "a stop accepted here, seen through",
          [](NodeLife& life) {
              runningSynced(life);
              life.setRestarting(true);
              life.stopAccepted(60);
              EXPECT_EQ(life.state(), Stopping);
              life.processSeen(false, 90);
              EXPECT_EQ(life.state(), Ending);
              return life.endEvidence(cleanLog(), "14:06:00", 90);
          },
          StoppedCleanly, TrayState::Stopped, "", "The daemon stopped cleanly at 14:06:00" },
        { "a stop from a terminal, restart ticked: no restart",
          [](NodeLife& life) {
              runningSynced(life);
              life.setRestarting(true);
              life.processSeen(false, 300);
              return life.endEvidence(cleanLog(), "14:07:00", 300);
          },
          StoppedCleanly, TrayState::Stopped },
        { "killed (kill -9), restart ticked: restarted after the back-off",
          [](NodeLife& life) {
              runningSynced(life);
              life.setRestarting(true);
              life.processSeen(false, 300);
              return life.endEvidence(uncleanLog(), "14:08:00", 300);
          },
          EndedUnexpectedly, TrayState::Stopped, "", "restarting it in 1 minute", true, std::chrono::minutes(1) },
        { "a second copy of the profile leaves the restart to the first",
          [](NodeLife& life) {
              runningSynced(life);
              life.setRestarting(true);
              life.setMayRestart(false, "the copy of \"LTC\" started first");
              life.processSeen(false, 300);
              return life.endEvidence(uncleanLog(), "14:09:00", 300);
          },
          EndedUnexpectedly, TrayState::Stopped, "", "; the copy of \"LTC\" started first restarts it", true },
        { "a start that fails on its conf: the node's own words, never restarted",
          [](NodeLife& life) {
              life.setRestarting(true);
              life.startedHere(0);
              life.processSeen(true, 0.3);
              life.processSeen(false, 0.6);
              EndEvidence evidence;
              evidence.output = "Error: Error reading configuration file: parse error on line 7: foo\n\n";
              evidence.logProblem = "no debug.log";
              return life.endEvidence(evidence, "14:10:00", 1);
          },
          FailedToStart, TrayState::Stopped, "Error: Error reading configuration file: parse error on line 7: foo",
          "The daemon failed to start: Error: Error reading configuration file", true },
        { "a start whose program ended before its daemon was ever seen",
          [](NodeLife& life) {
              life.startedHere(0);
              EXPECT_EQ(life.state(), Starting);
              life.startedProgramEnded(0.2);
              life.tick(2);
              EXPECT_EQ(life.state(), Starting) << "a -daemon fork may still be coming";
              life.tick(3.5);
              EXPECT_EQ(life.state(), Ending);
              EndEvidence evidence = uncleanLog();
              evidence.run.lastError = "Error: Cannot obtain a lock on data directory /d. Litecoin Core is probably "
                                       "already running.";
              return life.endEvidence(evidence, "14:11:00", 4);
          },
          FailedToStart, TrayState::Stopped, "Cannot obtain a lock on data directory", "", true },
        { "a node killed soon after a start that it completed is no failed start",
          [](NodeLife& life) {
              life.startedHere(0);
              life.processSeen(true, 1);
              life.processSeen(false, 5);
              EndEvidence evidence = uncleanLog();
              evidence.run.loaded = true;
              return life.endEvidence(evidence, "14:11:30", 5);
          },
          EndedUnexpectedly, TrayState::Stopped, "", "ended unexpectedly", true },
        { "a node stopped cleanly within the start window is a stop, not a failure",
          [](NodeLife& life) {
              life.startedHere(0);
              life.processSeen(true, 1);
              life.processSeen(false, 20);
              return life.endEvidence(cleanLog(), "14:12:00", 20);
          },
          StoppedCleanly, TrayState::Stopped },
        { "a log that cannot be read: how it ended is not known, and nothing is restarted",
          [](NodeLife& life) {
              runningSynced(life);
              life.setRestarting(true);
              life.processSeen(false, 300);
              return life.endEvidence(unreadableLog("cannot read /d/debug.log: Permission denied"), "14:13:00", 300);
          },
          Ended, TrayState::Stopped, "Permission denied", "whether it stopped cleanly is not known", true },
        { "the process terminator: no notice, no restart",
          [](NodeLife& life) {
              runningSynced(life);
              life.setRestarting(true);
              life.killAsked();
              life.processSeen(false, 300);
              return life.endEvidence(uncleanLog(), "14:14:00", 300);
          },
          EndedUnexpectedly, TrayState::Stopped, "", "ended with the process terminator" },
        { "started again after an end: the old end says nothing of the new run",
          [](NodeLife& life) {
              runningSynced(life);
              life.stopAccepted(10);
              life.processSeen(false, 20);
              life.endEvidence(cleanLog(), "14:15:00", 20);
              life.processSeen(true, 30);
              return EndPlan {};
          },
          Starting, TrayState::StartingOrSyncing },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.story);
        NodeLife life;
        const EndPlan plan = row.events(life);
        EXPECT_EQ(life.state(), row.state) << nodeStateName(life.state());
        EXPECT_EQ(trayState(life.state()), row.tray);
        EXPECT_NE(life.detail().find(row.detail), std::string::npos) << life.detail();
        EXPECT_NE(plan.message.find(row.said), std::string::npos) << plan.message;
        EXPECT_EQ(plan.notify, row.notice);
        EXPECT_EQ(plan.restartAfter, row.restart);
    }
}

TEST(NodeLife, AStopLimitThatIsNoNumberOfMinutesFallsBackToTheDefault)
{
    EXPECT_EQ(stopLimit("25").minutes, 25);
    EXPECT_TRUE(stopLimit(" 2.5 ").problem.empty());
    for (const char* wrong : { "abc", "-5", "0", "99999", "", "1e3" }) {
        SCOPED_TRACE(wrong);
        EXPECT_EQ(stopLimit(wrong).minutes, 10);
        EXPECT_NE(stopLimit(wrong).problem.find("NODE_STOP_LIMIT_MINUTES"), std::string::npos);
    }
}

} // namespace
} // namespace korvane
