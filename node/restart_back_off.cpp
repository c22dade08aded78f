#include "node/restart_back_off.h"

namespace korvane {

int RestartBackOff::restartsInLastHour(Time now)
{
    while (!m_restarts.empty() && now - m_restarts.front() >= std::chrono::hours(1))
        m_restarts.pop_front();
    return static_cast<int>(m_restarts.size());
}

std::optional<std::chrono::minutes> RestartBackOff::next(Time now)
{
    const int restarts = restartsInLastHour(now);
    if (restarts >= kRestartsPerHour)
        return std::nullopt;
    return std::chrono::minutes(1 << restarts);
}

} // namespace korvane
