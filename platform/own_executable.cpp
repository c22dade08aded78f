#include "platform/own_executable.h"

#include <algorithm>
#include <cctype>

namespace korvane {

std::string stripExeSuffix(std::string fileName)
{
    constexpr std::string_view suffix = ".exe";
    if (fileName.size() < suffix.size())
        return fileName;
    const auto tail = fileName.substr(fileName.size() - suffix.size());
    const bool isExe = std::equal(tail.begin(), tail.end(), suffix.begin(),
                                  [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == b; });
    if (isExe)
        fileName.resize(fileName.size() - suffix.size());
    return fileName;
}

} // namespace korvane
