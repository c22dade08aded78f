#pragma once

#include "monitor/node_status.h"

#include <optional>
#include <string>
#include <string_view>

namespace korvane {

// What the tray icon shows of the node.
enum class TrayState
{
    Stopped,
    StartingOrSyncing, // also while the node's RPC answer cannot be read
    Running, // the node answers and has caught up with the chain
    Stopping, // a stop asked here, the daemon still running
};

// Where the tray's state comes from: the daemon's light and the node status panel.
struct TrayInputs
{
    bool daemonRunning = false;
    bool stopping = false; // the panel's stop watch counts
    NodeRpcState rpc = NodeRpcState::Idle;
    // The node's latest answer, while it answers.
    std::optional<double> verificationProgress; // 0 to 1
    bool initialDownload = false;
};

TrayState trayState(const TrayInputs& inputs);

// "Litecoin: node syncing, 45.67 %": `coin` names the node, then its state and, while it syncs and
// answers, the verification progress.
std::string trayToolTip(std::string_view coin, const TrayInputs& inputs);

} // namespace korvane
