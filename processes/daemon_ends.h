#pragma once

#include <chrono>
#include <deque>
#include <optional>
#include <string>

namespace korvane {

// Tells a daemon that ends by itself from one this program stopped, and plans the opt-in
// restarts: after 1, 2, 4, 8 and 16 minutes, and none after 5 restarts within an hour.
class DaemonEnds
{
public:
    using Time = std::chrono::steady_clock::duration; // since any fixed moment
    static constexpr int kRestartsPerHour = 5;

    struct Plan
    {
        bool unexpected = false; // ended without a stop from this program
        std::optional<std::chrono::minutes> restartAfter; // when restarting is on and allowed
        bool gaveUp = false; // restarting is on, but the hour's restarts are used up
    };

    void setRestarting(bool on) { m_restarting = on; }

    // This program asked the daemon to stop (CLI "STOP", a stop through RPC, the terminator).
    void stopAsked() { m_stopAsked = true; }
    // The daemon's light turned green (started by this program, a restart, or from outside).
    void started() { m_stopAsked = false; }
    // The daemon's light turned from green to red.
    Plan ended(Time now);
    // A planned restart was carried out.
    void restarted(Time now) { m_restarts.push_back(now); }

    int restartsInLastHour(Time now);

private:
    bool m_restarting = false;
    bool m_stopAsked = false;
    std::deque<Time> m_restarts;
};

// What the status line and the notice say of a plan: "The daemon ended by itself at 14:05:09",
// with the restart or the giving up after it; empty for an expected end.
std::string daemonEndNotice(const DaemonEnds::Plan& plan, std::string_view clockTime);

} // namespace korvane
