#pragma once

#include "node/debug_log.h"
#include "node/node_status.h"
#include "node/restart_back_off.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvane {

// Where the node is, each state from the node's own evidence: its process, its RPC answers, its
// log and the answers to the requests made of it here.
enum class NodeState
{
    NotRunning, // no process of the daemon runs, and nothing is known of an end
    Starting, // the process runs; RPC does not answer yet, or answers that it is warming up
    CatchingUp, // blocks behind the headers, or the tip older than the coin's limit
    Synced, // out of the initial download, blocks = headers, the tip recent
    StatusUnknown, // the process runs, but what it says cannot be read (credentials refused, an error, silence)
    NotThisProfilesNode, // a process of the daemon's name runs, but another user's program serves the RPC port
    Stopping, // a stop was accepted and the process still runs
    Ending, // the process is gone; its log is being read
    StoppedCleanly, // its log closed the run with "Shutdown: done", whoever asked
    EndedUnexpectedly, // its log did not close the run
    Ended, // its log could not be read: how it ended is not known
    FailedToStart, // it ended within the start window of a start made here
};

// What is left of a run that ended, read once its process is gone.
struct EndEvidence
{
    bool logRead = false;
    std::string logProblem; // why it could not be read, in words
    LogRun run; // what the log holds of the run since it was seen to start
    bool runInLog = false; // the log grew since the run was seen to start
    std::string output; // what a daemon started here wrote on its standard output and error
};

// What the model does after an end.
struct EndPlan
{
    bool notify = false; // a desktop notice and the status line
    std::string message; // "The daemon ended unexpectedly at 14:05:09; restarting it in 1 minute"
    std::optional<std::chrono::minutes> restartAfter;
};

// The node's life as one state machine, fed with evidence as it comes; Qt-free. Times are seconds
// on a steady clock; a `clock` text is the local time of day ("14:05:09") for what is said.
class NodeLife
{
public:
    using Seconds = double;
    // An end this soon after a start made here is a failed start, unless the node had said its start
    // was complete (it answered RPC, or its log says "Done loading").
    static constexpr Seconds kStartWindow = 30;
    static constexpr Seconds kLaunchGrace = 3; // after the started program ended, the daemon is looked for this long
    static constexpr int kSilentPollsBeforeUnknown = 3;

    // ---- the process -------------------------------------------------------------------------
    // Whether a process of the daemon runs, the program's own runs of it (for its help) left out.
    void processSeen(bool running, Seconds now);
    // The daemon's program was started here.
    void startedHere(Seconds now);
    // The program started here has ended (with -daemon the node lives on in a child of it).
    void startedProgramEnded(Seconds now);
    // Time passes: a start whose program ended without a daemon to show for it has failed.
    void tick(Seconds now);
    // The process terminator is about to end the daemon.
    void killAsked() { m_killAsked = true; }
    // While Ending: what the log and the captured output say of the run that ended.
    EndPlan endEvidence(const EndEvidence& evidence, std::string_view clock, Seconds now);
    bool awaitingEndEvidence() const { return m_state == NodeState::Ending; }

    // ---- stops -------------------------------------------------------------------------------
    void stopAccepted(Seconds now); // the CLI stop exited 0, or the node answered its "stop" call
    void stopRefused(std::string words); // the client's or the node's own words
    std::optional<Seconds> stopAcceptedAt() const { return m_stopAcceptedAt; }
    const std::string& stopRefusal() const { return m_stopRefusal; }

    // ---- RPC ---------------------------------------------------------------------------------
    // The node answered a poll; `synced` is its sync judged from the answer.
    void answered(Seconds now, bool synced);
    // A poll got no usable answer; `outcome` says what came back instead.
    void pollFailed(const RpcOutcome& outcome);
    // Whether this profile's node serves the RPC port: when not, credentials are withheld, and why.
    void credentialsWithheld(std::string why);
    void credentialsAllowed();

    // ---- restarts ----------------------------------------------------------------------------
    void setRestarting(bool wanted) { m_restartWanted = wanted; }
    // Whether this copy may restart the daemon by itself; `otherCopy` says which may instead.
    void setMayRestart(bool may, std::string otherCopy = {});
    void restarted(Seconds now) { m_backOff.restarted(backOffTime(now)); }

    // ---- what is known -----------------------------------------------------------------------
    NodeState state() const { return m_state; }
    bool processRunning() const { return m_running; }
    // The node's own words for the state: its warm-up text, the reason of a failed start, why
    // credentials are withheld, what a failed poll said.
    const std::string& detail() const { return m_detail; }
    std::optional<Seconds> lastAnswerAt() const { return m_lastAnswerAt; }
    int silentPolls() const { return m_silentPolls; }
    bool credentialsRefused() const { return m_credentialsRefused; }
    // The clock time of the last end.
    const std::string& endedAt() const { return m_endedAt; }

private:
    static RestartBackOff::Time backOffTime(Seconds seconds);
    void settle();
    void ended(Seconds now);
    bool startedHereWithin(Seconds now) const;
    NodeState endState(const EndEvidence& evidence) const;
    EndPlan planAfter(NodeState state, std::string_view clock, Seconds now);

    NodeState m_state = NodeState::NotRunning;
    bool m_running = false;
    bool m_synced = false;
    bool m_killAsked = false;
    bool m_withheld = false;
    bool m_unreadable = false; // credentials refused, or another error: the status cannot be read
    bool m_warmingUp = false;
    bool m_credentialsRefused = false;
    bool m_failedStart = false; // the end came within the start window of a start made here
    std::string m_detail;
    std::string m_stopRefusal;
    std::string m_endedAt;
    std::optional<Seconds> m_startedHereAt;
    std::optional<Seconds> m_startedProgramEndedAt;
    std::optional<Seconds> m_stopAcceptedAt;
    std::optional<Seconds> m_lastAnswerAt;
    int m_silentPolls = 0;
    bool m_restartWanted = false;
    bool m_mayRestart = true;
    std::string m_otherCopy;
    RestartBackOff m_backOff;
};

// The minutes a stop may take before it is said to be overdue, from the profile's text: a number
// from 1 to 1,440; anything else gives the key's default, and `problem` says so.
struct StopLimit
{
    double minutes = 10;
    std::string problem;
};
StopLimit stopLimit(std::string_view text);

// Whether a process of the daemon runs besides the program's own runs of its program (for its help
// text): ids in `seen` that are not in `own`.
bool runsBesides(const std::vector<std::int64_t>& seen, const std::vector<std::int64_t>& own);

// The state in a few words, as the panel's first line and the tray's tool tip start:
// "synced", "catching up", "stopping — do not shut down the computer", "failed to start".
std::string_view nodeStateName(NodeState state);

} // namespace korvane
