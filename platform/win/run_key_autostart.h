#pragma once

#include "platform/autostart.h"

#include <string>

namespace korvane {

// A value named after this copy under the current user's
// "Software\Microsoft\Windows\CurrentVersion\Run" key, holding the quoted path of this copy's file.
class RunKeyAutostart : public Autostart
{
public:
    RunKeyAutostart(std::string name, std::string programPath);

    bool enabled() const override;
    Result<> enable() override;
    Result<> disable() override;

private:
    std::wstring m_name;
    std::wstring m_command;
};

// The path of the running program's own file.
std::string runningProgramPath();

} // namespace korvane
