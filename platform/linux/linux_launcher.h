#pragma once

#include "platform/launcher.h"

namespace korvane {

// Starts a command line detached, in a session of its own (fork, setsid, fork again, exec), so the
// program outlives this one and leaves no zombie. A hidden program gets /dev/null for its standard
// streams; a normal one keeps this program's.
class LinuxLauncher : public Launcher
{
public:
    LaunchResult start(std::string_view commandLine, WindowStyle style) override;
};

} // namespace korvane
