#pragma once

#include "platform/end_signals.h"

namespace korvane {

// Windows sends a windowed program no end signals: it closes its windows (at log-off, say), which
// end the program as Exit does. Nothing to catch.
class WinEndSignals : public EndSignals
{
public:
    int catchEndSignals() override { return -1; }
    bool takeEndRequest() override { return false; }
};

} // namespace korvane
