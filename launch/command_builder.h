#pragma once

#include "settings/node_conventions.h"

#include <string>
#include <string_view>

namespace korvane {

// The node profile's fields that go into the command lines, used exactly as they stand.
struct NodeProgramFields
{
    std::string blockchainHome;
    std::string qtLocation;
    std::string qtName;
    std::string daemonCliLocation;
    std::string daemonName;
    std::string cliName;
};

// The option that each tick-box pair adds; empty when the pair is off.
struct NodeOptions
{
    std::string_view qtWallet;
    std::string_view daemonWallet;
    std::string_view cliDaemon;
};

struct CommandLines
{
    std::string qt;
    std::string daemon;
    std::string cliStop;

    bool operator==(const CommandLines&) const = default;
};

// The three command lines:
//   "<QT folder><sep><QT name>" -conf="<conf>" -datadir="<blockchain home>" <QT wallet option>
//   "<daemon folder><sep><daemon name>" -conf="<conf>" -datadir="<blockchain home>" <daemon wallet option>
//   "<daemon folder><sep><CLI name>" -conf="<conf>" <CLI daemon option> stop
// Nothing is trimmed or checked: an empty option leaves its separating space behind. Quoted paths
// are escaped so that splitting the line gives them back unchanged: an inner quote is written \",
// and backslashes before a quote are doubled (the program's path on Windows excepted, which the
// system reads to the next quote as it stands).
CommandLines composeCommandLines(const NodeConventions& conventions,
                                 const NodeProgramFields& fields,
                                 std::string_view confLocation,
                                 const NodeOptions& options);

} // namespace korvane
