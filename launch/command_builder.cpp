#include "launch/command_builder.h"

#include "base/command_line_split.h"

namespace korvane {
namespace {

constexpr std::string_view kQuote = "\"";
constexpr std::string_view kSpace = " ";
constexpr std::string_view kConfOption = "-conf=";
constexpr std::string_view kDataDirOption = "-datadir=";
constexpr std::string_view kStopCommand = "stop";

std::string quotedProgram(const NodeConventions& conventions, std::string_view folder, std::string_view name)
{
    std::string path(folder);
    path += conventions.pathSeparator;
    path += name;
    if (!conventions.programPathQuotedAsItStands)
        return quotedArgument(path);
    std::string piece(kQuote);
    piece += path;
    piece += kQuote;
    return piece;
}

// The quoted program and its conf option, followed by a space: how every line begins.
std::string programAndConf(const NodeConventions& conventions,
                           std::string_view folder,
                           std::string_view program,
                           std::string_view confLocation)
{
    std::string line = quotedProgram(conventions, folder, program);
    line += kSpace;
    line += kConfOption;
    line += quotedArgument(confLocation);
    line += kSpace;
    return line;
}

std::string startLine(const NodeConventions& conventions,
                      std::string_view folder,
                      std::string_view program,
                      std::string_view confLocation,
                      std::string_view blockchainHome,
                      std::string_view option)
{
    std::string line = programAndConf(conventions, folder, program, confLocation);
    line += kDataDirOption;
    line += quotedArgument(blockchainHome);
    line += kSpace;
    line += option;
    return line;
}

std::string stopLine(const NodeConventions& conventions,
                     std::string_view folder,
                     std::string_view program,
                     std::string_view confLocation,
                     std::string_view option)
{
    std::string line = programAndConf(conventions, folder, program, confLocation);
    line += option;
    line += kSpace;
    line += kStopCommand;
    return line;
}

} // namespace

CommandLines composeCommandLines(const NodeConventions& conventions,
                                 const NodeProgramFields& fields,
                                 std::string_view confLocation,
                                 const NodeOptions& options)
{
    return {
        startLine(conventions, fields.qtLocation, fields.qtName, confLocation, fields.blockchainHome, options.qtWallet),
        startLine(conventions, fields.daemonCliLocation, fields.daemonName, confLocation, fields.blockchainHome,
                  options.daemonWallet),
        stopLine(conventions, fields.daemonCliLocation, fields.cliName, confLocation, options.cliDaemon),
    };
}

} // namespace korvane
