#pragma once

#include "platform/process_table.h"
#include "processes/watch_rules.h"

#include <array>
#include <string>
#include <string_view>

namespace korvane {

// Whether a row of the terminator window may be used: its kill button and its name field.
struct RowAccess
{
    bool terminate = false;
    bool nameField = false;

    bool operator==(const RowAccess&) const = default;
};

using ProgramStates = std::array<bool, kWatchedProgramCount>; // running, indexed by WatchedProgram

// The rows after an armed tick, from the running states the window mirrors: a row is usable
// while its program runs, except that the wallet's name field stays disabled while the daemon runs.
std::array<RowAccess, kWatchedProgramCount> terminatorAccess(const ProgramStates& running);

// What the window shows after ending the processes of `name`: empty unless the system refused to
// end one of them, else the name and every reason.
std::string terminationReport(std::string_view name, const TerminateResult& result);

} // namespace korvane
