#pragma once

#include "platform/process_table.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace korvane {

// The watched programs, in the order of their lights.
enum class WatchedProgram
{
    Qt,
    Daemon,
    Cli,
    Email,
};
inline constexpr std::size_t kWatchedProgramCount = 4;
constexpr std::size_t index(WatchedProgram program)
{
    return static_cast<std::size_t>(program);
}

// The program names of the profile, and the e-mail utility's name on this operating system.
struct WatchedNames
{
    std::string qt;
    std::string daemon;
    std::string cli;
    std::string email;
};

// A light after a tick. `running` is empty when the process table could not be read: the light
// keeps its colour and its tool tip gives the reason.
struct LightLook
{
    std::optional<bool> running;
    std::string toolTip;

    bool operator==(const LightLook&) const = default;
};

struct WatchOutcome
{
    std::array<std::optional<LightLook>, kWatchedProgramCount> lights; // empty: no name, the design look
    std::optional<bool> cliStopEnabled; // empty: leave the button as it is
    std::optional<bool> startButtonsEnabled; // the QT and daemon start buttons together
    // The processes that answer to the daemon's name (none while it has no name); empty when the
    // process table could not be read.
    std::optional<std::vector<ProcessId>> daemonProcesses;
};

// The names one tick tests, one per light, in the order of the lights.
std::vector<std::string> namesToTest(const WatchedNames& names);

// The lights and buttons after one snapshot's answer to namesToTest(names): a program runs while
// any process answers to its name. The CLI stop button
// is disabled while the client runs; the start buttons are disabled while the wallet or the
// daemon runs, and are left alone while the daemon has no name.
WatchOutcome watchOutcome(const WatchedNames& names, const ProcessQuery& query);

} // namespace korvane
