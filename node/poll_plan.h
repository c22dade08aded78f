#pragma once

#include <optional>
#include <vector>

namespace korvane {

// The node's RPC calls that a poll makes.
enum class NodeCall
{
    ChainInfo, // getblockchaininfo: holds the node's main lock while it answers
    BlockCount, // getblockcount
    NetworkInfo, // getnetworkinfo
    Uptime, // uptime: a smaller figure than before is a new run
    TipHeader, // getblockheader of the best block, for the tip's time
    PeerInfo, // getpeerinfo, while the details window shows its peers
    NetTotals, // getnettotals, for the traffic graph
    MempoolInfo, // getmempoolinfo, while the details window shows the mempool
};

// Which calls a poll makes, one after another and never two at a time, as the node's own
// developers advise: the cheap ones every poll; getblockchaininfo every poll while the node is
// synced, and every kChainInfoPeriod while it catches up or when it last took over kSlowCall.
class PollPlan
{
public:
    static constexpr double kPollPeriod = 2; // seconds
    static constexpr double kChainInfoPeriod = 10;
    static constexpr double kSlowCall = 1;

    // The calls of the poll at `now` (seconds on a steady clock).
    std::vector<NodeCall> poll(double now, bool synced) const;
    // getblockchaininfo answered at `now` after `took` seconds.
    void chainInfoAnswered(double now, double took);
    // A new run of the node: the next poll asks everything.
    void reset() { m_lastChainInfo.reset(); }

private:
    std::optional<double> m_lastChainInfo;
    double m_lastChainInfoTook = 0;
};

} // namespace korvane
