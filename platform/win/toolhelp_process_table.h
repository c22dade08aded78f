#pragma once

#include "platform/process_table.h"

namespace korvane {

// Running processes from a Toolhelp snapshot; a process's name is the file name of its executable.
class ToolhelpProcessTable : public ProcessTable
{
public:
    ProcessQuery queryRunning(const std::vector<std::string>& names) override;
    TerminateResult terminateAll(std::string_view name) override;
};

} // namespace korvane
