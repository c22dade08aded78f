// Placeholder until the /proc backend lands.
#include "platform/linux/linux_process_table.h"

namespace korvane {

ProcessQuery LinuxProcessTable::queryRunning(const std::vector<std::string>& names)
{
    ProcessQuery query;
    query.error = "process table not available";
    query.running.assign(names.size(), false);
    return query;
}

TerminateResult LinuxProcessTable::terminateAll(std::string_view)
{
    return {};
}

} // namespace korvane
