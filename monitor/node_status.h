#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace korvane {

// What a node tells of itself over RPC, and what the node status panel shows of it.

// A node's warnings: one text in older nodes (empty when there are none), a list in newer ones.
using NodeWarnings = std::variant<std::string, std::vector<std::string>>;

// The fields of "getblockchaininfo" the panel shows.
struct ChainInfo
{
    std::string chain; // "main", "test", "signet", "regtest"
    std::int64_t blocks = 0;
    std::int64_t headers = 0;
    double verificationProgress = 0; // 0 to 1
    bool initialDownload = false;
    std::optional<std::uint64_t> sizeOnDisk; // bytes
    NodeWarnings warnings;
};

// The fields of "getnetworkinfo" the panel shows. Older nodes give the peers only as a total.
struct NetworkInfo
{
    std::int64_t version = 0;
    std::string subversion; // "/LitecoinCore:0.21.2.1/"
    std::optional<int> connectionsIn;
    std::optional<int> connectionsOut;
    std::optional<int> connections;
    NodeWarnings warnings;
};

// Where the node is, as the panel sees it.
enum class NodeRpcState
{
    Idle, // the daemon does not run
    NotAnswering, // it runs, but its RPC port refuses, times out or is not there yet
    Starting, // it answers with its warm-up error (-28) and the step it is at
    CredentialsRefused, // it answered 401: polling stops until the credentials change
    Answering, // the status below is the node's latest
    Failed, // any other answer: the reason is shown
};

// How one call ended, before the panel makes a state of it.
struct RpcOutcome
{
    enum class Kind
    {
        Result, // a result came back
        RpcError, // the node answered with a JSON-RPC error
        Refused, // HTTP 401
        NoAnswer, // connection refused, timed out or closed without an answer
        Failed, // anything else: an answer that is not JSON-RPC, another HTTP error
    };
    Kind kind = Kind::NoAnswer;
    int errorCode = 0; // RpcError only
    std::string message; // the node's error text, or what went wrong
};

inline constexpr int kRpcWarmUpError = -28;

// The state a call's outcome leaves the panel in (only while the daemon runs); the node's text for
// Starting and Failed is in the outcome's message.
NodeRpcState stateAfter(const RpcOutcome& outcome);

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

// Everything the panel shows while the node answers.
struct NodeReading
{
    ChainInfo chain;
    std::optional<NetworkInfo> network; // empty until getnetworkinfo has answered once
    std::optional<double> secondsLeft;
};

// The panel's lines, each read as shown: "Network: regtest", "Blocks: 105 / 105",
// "Verification: 99.99 %, about 2 h 05 min left", "Synced" or "Initial download",
// "Peers: 3 in, 8 out", "Size on disk: 1.23 GB", "Version: /LitecoinCore:0.21.2.1/ (210201)",
// "Warnings: none".
std::vector<std::string> statusLines(const NodeReading& reading);

// The parts of statusLines, for tests and other callers.
std::string percentText(double progress); // 0.123456 -> "12.34 %", never rounded up to 100
std::string timeLeftText(double seconds); // "about 2 h 05 min left", "about 4 min left", "under a minute left"
std::string sizeText(std::uint64_t bytes); // powers of 1000: "980 bytes", "1.23 GB"
std::string warningsText(const NodeWarnings& warnings); // "none", or the warnings joined by "; "
std::string peersText(const NetworkInfo& network); // "3 in, 8 out", or "11" from an older node
std::string elapsedText(double seconds); // "0:07", "12:30", "1:02:03"

// A stop asked of the node, watched until the process is gone.
class StopWatch
{
public:
    enum class Phase
    {
        None, // no stop asked, or a new start since
        Stopping,
        Overdue, // still running after the limit
        StoppedCleanly,
    };

    void stopAsked(double seconds, bool daemonRunning);
    void daemonRunning(bool running);
    Phase phase(double seconds) const;

    // "stopping — do not shut down the computer (0:42)", "stopped cleanly", or what to do when the
    // node still runs after `limitMinutes`; empty with no stop asked.
    std::string text(double seconds) const;

    void setLimitMinutes(double minutes) { m_limitMinutes = minutes; }

private:
    bool m_stopping = false;
    bool m_stopped = false;
    double m_askedAt = 0;
    double m_limitMinutes = 10;
};

} // namespace korvane
