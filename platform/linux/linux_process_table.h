#pragma once

#include "platform/process_table.h"

namespace korvane {

// The process table read from /proc. A process is known by the file name of its executable link
// (also after the file was replaced or deleted), by the file name of its first command-line word
// (the name it was started under, readable for every user's processes) and by the kernel's command
// name (which also names a shebang script, cut to 15 characters). Zombies and kernel threads are
// not running programs. Processes are ended through a pidfd, so a reused process id is never hit.
class LinuxProcessTable : public ProcessTable
{
public:
    ProcessQuery queryRunning(const std::vector<std::string>& names) override;
    TerminateResult terminateAll(std::string_view name) override;
};

} // namespace korvane
