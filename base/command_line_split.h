#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace korvane {

struct SplitCommandLine
{
    std::vector<std::string> arguments; // the program first, then its arguments
    std::string error; // why the line cannot be run; empty when it can

    bool ok() const { return error.empty(); }
};

// Splits a command line at unquoted blanks (spaces and tabs). Double quotes group blanks into
// one argument and are removed; a quoted run may sit inside a word (-conf="/a b/c.conf"), and
// "" alone is an empty argument. A backslash is an ordinary character.
SplitCommandLine splitCommandLine(std::string_view commandLine);

} // namespace korvane
