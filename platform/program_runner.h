#pragma once

#include <chrono>
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
class ProgramRunner
{
public:
    virtual ~ProgramRunner() = default;
    virtual ProgramOutput run(const ProgramRun& request, std::stop_token stop = {}) = 0;
};

} // namespace korvane
