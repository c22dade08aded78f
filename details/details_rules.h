#pragma once

#include "node/node_details.h"

#include <array>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace korvane {

// The node details window's rules: its figures' texts, the traffic graph's scale, and how the log
// page follows the lines the model keeps. Plain C++; an empty figure reads "?".

// "45 s", "12 min", "3 h 12 min", "4 days": how long a peer has been connected, or the node up.
std::string durationText(std::int64_t seconds);
// A ping in milliseconds: "0.12", "48".
std::string pingText(std::optional<double> seconds);

// A figure of the mempool and node pages: its control's name and its caption.
struct Figure
{
    const char* name; // of its value: NAME_LABEL, and of its caption: NAME_CAPTION
    const char* caption;
};

inline constexpr std::array kMempoolFigures {
    Figure { "MEMPOOL_TRANSACTIONS", "Transactions:" },
    Figure { "MEMPOOL_SIZE", "Size:" },
    Figure { "MEMPOOL_MEMORY", "Memory use:" },
    Figure { "MEMPOOL_MINIMUM_FEE", "Minimum fee:" },
};
std::array<std::string, kMempoolFigures.size()> mempoolTexts(const std::optional<MempoolInfo>& mempool);

inline constexpr std::array kNodeFigures {
    Figure { "NODE_VERSION", "Version:" },
    Figure { "NODE_PROTOCOL", "Protocol:" },
    Figure { "NODE_CHAIN", "Chain:" },
    Figure { "NODE_UPTIME", "Up for:" },
    Figure { "NODE_STARTED", "Started:" },
    Figure { "NODE_DATA_FOLDER", "Data folder:" },
    Figure { "NODE_SIZE_ON_DISK", "Size on disk:" },
    Figure { "NODE_PRUNED", "Pruned:" },
    Figure { "NODE_WARNINGS", "Warnings:" },
    Figure { "NODE_ENDPOINT", "RPC endpoint:" },
    Figure { "NODE_CREDENTIALS", "Credentials from:" },
    Figure { "NODE_LOG_FILE", "Log file:" },
};
// `startTime` is the node's start as the desktop's clock shows it.
std::array<std::string, kNodeFigures.size()> nodeTexts(const NodeFacts& facts, const std::string& startTime);

// The traffic graph's vertical scale in kB/s: its top is 1, 2 or 5 times a power of ten, at
// least 0.1 kB/s, and it has a line at each tick, 0 included.
struct TrafficScale
{
    double top = 1;
    std::vector<double> ticks;
};
TrafficScale trafficScale(const std::vector<TrafficRate>& rates, double span);

// A rate's place in the graph: x from 0 (`span` seconds before the last rate) to 1 (the last), y
// from 0 to 1 (the scale's top). Rates older than the span are left out.
struct GraphPoint
{
    double x = 0;
    double received = 0;
    double sent = 0;
};
std::vector<GraphPoint> graphPoints(const std::vector<TrafficRate>& rates, double span, double top);

// How many lines at the end of `now` are new since `before` was shown: the model drops its oldest
// lines as new ones come. All of `now` when it does not go on from `before` (the log was read anew).

} // namespace korvane
