#include "base/command_line_split.h"

#include <algorithm>

namespace korvane {
namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

} // namespace

SplitCommandLine splitCommandLine(std::string_view commandLine)
{
    if (commandLine.find('\0') != std::string_view::npos)
        return Failure { std::string(kCommandLineHoldsNul) };
    std::vector<std::string> arguments;
    std::string current;
    bool inWord = false;
    bool inQuotes = false;
    for (std::size_t i = 0; i < commandLine.size(); ++i) {
        const char c = commandLine[i];
        if (c == '\\') {
            const std::size_t runEnd = std::min(commandLine.find_first_not_of('\\', i), commandLine.size());
            const std::size_t run = runEnd - i;
            const bool beforeQuote = runEnd < commandLine.size() && commandLine[runEnd] == '"';
            current.append(beforeQuote ? run / 2 : run, '\\');
            if (beforeQuote && run % 2 == 1) {
                current += '"';
                i = runEnd;
            } else {
                i = runEnd - 1;
            }
            inWord = true;
        } else if (c == '"') {
            inQuotes = !inQuotes;
            inWord = true;
        } else if (isBlank(c) && !inQuotes) {
            if (inWord)
                arguments.push_back(std::move(current));
            current.clear();
            inWord = false;
        } else {
            current += c;
            inWord = true;
        }
    }
    if (inQuotes)
        return Failure { "The command line has a double quote without its closing partner." };
    if (inWord)
        arguments.push_back(std::move(current));
    if (arguments.empty())
        return Failure { "The command line is empty." };
    return arguments;
}

std::string quotedArgument(std::string_view text)
{
    std::string piece("\"");
    std::size_t backslashes = 0;
    for (const char c : text) {
        if (c == '"')
            piece.append(backslashes + 1, '\\');
        backslashes = c == '\\' ? backslashes + 1 : 0;
        piece += c;
    }
    piece.append(backslashes, '\\');
    piece += '"';
    return piece;
}

} // namespace korvane
