#include "processes/terminator_rules.h"

namespace korvane {

std::array<RowAccess, kWatchedProgramCount> terminatorAccess(const ProgramStates& running)
{
    std::array<RowAccess, kWatchedProgramCount> rows;
    for (std::size_t row = 0; row < kWatchedProgramCount; ++row)
        rows[row] = { running[row], running[row] };
    if (running[index(WatchedProgram::Daemon)])
        rows[index(WatchedProgram::Qt)].nameField = false;
    return rows;
}

std::string terminationReport(std::string_view name, const TerminateResult& result)
{
    if (result.refusals.empty())
        return {};
    std::string report = std::string(name) + " NOT TERMINATED: ";
    for (std::size_t i = 0; i < result.refusals.size(); ++i)
        report += (i == 0 ? "" : "; ") + result.refusals[i];
    return report;
}

} // namespace korvane
