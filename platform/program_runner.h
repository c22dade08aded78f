#pragma once

#include "platform/process_table.h"

#include <chrono>
#include <map>
#include <mutex>
#include <optional>
#include <stop_token>
#include <string>
#include <utility>
#include <vector>

namespace korvane {

struct ProgramRun
{
    std::string program; // a path; a bare name is looked for as the system looks for programs
    std::vector<std::string> arguments; // after the program's own word
    // Variables set (or replaced) for the program on top of this program's environment.
    std::vector<std::pair<std::string, std::string>> environment;
    std::chrono::milliseconds timeLimit { 5000 };
    std::string workingFolder {}; // where it runs; empty: this program's own working folder
};

enum class ProgramOutcome
{
    Finished, // ran to its end; `exitCode` tells how
    NotStarted, // missing, not executable, or the system refused: `error` says why
    TimedOut, // killed at the time limit
    Stopped, // killed because the caller gave up
};

struct ProgramOutput
{
    ProgramOutcome outcome = ProgramOutcome::NotStarted;
    int exitCode = -1;
    std::string standardOutput;
    std::string standardError;
    std::string error;
};

// Runs a program to its end and captures what it writes, without a window or a terminal of its own
// and with nothing to read. At the time limit, or soon after `stop` is requested, the program and
// the processes it started are killed. May run on any thread; blocks until the program has ended.
//
// It keeps the ids of the processes it runs, so that a run of the node's own daemon (for its help
// text) is never taken for the node starting and ending.
class ProgramRunner
{
public:
    // An ended run's id is kept this long: a process watcher may have seen it just before it ended.
    static constexpr std::chrono::seconds kEndedRunsKept { 10 };

    virtual ~ProgramRunner() = default;
    virtual ProgramOutput run(const ProgramRun& request, std::stop_token stop = {}) = 0;

    // The processes this runner started that still run or ended within kEndedRunsKept. Any thread.
    std::vector<ProcessId> ownProcesses() const;

protected:
    // Called by an implementation as soon as it knows the id, before the program can have run,
    // and once the process has ended.
    void runStarted(ProcessId id);
    void runEnded(ProcessId id);

private:
    using RunClock = std::chrono::steady_clock;
    mutable std::mutex m_mutex;
    std::map<ProcessId, std::optional<RunClock::time_point>> m_runs; // the end, once there is one
};

} // namespace korvane
