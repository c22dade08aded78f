#pragma once

#include "platform/launcher.h"

namespace korvane {

// Starts a command line detached, in a session of its own (fork, setsid, fork again, exec), so the
// program outlives this one and leaves no zombie; the id given back is the program's own (the
// second fork's). A program given an error file writes its standard error there (mode 0600) and
// has /dev/null for its other streams; a hidden one has /dev/null for all three; a normal one
// keeps this program's.
class LinuxLauncher : public Launcher
{
public:
    using Launcher::start;
    LaunchResult start(std::string_view commandLine, const LaunchOptions& options) override;
};

} // namespace korvane
