#pragma once

#include "node/debug_log.h"
#include "node/node_life.h"
#include "node/node_status.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace korvane {

// Everything the views show of the node at one moment: what the model emits and the status panel,
// the tray and the companion render or react to. Each text is for the user as it stands.
struct NodeSnapshot
{
    NodeState state = NodeState::NotRunning;
    std::string headline; // "catching up: 2,454 blocks behind, last block 3 h ago"
    std::string stopLine; // "stopping — do not shut down the computer (0:42)", a failed stop, or empty
    std::vector<std::string> lines; // the node's figures: "Network: regtest", "Blocks: 16 / 4,000", ...
    std::string sources; // where the port and the credentials were read from
    std::string sync; // "2,454 blocks behind, last block 3 h ago"; empty when nothing is known
    bool offerRpcStop = false; // the stop through RPC is offered (no CLI stop line, or the CLI stop failed)
    bool rpcStopPossible = false; // and the node answers, so it can be asked
    bool offerAskAgain = false; // the credentials were refused: read them again and ask
    // Where the log said the node's database is damaged and the node does not run: the option to
    // start it with once ("-reindex-chainstate"), and the node's words.
    std::string reindexOption;
    std::string damage;
    bool processRunning = false; // a process of the node runs

    bool running() const { return processRunning; }
    bool syncing() const; // it runs and has not caught up (or cannot tell yet)

    bool operator==(const NodeSnapshot&) const = default;
};

// What the model knows, from which a snapshot is made.
struct NodeKnowledge
{
    const NodeLife& life;
    const NodeFigures& figures;
    SyncJudgement sync;
    std::string progress; // "Progress: 45.67 %, +2.10 % an hour"
    std::string timeLeft; // "Time left: about 3 h 10 min"
    std::string trouble; // "stalled: no new block for 6 min", "the tip is stale: …", or empty
    std::string startProgress; // from the log of a starting node: "Rolling forward 6a2b… (120)"
    std::string lastStopUnclean; // "14:05" when the run before this one did not end cleanly
    LogRun damage; // the last run that said its database is damaged
    double now = 0; // seconds on the life's clock
    std::uint16_t port = 0;
    std::string sources; // where the port and the credentials were read from
    std::string credentialsSource; // "cookie /home/u/.litecoin/regtest/.cookie"
    bool cliStopLine = false; // the profile has a CLI stop line
    bool askingToStop = false; // a stop is being asked of the node right now
    double stopLimitMinutes = 10;
};

NodeSnapshot describe(const NodeKnowledge& knowledge);

} // namespace korvane
