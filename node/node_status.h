#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace korvane {

// What a node tells of itself over RPC, and the texts its figures are shown in. A figure the node
// gave that cannot be (negative, not a number) is kept empty and shown as "?".

// A node's warnings: one text in older nodes (empty when there are none), a list in newer ones.
using NodeWarnings = std::variant<std::string, std::vector<std::string>>;

// The fields of "getblockchaininfo" that are shown.
struct ChainInfo
{
    std::string chain; // "main", "test", "signet", "regtest"
    std::optional<std::int64_t> blocks;
    std::optional<std::int64_t> headers;
    std::optional<double> verificationProgress; // 0 to 1
    bool initialDownload = false;
    std::optional<std::int64_t> sizeOnDisk; // bytes
    bool pruned = false;
    std::string bestBlockHash;
    NodeWarnings warnings;
};

// The fields of "getnetworkinfo" that are shown. Older nodes give the peers only as a total.
struct NetworkInfo
{
    std::optional<std::int64_t> version;
    std::optional<std::int64_t> protocolVersion;
    std::string subversion; // "/LitecoinCore:0.21.2.1/"
    std::optional<int> connectionsIn;
    std::optional<int> connectionsOut;
    std::optional<int> connections;
    NodeWarnings warnings;
};

// The node's latest answers, each kept until a newer one comes.
struct NodeFigures
{
    std::optional<ChainInfo> chain;
    std::optional<std::int64_t> blockCount; // "getblockcount": fresher than the chain's blocks between its polls
    std::optional<std::int64_t> tipTime; // the best block's time, seconds since 1970 ("getblockheader")
    std::optional<NetworkInfo> network;
    std::optional<std::int64_t> uptime; // seconds

    std::optional<std::int64_t> blocks() const;
    // How far the sync is, 0 to 1: the node's verification progress; on regtest, whose progress
    // figure means nothing (it reads 1 at any height), the blocks' share of the headers.
    std::optional<double> progress() const;
};

// How one call ended: the one kind of reply the RPC client gives and the rules read.
struct RpcOutcome
{
    enum class Kind
    {
        Result, // a result came back
        RpcError, // the node answered with a JSON-RPC error: `errorCode`, `message`
        Refused, // HTTP 401: the credentials were refused
        NoAnswer, // connection refused, closed, or no answer before the deadline
        Failed, // anything else: an answer that is not JSON-RPC, too large, another HTTP error
    };
    Kind kind = Kind::NoAnswer;
    int errorCode = 0; // RpcError only
    std::string message; // the node's error text, or what went wrong
};

inline constexpr int kRpcWarmUpError = -28;

// How far the node is from the chain's tip, from its answers.
struct SyncJudgement
{
    bool synced = false; // out of the initial download, blocks = headers and the tip recent
    std::optional<std::int64_t> blocksBehind; // headers - blocks
    std::optional<std::int64_t> tipAge; // seconds since the best block's time
    // While the headers lag behind the chain as long as it is since the tip (at the chain's block
    // spacing), about how much of them the node has; empty when they do not lag.
    std::optional<double> headersShare;
};

// The chain's pace, for the judgement: `behindAfter` seconds of a tip's age make a node behind;
// `blockSpacing` is the time the chain aims for between blocks (0: not known).
struct ChainPace
{
    std::int64_t behindAfter = 86400;
    std::int64_t blockSpacing = 0;
};

// `now` in seconds since 1970.
SyncJudgement judgeSync(const NodeFigures& figures, std::int64_t now, ChainPace pace);

// "2454 blocks behind, last block 3 h ago", "last block 5 min ago".
std::string syncText(const SyncJudgement& sync);

// The status lines, each read as shown: "Network: regtest", "Blocks: 16 / 4,000 (3,984 left)",
// "Last block: 3 min ago", then `progress` and `timeLeft` (what the sync watch says) while behind,
// or the version once synced, "Peers: 3 in, 8 out", "Size on disk: 1.23 GB", "Warnings: none".
std::vector<std::string> statusLines(const NodeFigures& figures,
                                     const SyncJudgement& sync,
                                     const std::string& progress,
                                     const std::string& timeLeft);

// The parts of statusLines, for tests and other callers; an empty figure reads "?".
std::string percentText(std::optional<double> progress); // 0.123456 -> "12.34 %", never rounded up to 100
std::string timeLeftText(double seconds); // "about 2 h 05 min left", "about 4 min left", "under a minute left"
std::string sizeText(std::optional<std::int64_t> bytes); // powers of 1000: "980 bytes", "1.23 GB"
std::string countText(std::optional<std::int64_t> count); // 2454 -> "2,454"
std::string ageText(std::int64_t seconds); // "45 s", "12 min", "3 h", "2 days"
std::string warningsText(const NodeWarnings& warnings); // "none", or the warnings joined by "; "
std::string peersText(const NetworkInfo& network); // "3 in, 8 out", or "11" from an older node
std::string allWarnings(const NodeFigures& figures); // both calls' warnings, each once
std::string elapsedText(double seconds); // "0:07", "12:30", "1:02:03"

} // namespace korvane
