#pragma once

#include "node/node_status.h"

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace korvane {

// What the node details window shows, page by page, as the node's model keeps it. Figures the node
// gives that cannot be (negative, not a number) are kept empty and shown as "?".

enum class DetailsPage
{
    Peers,
    Traffic,
    Mempool,
    Node,
    Log,
};
inline constexpr int kDetailsPages = 5;

// One peer, from "getpeerinfo".
struct PeerInfo
{
    std::int64_t id = 0;
    std::string address; // "127.0.0.1:19444", "[2001:db8::1]:9333"
    bool inbound = false;
    std::string subversion; // "/LitecoinCore:0.21.2.1/"
    std::optional<double> pingSeconds; // the last ping, else the one it waits for
    std::optional<std::int64_t> syncedBlocks;
    std::optional<std::int64_t> syncedHeaders;
    std::optional<std::int64_t> bytesSent;
    std::optional<std::int64_t> bytesReceived;
    std::optional<std::int64_t> connectedAt; // seconds since 1970

    bool operator==(const PeerInfo&) const = default;
};

// The node's byte counters ("getnettotals") at one moment.
struct TrafficSample
{
    double at = 0; // seconds on the model's steady clock
    std::int64_t received = 0; // bytes since the node started
    std::int64_t sent = 0;
};

// Bytes a second between two samples, at the later one's time.
struct TrafficRate
{
    double at = 0;
    double receivedPerSecond = 0;
    double sentPerSecond = 0;
};

// The rates between each pair of samples; a counter that fell (the node started again) starts over.
std::vector<TrafficRate> trafficRates(const std::deque<TrafficSample>& samples);

// "getmempoolinfo".
struct MempoolInfo
{
    std::optional<std::int64_t> transactions;
    std::optional<std::int64_t> bytes; // the transactions' size
    std::optional<std::int64_t> memoryUse;
    std::optional<std::int64_t> memoryLimit;
    std::optional<double> minimumFee; // coins per kvB

    bool operator==(const MempoolInfo&) const = default;
};

// The node page: who the node is and where it keeps its data.
struct NodeFacts
{
    std::optional<std::int64_t> version;
    std::optional<std::int64_t> protocolVersion;
    std::string subversion;
    std::string chain;
    std::optional<std::int64_t> uptime; // seconds
    std::optional<std::int64_t> startedAt; // seconds since 1970, from the uptime
    std::string dataFolder; // the network's data folder
    std::optional<std::int64_t> sizeOnDisk; // the node's own figure (its block files)
    std::optional<std::int64_t> chainStateSize; // its chainstate folder, measured here
    bool pruned = false;
    std::string warnings;
    std::string endpoint; // "127.0.0.1:9332"
    std::string credentialsSource;
    std::string debugLog; // the log file the log page follows

    bool operator==(const NodeFacts&) const = default;
};

// The lines of the node's log the log page shows: the last kLines, following the file as it grows.
// Reading starts from where the last read ended, never from the start of the file again; a file
// that shrank or was replaced (rotated) is read anew from its tail. A line still being written is
// kept back until its end comes. Qt-free; reads the file, so call it off the GUI thread.
class LogFollower
{
public:
    static constexpr std::size_t kLines = 500;
    static constexpr std::uintmax_t kTailBytes = 256 * 1024; // read from a file's end at most

    struct Read
    {
        std::vector<std::string> lines; // the complete lines read this time, oldest first
        bool anew = false; // the file was read from its tail again: earlier lines are gone
        std::string problem; // why the file cannot be read, in words; empty when it could
    };

    // Reads what `path` gained since the last call.
    Read follow(const std::string& path);

private:
    std::uintmax_t m_offset = 0;
    std::string m_lastBytes; // the bytes just before the offset: another file there is a rotated log
    std::string m_path;
    std::string m_partial; // a last line whose end is not written yet
    bool m_started = false;
};

// Whether a log line is an error or a warning, for the log page's filter.
bool isErrorOrWarning(std::string_view line);

} // namespace korvane
