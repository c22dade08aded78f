#include "node/tray_state.h"

namespace korvane {

TrayState trayState(NodeState state)
{
    switch (state) {
    case NodeState::Synced:
        return TrayState::Running;
    case NodeState::Stopping:
        return TrayState::Stopping;
    case NodeState::Starting:
    case NodeState::CatchingUp:
    case NodeState::StatusUnknown:
    case NodeState::NotThisProfilesNode:
        return TrayState::StartingOrSyncing;
    default:
        return TrayState::Stopped;
    }
}

std::string trayToolTip(std::string_view coin, NodeState state, std::string_view more)
{
    std::string tip = std::string(coin) + ": node " + std::string(nodeStateName(state));
    if (state == NodeState::NotRunning)
        tip = std::string(coin) + ": node stopped";
    if (!more.empty())
        tip += ", " + std::string(more);
    return tip;
}

} // namespace korvane
