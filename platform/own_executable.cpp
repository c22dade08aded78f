#include "platform/own_executable.h"

#include "base/ascii_case.h"

namespace korvane {

std::string stripExeSuffix(std::string fileName)
{
    constexpr std::string_view suffix = ".exe";
    if (fileName.size() < suffix.size())
        return fileName;
    if (equalsIgnoringAsciiCase(std::string_view(fileName).substr(fileName.size() - suffix.size()), suffix))
        fileName.resize(fileName.size() - suffix.size());
    return fileName;
}

} // namespace korvane
