#include "processes/watch_rules.h"

namespace korvane {
namespace {

// The word a light's tool tip gives its program; the e-mail utility is known by its name alone.
std::string_view programWord(WatchedProgram program)
{
    switch (program) {
    case WatchedProgram::Qt:
        return "QT ";
    case WatchedProgram::Daemon:
        return "DAEMON ";
    case WatchedProgram::Cli:
        return "CLI ";
    case WatchedProgram::Email:
        break;
    }
    return "";
}

// Whether a process answers to the program's name in a query that could be read.
bool runs(const ProcessQuery& query, WatchedProgram program)
{
    return !query.value().at(index(program)).empty();
}

LightLook lightLook(const std::string& name, WatchedProgram program, const ProcessQuery& query)
{
    const std::string prefix = name + " - " + std::string(programWord(program));
    if (!query)
        return { std::nullopt, prefix + "PROCESS STATE UNKNOWN (" + query.error() + ")" };
    const bool running = runs(query, program);
    return { running, prefix + (running ? "PROCESS RUNNING" : "PROCESS STOPPED") };
}

} // namespace

std::vector<std::string> namesToTest(const WatchedNames& names)
{
    return { names.qt, names.daemon, names.cli, names.email };
}

WatchOutcome watchOutcome(const WatchedNames& names, const ProcessQuery& query)
{
    WatchOutcome outcome;
    const auto tested = namesToTest(names);
    for (std::size_t light = 0; light < kWatchedProgramCount; ++light) {
        if (!tested[light].empty())
            outcome.lights[light] = lightLook(tested[light], static_cast<WatchedProgram>(light), query);
    }
    if (!query)
        return outcome;
    if (!names.cli.empty())
        outcome.cliStopEnabled = !runs(query, WatchedProgram::Cli);
    if (!names.daemon.empty())
        outcome.startButtonsEnabled = !runs(query, WatchedProgram::Qt) && !runs(query, WatchedProgram::Daemon);
    outcome.daemonProcesses
        = names.daemon.empty() ? std::vector<ProcessId>() : query.value().at(index(WatchedProgram::Daemon));
    return outcome;
}

} // namespace korvane
