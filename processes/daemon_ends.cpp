#include "processes/daemon_ends.h"

namespace korvane {

int DaemonEnds::restartsInLastHour(Time now)
{
    while (!m_restarts.empty() && now - m_restarts.front() >= std::chrono::hours(1))
        m_restarts.pop_front();
    return static_cast<int>(m_restarts.size());
}

DaemonEnds::Plan DaemonEnds::ended(Time now)
{
    Plan plan;
    plan.unexpected = !m_stopAsked;
    m_stopAsked = false;
    if (!plan.unexpected || !m_restarting)
        return plan;
    const int restarts = restartsInLastHour(now);
    if (restarts >= kRestartsPerHour)
        plan.gaveUp = true;
    else
        plan.restartAfter = std::chrono::minutes(1 << restarts);
    return plan;
}

std::string daemonEndNotice(const DaemonEnds::Plan& plan, std::string_view clockTime)
{
    if (!plan.unexpected)
        return {};
    std::string notice = "The daemon ended by itself at " + std::string(clockTime);
    if (plan.restartAfter) {
        const auto minutes = plan.restartAfter->count();
        notice += "; restarting it in " + std::to_string(minutes) + (minutes == 1 ? " minute" : " minutes");
    } else if (plan.gaveUp) {
        notice += "; not restarting it: it was restarted " + std::to_string(DaemonEnds::kRestartsPerHour)
            + " times within the hour";
    }
    return notice;
}

} // namespace korvane
