#pragma once

#include "launch/node_conventions.h"

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
// Nothing is trimmed or checked: an empty option leaves its separating space behind. Where the
// conventions ask for it, trailing backslashes inside the quoted conf and blockchain paths are
// doubled so that the started program reads them back unchanged.
CommandLines composeCommandLines(const NodeConventions& conventions,
                                 const NodeProgramFields& fields,
                                 std::string_view confLocation,
                                 const NodeOptions& options);

} // namespace korvane
