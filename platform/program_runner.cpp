#include "platform/program_runner.h"

namespace korvane {

std::vector<ProcessId> ProgramRunner::ownProcesses() const
{
    const auto now = RunClock::now();
    const std::lock_guard lock(m_mutex);
    std::vector<ProcessId> ids;
    for (const auto& [id, ended] : m_runs) {
        if (!ended || now - *ended < kEndedRunsKept)
            ids.push_back(id);
    }
    return ids;
}

void ProgramRunner::runStarted(ProcessId id)
{
    const std::lock_guard lock(m_mutex);
    m_runs.insert_or_assign(id, std::nullopt);
}

void ProgramRunner::runEnded(ProcessId id)
{
    const auto now = RunClock::now();
    const std::lock_guard lock(m_mutex);
    m_runs.insert_or_assign(id, now);
    std::erase_if(m_runs, [now](const auto& run) { return run.second && now - *run.second >= kEndedRunsKept; });
}

} // namespace korvane
