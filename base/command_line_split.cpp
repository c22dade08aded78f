#include "base/command_line_split.h"

namespace korvane {
namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

} // namespace

SplitCommandLine splitCommandLine(std::string_view commandLine)
{
    SplitCommandLine result;
    std::string current;
    bool inWord = false;
    bool inQuotes = false;
    for (const char c : commandLine) {
        if (c == '"') {
            inQuotes = !inQuotes;
            inWord = true;
        } else if (isBlank(c) && !inQuotes) {
            if (inWord)
                result.arguments.push_back(std::move(current));
            current.clear();
            inWord = false;
        } else {
            current += c;
            inWord = true;
        }
    }
    if (inQuotes) {
        result.arguments.clear();
        result.error = "The command line has a double quote without its closing partner.";
        return result;
    }
    if (inWord)
        result.arguments.push_back(std::move(current));
    if (result.arguments.empty())
        result.error = "The command line is empty.";
    return result;
}

} // namespace korvane
