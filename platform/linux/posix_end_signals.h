#pragma once

#include "platform/end_signals.h"

#include <array>
#include <csignal>

namespace korvane {

// Catches the end signals with a handler that writes their numbers into a pipe of its own (the
// "self-pipe"): the event loop watches the pipe's reading end and does the work outside the
// handler. One at a time per process; letting it go puts back what the signals did before.
class PosixEndSignals : public EndSignals
{
public:
    PosixEndSignals() = default;
    ~PosixEndSignals() override;
    PosixEndSignals(const PosixEndSignals&) = delete;
    PosixEndSignals& operator=(const PosixEndSignals&) = delete;

    int catchEndSignals() override;
    bool takeEndRequest() override;

    static constexpr std::array<int, 3> kSignals { SIGTERM, SIGINT, SIGHUP };

private:
    std::array<struct sigaction, kSignals.size()> m_before {};
    std::array<bool, kSignals.size()> m_caught {};
    int m_readEnd = -1;
};

} // namespace korvane
