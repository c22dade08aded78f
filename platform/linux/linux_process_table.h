#pragma once

#include "platform/process_table.h"

namespace korvane {

class LinuxProcessTable : public ProcessTable
{
public:
    ProcessQuery queryRunning(const std::vector<std::string>& names) override;
    TerminateResult terminateAll(std::string_view name) override;
};

} // namespace korvane
