#pragma once

#include "base/result.h"

#include <string>
#include <string_view>

namespace korvane {

enum class WindowStyle
{
    Hidden, // no window, no terminal
    NormalFocused, // a normal window that takes the focus
};

// The program as the command line names it, once started; or why nothing was started, as the user
// reads it: `Could not start "bitcoind": Permission denied`.
using LaunchResult = Result<std::string>;

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
    virtual LaunchResult start(std::string_view commandLine, WindowStyle style) = 0;
};

} // namespace korvane
