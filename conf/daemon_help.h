#pragma once

#include <map>
#include <set>
#include <string>
#include <string_view>

namespace korvane {

// What a node's daemon program says of itself in its help text.
struct DaemonHelp
{
    std::string version; // "0.21.2.1"; empty when the first line names none
    std::set<std::string, std::less<>> options; // names without the dash: "rpcport", "?"
    // What an option's description names as its default ("default: 450" of dbcache gives "450"):
    // the text up to the next comma or closing bracket.
    std::map<std::string, std::string, std::less<>> defaults;
};

// Reads the option names from a daemon's help text: each option starts a line with two blanks, a
// dash and its name, which "=<value>", a blank or the line's end closes. Descriptions are indented
// further (on the option's line in older daemons, on their own lines in newer ones) and wrapped.
// The version is the number after "version" on the first line, without a leading "v" or a
// "-g<commit>" suffix: "Litecoin Core version v0.21.2.1-gfce5d45" gives "0.21.2.1".
DaemonHelp parseDaemonHelp(std::string_view text);

// How the daemon is named to the user: its file name without ".exe", then its version:
// "litecoind 0.21.2.1".
std::string daemonDisplayName(std::string_view programPath, std::string_view version);

} // namespace korvane
