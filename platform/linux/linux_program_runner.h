#pragma once

#include "platform/program_runner.h"

namespace korvane {

// Spawns the program in a process group of its own, with /dev/null for its input and a pipe for
// each of its output streams, and waits on a pidfd for its end. At the limit the whole group is
// killed.
class LinuxProgramRunner : public ProgramRunner
{
public:
    ProgramOutput run(const ProgramRun& request, std::stop_token stop = {}) override;
};

} // namespace korvane
