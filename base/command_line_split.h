#pragma once

#include "base/result.h"

#include <string>
#include <string_view>
#include <vector>

namespace korvane {

// The program first, then its arguments; or why the line cannot be run.
using SplitCommandLine = Result<std::vector<std::string>>;

// Why a line that holds a NUL character is refused: the system would end the line there and run
// the command without what follows.
inline constexpr std::string_view kCommandLineHoldsNul
    = "The command line holds a NUL character; the program would be started without what follows it.";

// Splits a command line by the rules Windows programs read theirs with. Unquoted blanks (spaces
// and tabs) separate arguments. Double quotes group blanks into one argument and are removed; a
// quoted run may sit inside a word (-conf="/a b/c.conf"), and "" alone is an empty argument.
// A backslash is an ordinary character, except in a run that ends at a double quote: there 2n
// backslashes give n and the quote groups, 2n+1 give n and a literal quote (\" is a quote).
SplitCommandLine splitCommandLine(std::string_view commandLine);

// A text between double quotes, written so that splitCommandLine reads it back unchanged: an inner
// quote becomes \", and a run of backslashes that ends at a quote, inner or closing, is doubled.
std::string quotedArgument(std::string_view text);

} // namespace korvane
