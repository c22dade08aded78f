#pragma once

#include <string>

namespace korvane {

// The running program's own file: its name (without a trailing ".exe") names the profile.
class OwnExecutable
{
public:
    virtual ~OwnExecutable() = default;

    // File name without a trailing ".exe" (any letter case); other dots are kept.
    virtual std::string name() const = 0;
    // Folder that holds the executable, without a trailing separator.
    virtual std::string folder() const = 0;
};

// Strips one trailing ".exe" in any letter case: "BTC.main.EXE" -> "BTC.main".
std::string stripExeSuffix(std::string fileName);

} // namespace korvane
