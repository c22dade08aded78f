#pragma once

#include "platform/launcher.h"

namespace korvane {

// Hands the whole command line to CreateProcessW, which finds the program and its arguments itself.
// A program given an error file gets it for its standard error and NUL for its other streams, and
// inherits those two handles and no other.
class WinLauncher : public Launcher
{
public:
    using Launcher::start;
    LaunchResult start(std::string_view commandLine, const LaunchOptions& options) override;
};

} // namespace korvane
