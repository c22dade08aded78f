#pragma once

#include "platform/own_executable.h"

namespace korvane {

// The running executable as /proc/self/exe names it. Started through a symbolic link, that is the
// link's target: each copy of the program is a file of its own name, not a link to a shared one.
class LinuxOwnExecutable : public OwnExecutable
{
public:
    std::string name() const override;
    std::string folder() const override;
};

} // namespace korvane
