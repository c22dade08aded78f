#include "conf/daemon_help.h"

#include "base/ascii_case.h"

namespace korvane {
namespace {

constexpr std::string_view kOptionIndent = "  -";
constexpr std::string_view kDefault = "default: ";

std::string_view trimmed(std::string_view line)
{
    const auto first = line.find_first_not_of(" \t\r");
    return first == std::string_view::npos ? std::string_view()
                                           : line.substr(first, line.find_last_not_of(" \t\r") - first + 1);
}

std::string_view firstLine(std::string_view text)
{
    return text.substr(0, text.find_first_of("\r\n"));
}

bool isVersionCharacter(char c)
{
    return (c >= '0' && c <= '9') || c == '.';
}

std::string versionIn(std::string_view line)
{
    const auto word = line.find("version ");
    if (word == std::string_view::npos)
        return {};
    std::string_view rest = line.substr(word + 8);
    if (rest.starts_with('v'))
        rest.remove_prefix(1);
    std::size_t end = 0;
    while (end < rest.size() && isVersionCharacter(rest[end]))
        ++end;
    return std::string(rest.substr(0, end));
}

} // namespace

DaemonHelp parseDaemonHelp(std::string_view text)
{
    DaemonHelp help;
    help.version = versionIn(firstLine(text));
    std::string option; // the one whose description the lines continue
    std::string description;
    const auto takeDefault = [&] {
        if (const auto found = description.find(kDefault); !option.empty() && found != std::string::npos) {
            const std::string_view value = std::string_view(description).substr(found + kDefault.size());
            help.defaults.emplace(option, value.substr(0, value.find_first_of(",)")));
        }
        description.clear();
    };
    while (!text.empty()) {
        const auto end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (!line.starts_with(kOptionIndent)) {
            description += " ";
            description += trimmed(line);
            continue;
        }
        takeDefault();
        const std::string_view rest = line.substr(kOptionIndent.size());
        option = rest.substr(0, rest.find_first_of("= \t\r<["));
        if (!option.empty())
            help.options.emplace(option);
        description = rest;
    }
    takeDefault();
    return help;
}

std::string daemonDisplayName(std::string_view programPath, std::string_view version)
{
    std::string_view name = programPath.substr(programPath.find_last_of("/\\") + 1);
    if (name.size() > 4 && equalsIgnoringAsciiCase(name.substr(name.size() - 4), ".exe"))
        name.remove_suffix(4);
    std::string shown(name);
    if (!version.empty())
        shown += " " + std::string(version);
    return shown;
}

} // namespace korvane
