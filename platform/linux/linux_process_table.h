#pragma once

#include "platform/linux/proc_folder.h"
#include "platform/linux/process_cache.h"
#include "platform/process_table.h"

#include <mutex>

namespace korvane {

// The process table read from /proc. A process is named as programNames() says: by its executable,
// never by the command name a program may give itself. Zombies and kernel threads are not running
// programs. The watcher's queries go through a cache of what earlier queries learned, so a query
// reads few processes; ending processes walks the whole table. Processes are ended through a
// pidfd after their names were read again, so a reused process id is never hit. Whether an id
// runs is read from its stat file, which any user may read.
class LinuxProcessTable : public ProcessTable
{
public:
    ProcessQuery queryRunning(const std::vector<std::string>& names) override;
    TerminateResult terminateAll(std::string_view name) override;
    bool isRunning(ProcessId id) override;

private:
    std::mutex m_cacheMutex;
    ProcFolder m_proc;
    ProcessCache m_cache { m_proc };
};

} // namespace korvane
