#pragma once

#include "platform/own_executable.h"

namespace korvane {

// The running program as it was started, read once when constructed (at start): a copy started
// through a symbolic link is known by the link's name and folder, and replacing the program file
// while it runs changes neither. The first command-line word decides when it names this same
// executable (a word without "/" is looked up on PATH); else the executable that /proc/self/exe
// names does.
class LinuxOwnExecutable : public OwnExecutable
{
public:
    LinuxOwnExecutable();

    std::string name() const override { return m_name; }
    std::string folder() const override { return m_folder; }

private:
    std::string m_name;
    std::string m_folder;
};

} // namespace korvane
