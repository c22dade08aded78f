#pragma once

#include "platform/program_runner.h"

namespace korvane {

// CreateProcessW without a console window, in a job object so that the program and whatever it
// starts end together at the limit, with one pipe for each of its output streams.
class WinProgramRunner : public ProgramRunner
{
public:
    ProgramOutput run(const ProgramRun& request, std::stop_token stop = {}) override;
};

} // namespace korvane
