#include "node/sync_watch.h"

#include "node/node_status.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace korvane {
namespace {

constexpr double kHour = 3600;

double ratePerHour(double gained, double span)
{
    return span > 0 ? gained / span * kHour : 0;
}

} // namespace

void SyncWatch::add(double at, std::int64_t blocks, double progress, std::optional<int> peers)
{
    // Fewer blocks or less progress than before (a reindex, another node) starts afresh.
    if (!m_samples.empty() && (blocks < m_samples.back().blocks || progress < m_samples.back().progress)) {
        m_samples.clear();
        m_lastNewBlock.reset();
    }
    if (m_samples.empty() || blocks > m_samples.back().blocks || !m_lastNewBlock)
        m_lastNewBlock = at;
    m_samples.push_back({ at, blocks, progress });
    while (m_samples.front().at < at - kWindow)
        m_samples.pop_front();
    if (peers && *peers == 0) {
        if (!m_peerlessSince)
            m_peerlessSince = at;
    } else if (peers) {
        m_peerlessSince.reset();
    }
}

SyncWatch::View SyncWatch::view(double now, bool behind) const
{
    View view;
    if (m_peerlessSince && now - *m_peerlessSince >= kNoPeersAfter)
        view.noPeersFor = now - *m_peerlessSince;
    if (behind && m_lastNewBlock && now - *m_lastNewBlock >= kStallAfter)
        view.stalledFor = now - *m_lastNewBlock;
    if (m_samples.size() < 3)
        return view;
    const Sample& first = m_samples.front();
    const Sample& last = m_samples.back();
    const double span = last.at - first.at;
    if (span < kShortestSpan)
        return view;
    view.progressPerHour = ratePerHour(last.progress - first.progress, span);
    view.blocksPerHour = ratePerHour(static_cast<double>(last.blocks - first.blocks), span);
    // The rate of each half of the window: a rate that changes much is no base for a time left.
    const double middle = first.at + span / 2;
    const auto half
        = std::find_if(m_samples.begin(), m_samples.end(), [middle](const Sample& s) { return s.at >= middle; });
    const double firstHalf = ratePerHour(half->progress - first.progress, half->at - first.at);
    const double secondHalf = ratePerHour(last.progress - half->progress, last.at - half->at);
    const double slower = std::min(firstHalf, secondHalf);
    view.unsteady = slower <= 0 || std::max(firstHalf, secondHalf) / slower > kUnsteadyRatio;
    if (!view.unsteady && *view.progressPerHour > 0)
        view.secondsLeft = (1.0 - last.progress) / *view.progressPerHour * kHour;
    return view;
}

std::string progressText(std::optional<double> progress, const SyncWatch::View& view)
{
    std::string text = "Progress: " + percentText(progress);
    if (view.progressPerHour) {
        char rate[48];
        std::snprintf(rate, sizeof rate, ", +%.2f %% an hour", *view.progressPerHour * 100);
        text += rate;
    }
    return text;
}

std::string timeLeftLine(const SyncWatch::View& view)
{
    if (view.secondsLeft) {
        const std::string left = timeLeftText(*view.secondsLeft); // "about 2 h 05 min left"
        return "Time left: " + left.substr(0, left.rfind(" left"));
    }
    if (view.unsteady)
        return "Time left: unknown (the rate is unsteady)";
    return "Time left: unknown (not enough answers yet)";
}

SyncTroubles syncTroubles(const SyncWatch::View& view, std::optional<std::int64_t> staleTipAge)
{
    SyncTroubles troubles;
    if (view.stalledFor)
        troubles[0] = "stalled: no new block for " + ageText(static_cast<std::int64_t>(*view.stalledFor));
    if (view.noPeersFor)
        troubles[1] = "no peer for " + ageText(static_cast<std::int64_t>(*view.noPeersFor));
    if (staleTipAge)
        troubles[2] = "the tip is stale: last block " + ageText(*staleTipAge) + " ago";
    return troubles;
}

std::string troubleText(const SyncTroubles& troubles)
{
    std::string text;
    for (const std::string& trouble : troubles) {
        if (!trouble.empty())
            text += (text.empty() ? "" : "; ") + trouble;
    }
    return text;
}

} // namespace korvane
