#pragma once

#include "node/node_life.h"

#include <string>
#include <string_view>

namespace korvane {

// What the tray icon shows of the node.
enum class TrayState
{
    Stopped, // no process of the node runs
    StartingOrSyncing, // it runs but is not synced, or what it says cannot be read
    Running, // it runs and is synced
    Stopping, // a stop was accepted and the process still runs
};

TrayState trayState(NodeState state);

// "Litecoin: node synced", "Litecoin: node catching up, 2,454 blocks behind, last block 3 h ago":
// `coin` names the node, then its state and, where there is one, what more is known (`more`).
std::string trayToolTip(std::string_view coin, NodeState state, std::string_view more);

} // namespace korvane
