#pragma once

#include "platform/own_executable.h"

namespace korvane {

// The running program's file, from the path of its main module.
class WinOwnExecutable : public OwnExecutable
{
public:
    WinOwnExecutable();

    std::string name() const override { return m_name; }
    std::string folder() const override { return m_folder; }

private:
    std::string m_name;
    std::string m_folder;
};

} // namespace korvane
