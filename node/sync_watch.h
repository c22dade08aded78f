#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>

namespace korvane {

// How a sync goes, from the node's answers over the last ten minutes: the rate, the time left (only
// while the rate is steady, never a jumping figure), and whether it has stalled.
class SyncWatch
{
public:
    static constexpr double kWindow = 600; // seconds of answers the rate is taken from
    static constexpr double kShortestSpan = 120; // a rate needs answers this far apart
    static constexpr double kStallAfter = 300; // no new block this long while behind is a stall
    static constexpr double kNoPeersAfter = 60;
    static constexpr double kUnsteadyRatio = 2; // the two halves' rates differ more: unsteady

    // An answer at `at` (seconds, steady clock): the blocks, the progress (0 to 1) and the peers.
    void add(double at, std::int64_t blocks, double progress, std::optional<int> peers);
    void reset() { *this = SyncWatch(); }

    struct View
    {
        std::optional<double> progressPerHour; // of the whole, 0 to 1
        std::optional<double> blocksPerHour;
        std::optional<double> secondsLeft; // empty while the rate is unknown or unsteady
        bool unsteady = false;
        std::optional<double> stalledFor; // seconds without a new block while behind
        std::optional<double> noPeersFor; // seconds without a peer
    };
    View view(double now, bool behind) const;

private:
    struct Sample
    {
        double at;
        std::int64_t blocks;
        double progress;
    };
    std::deque<Sample> m_samples;
    std::optional<double> m_lastNewBlock; // when the block count last rose
    std::optional<double> m_peerlessSince;
};

// The lines the sync adds to the status: "Progress: 45.67 %, +2.10 % an hour", "Time left: about
// 3 h 10 min", "Time left: unknown (the rate is unsteady)".
std::string progressText(std::optional<double> progress, const SyncWatch::View& view);
std::string timeLeftLine(const SyncWatch::View& view);
// What is wrong with a sync or a synced node, one text for each kind of trouble (empty where there
// is none): a stall ("stalled: no new block for 6 min"), no peers ("no peer for 2 min"), and a
// synced node's stale tip ("the tip is stale: last block 1 h ago").
using SyncTroubles = std::array<std::string, 3>;
SyncTroubles syncTroubles(const SyncWatch::View& view, std::optional<std::int64_t> staleTipAge);
// The troubles in one text, "; " between them.
std::string troubleText(const SyncTroubles& troubles);

} // namespace korvane
