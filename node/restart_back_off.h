#pragma once

#include <chrono>
#include <deque>
#include <optional>

namespace korvane {

// The pause before each restart of a daemon that ended unexpectedly: 1, 2, 4, 8 and 16 minutes,
// and none after 5 restarts within an hour.
class RestartBackOff
{
public:
    using Time = std::chrono::steady_clock::duration; // since any fixed moment
    static constexpr int kRestartsPerHour = 5;

    // The pause before the next restart; empty when the hour's restarts are used up.
    std::optional<std::chrono::minutes> next(Time now);
    // A restart was carried out.
    void restarted(Time now) { m_restarts.push_back(now); }

private:
    int restartsInLastHour(Time now);

    std::deque<Time> m_restarts;
};

} // namespace korvane
