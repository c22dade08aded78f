#pragma once

#include "base/result.h"
#include "platform/process_table.h"

#include <string>
#include <string_view>

namespace korvane {

enum class WindowStyle
{
    Hidden, // no window, no terminal
    NormalFocused, // a normal window that takes the focus
};

struct LaunchOptions
{
    WindowStyle style = WindowStyle::Hidden;
    // When set, the program's standard error goes to this file (created or emptied), so that a
    // program that fails at once can say why; its standard output goes nowhere, as for any hidden
    // start. Where the program keeps running, the file only grows by what it writes on its error
    // stream.
    std::string errorOutputFile;
};

struct Launched
{
    std::string program; // as the command line names it
    ProcessId processId = 0; // of the process started (it may start others and end)
};

// The program once started; or why nothing was started, as the user reads it:
// `Could not start "bitcoind": Permission denied`.
using LaunchResult = Result<Launched>;

// A line naming `program` (none when empty) was not started, for the operating system's `reason`.
inline Failure notStarted(std::string_view program, std::string_view reason)
{
    std::string message = "Could not start";
    if (!program.empty())
        message += " \"" + std::string(program) + "\"";
    return { message + ": " + std::string(reason) };
}

// Starts a command line as a new process and returns at once; the process is never waited for
// and outlives this program.
class Launcher
{
public:
    virtual ~Launcher() = default;
    virtual LaunchResult start(std::string_view commandLine, const LaunchOptions& options) = 0;
    LaunchResult start(std::string_view commandLine, WindowStyle style) { return start(commandLine, { style, {} }); }
};

} // namespace korvane
