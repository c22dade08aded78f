#pragma once

#include <string>
#include <vector>

namespace korvane {

// Where a program named on a command line is looked for, in order, as execvp looks: the name
// itself when it holds a "/", else the name in each folder of PATH (an empty entry is the current
// folder; without PATH, /usr/local/bin, /bin and /usr/bin). An empty name is looked for nowhere.
std::vector<std::string> programSearchPaths(const std::string& program);

} // namespace korvane
