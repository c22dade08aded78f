#pragma once

#include "base/result.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace korvane {

// The e-mail sending utility that is watched beside the node programs, as its executable is named
// on this operating system; defined once per operating system.
std::string_view emailUtilityName();

// A process's id, as the system gives it (a pid on Linux, a process id on Windows).
using ProcessId = std::int64_t;

// The processes that answer to each asked name, one list of ids per name in the order asked (empty
// when none runs); or why the process table could not be read.
using ProcessQuery = Result<std::vector<std::vector<ProcessId>>>;

struct TerminateResult
{
    int killed = 0;
    std::vector<std::string> refusals; // one reason per process the system refused to end
};

// Running processes, recognised by the file name of their executable, compared in full and
// without regard to letter case. An empty name matches nothing. The table may be asked from any
// thread; an implementation may keep what earlier queries learned, as long as every query answers
// for the processes running at that moment.
class ProcessTable
{
public:
    virtual ~ProcessTable() = default;
    // Tests every name against one snapshot of the running processes.
    virtual ProcessQuery queryRunning(const std::vector<std::string>& names) = 0;
    // Forcibly ends every running process of that name, and no other.
    virtual TerminateResult terminateAll(std::string_view name) = 0;
    // Whether the process `id` still runs (a process that ended but was not reaped does not). Never
    // waits; may be asked on the GUI thread.
    virtual bool isRunning(ProcessId id) = 0;
};

} // namespace korvane
