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
    std::optional<double> secondsLeft; // estimated from the verification progress

    std::optional<std::int64_t> blocks() const;
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
};

// `now` in seconds since 1970; a tip older than `behindAfter` seconds is a node still catching up.
SyncJudgement judgeSync(const NodeFigures& figures, std::int64_t now, std::int64_t behindAfter);

// "2454 blocks behind, last block 3 h ago", "last block 5 min ago".
std::string syncText(const SyncJudgement& sync);

// Verification progress over the last minutes, from which the time left is estimated.
class ProgressSamples
{
public:
    explicit ProgressSamples(double windowSeconds = 300)
        : m_windowSeconds(windowSeconds)
    {
    }

    // `seconds` on any steady clock; samples older than the window are dropped.
    void add(double seconds, double progress);
    void clear() { m_samples.clear(); }

    // Seconds until the progress reaches 1 at the rate seen over the window; empty until two
    // samples at least 10 s apart show it rising.
    std::optional<double> secondsLeft() const;

private:
    struct Sample
    {
        double seconds;
        double progress;
    };
    double m_windowSeconds;
    std::deque<Sample> m_samples;
};

// The status lines, each read as shown: "Network: regtest", "Blocks: 105 / 105", "Last block:
// 3 min ago", "Verification: 99.99 %, about 2 h 05 min left", "Peers: 3 in, 8 out", "Size on
// disk: 1.23 GB", "Version: /LitecoinCore:0.21.2.1/ (210201)", "Warnings: none".
std::vector<std::string> statusLines(const NodeFigures& figures, const SyncJudgement& sync);

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
