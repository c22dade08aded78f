#include "monitor/tray_state.h"

namespace korvane {

TrayState trayState(const TrayInputs& inputs)
{
    if (!inputs.daemonRunning)
        return TrayState::Stopped;
    if (inputs.stopping)
        return TrayState::Stopping;
    const bool caughtUp = inputs.rpc == NodeRpcState::Answering && !inputs.initialDownload;
    return caughtUp ? TrayState::Running : TrayState::StartingOrSyncing;
}

std::string trayToolTip(std::string_view coin, const TrayInputs& inputs)
{
    const std::string prefix = std::string(coin) + ": node ";
    switch (trayState(inputs)) {
    case TrayState::Stopped:
        return prefix + "stopped";
    case TrayState::Stopping:
        return prefix + "stopping \u2014 do not shut down the computer";
    case TrayState::Running:
        return prefix + "running, synced";
    case TrayState::StartingOrSyncing:
        break;
    }
    switch (inputs.rpc) {
    case NodeRpcState::Answering:
        return inputs.verificationProgress ? prefix + "syncing, " + percentText(*inputs.verificationProgress)
                                           : prefix + "syncing";
    case NodeRpcState::CredentialsRefused:
        return prefix + "running, status unknown (RPC credentials refused)";
    case NodeRpcState::Failed:
        return prefix + "running, status unknown (RPC error)";
    case NodeRpcState::Idle:
    case NodeRpcState::NotAnswering:
    case NodeRpcState::Starting:
        break;
    }
    return prefix + "starting";
}

} // namespace korvane
