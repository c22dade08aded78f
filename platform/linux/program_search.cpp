#include "platform/linux/program_search.h"

#include <cstdlib>

namespace korvane {

std::vector<std::string> programSearchPaths(const std::string& program)
{
    if (program.empty())
        return {};
    if (program.find('/') != std::string::npos)
        return { program };
    const char* searchPath = std::getenv("PATH");
    const std::string folders = searchPath ? searchPath : "/usr/local/bin:/bin:/usr/bin";
    std::vector<std::string> candidates;
    std::size_t start = 0;
    for (;;) {
        const auto colon = folders.find(':', start);
        const std::string folder = folders.substr(start, colon - start);
        candidates.push_back((folder.empty() ? std::string(".") : folder) + "/" + program);
        if (colon == std::string::npos)
            return candidates;
        start = colon + 1;
    }
}

} // namespace korvane
