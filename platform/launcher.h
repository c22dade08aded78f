#pragma once

#include <string>
#include <string_view>

namespace korvane {

enum class WindowStyle
{
    Hidden, // no window, no terminal
    NormalFocused, // a normal window that takes the focus
};

struct LaunchResult
{
    bool started = false;
    std::string program; // the program as the command line names it
    std::string error; // the operating system's reason when not started
};

// Starts a command line as a new process and returns at once; the process is never waited for
// and outlives this program.
class Launcher
{
public:
    virtual ~Launcher() = default;
    virtual LaunchResult start(std::string_view commandLine, WindowStyle style) = 0;
};

} // namespace korvane
