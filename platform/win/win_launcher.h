#pragma once

#include "platform/launcher.h"

namespace korvane {

// Hands the whole command line to CreateProcessW, which finds the program and its arguments itself.
class WinLauncher : public Launcher
{
public:
    LaunchResult start(std::string_view commandLine, WindowStyle style) override;
};

} // namespace korvane
