#include "node/node_status.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

namespace korvane {
namespace {

constexpr double kShortestRateSpan = 10; // seconds between the samples a rate is taken from
constexpr const char* kUnknown = "?";

template <typename... Args> std::string formatted(const char* format, Args... args)
{
    std::array<char, 96> text {};
    std::snprintf(text.data(), text.size(), format, args...);
    return text.data();
}

std::string joined(const std::vector<std::string>& parts, const char* separator)
{
    std::string result;
    for (const std::string& part : parts) {
        if (part.empty())
            continue;
        if (!result.empty())
            result += separator;
        result += part;
    }
    return result;
}

} // namespace

// Both calls carry the node's warnings; a newer node's network ones are added.
std::string allWarnings(const NodeFigures& figures)
{
    std::string warnings = figures.chain ? warningsText(figures.chain->warnings) : "none";
    if (figures.network) {
        const std::string network = warningsText(figures.network->warnings);
        if (network != "none" && network != warnings)
            warnings = warnings == "none" ? network : warnings + "; " + network;
    }
    return warnings;
}

std::optional<std::int64_t> NodeFigures::blocks() const
{
    if (blockCount)
        return blockCount;
    return chain ? chain->blocks : std::nullopt;
}

SyncJudgement judgeSync(const NodeFigures& figures, std::int64_t now, std::int64_t behindAfter)
{
    SyncJudgement sync;
    const std::optional<std::int64_t> blocks = figures.blocks();
    if (blocks && figures.chain && figures.chain->headers)
        sync.blocksBehind = std::max<std::int64_t>(0, *figures.chain->headers - *blocks);
    if (figures.tipTime)
        sync.tipAge = std::max<std::int64_t>(0, now - *figures.tipTime);
    sync.synced = figures.chain && !figures.chain->initialDownload && sync.blocksBehind == 0 && sync.tipAge
        && *sync.tipAge < behindAfter;
    return sync;
}

std::string syncText(const SyncJudgement& sync)
{
    std::vector<std::string> parts;
    if (sync.blocksBehind && *sync.blocksBehind > 0)
        parts.push_back(countText(sync.blocksBehind) + (*sync.blocksBehind == 1 ? " block behind" : " blocks behind"));
    if (sync.tipAge)
        parts.push_back("last block " + ageText(*sync.tipAge) + " ago");
    return joined(parts, ", ");
}

void ProgressSamples::add(double seconds, double progress)
{
    // A progress that falls (a reindex, another node on the port) starts the estimate afresh.
    if (!m_samples.empty() && progress < m_samples.back().progress)
        m_samples.clear();
    m_samples.push_back({ seconds, progress });
    while (m_samples.front().seconds < seconds - m_windowSeconds)
        m_samples.pop_front();
}

std::optional<double> ProgressSamples::secondsLeft() const
{
    if (m_samples.size() < 2)
        return std::nullopt;
    const Sample& first = m_samples.front();
    const Sample& last = m_samples.back();
    const double span = last.seconds - first.seconds;
    const double gained = last.progress - first.progress;
    if (span < kShortestRateSpan || gained <= 0)
        return std::nullopt;
    return (1.0 - last.progress) * span / gained;
}

std::string percentText(std::optional<double> progress)
{
    if (!progress || !std::isfinite(*progress) || *progress < 0)
        return kUnknown;
    const double hundredths = std::floor(std::min(*progress, 1.0) * 10000.0);
    return formatted("%.2f %%", hundredths / 100.0);
}

std::string timeLeftText(double seconds)
{
    const auto minutes = static_cast<long long>(std::llround(seconds / 60.0));
    if (minutes < 1)
        return "under a minute left";
    if (minutes < 60)
        return formatted("about %lld min left", minutes);
    return formatted("about %lld h %02lld min left", minutes / 60, minutes % 60);
}

std::string sizeText(std::optional<std::int64_t> bytes)
{
    constexpr std::array<const char*, 5> kUnits { "kB", "MB", "GB", "TB", "PB" };
    if (!bytes || *bytes < 0)
        return kUnknown;
    if (*bytes < 1000)
        return formatted("%lld bytes", static_cast<long long>(*bytes));
    double value = static_cast<double>(*bytes);
    std::size_t unit = 0;
    for (value /= 1000.0; value >= 999.995 && unit + 1 < kUnits.size(); value /= 1000.0)
        ++unit;
    return formatted("%.2f %s", value, kUnits[unit]);
}

std::string countText(std::optional<std::int64_t> count)
{
    if (!count || *count < 0)
        return kUnknown;
    std::string digits = std::to_string(*count);
    for (auto at = static_cast<std::ptrdiff_t>(digits.size()) - 3; at > 0; at -= 3)
        digits.insert(static_cast<std::size_t>(at), 1, ',');
    return digits;
}

std::string ageText(std::int64_t seconds)
{
    const auto whole = static_cast<long long>(std::max<std::int64_t>(0, seconds));
    if (whole < 60)
        return formatted("%lld s", whole);
    if (whole < 3600)
        return formatted("%lld min", whole / 60);
    if (whole < 2 * 86400)
        return formatted("%lld h", whole / 3600);
    return formatted("%lld days", whole / 86400);
}

std::string warningsText(const NodeWarnings& warnings)
{
    const std::string text = std::holds_alternative<std::string>(warnings)
        ? std::get<std::string>(warnings)
        : joined(std::get<std::vector<std::string>>(warnings), "; ");
    return text.empty() ? "none" : text;
}

std::string peersText(const NetworkInfo& network)
{
    const auto count = [](std::optional<int> peers) {
        return peers && *peers >= 0 ? std::to_string(*peers) : std::string(kUnknown);
    };
    if (network.connectionsIn || network.connectionsOut)
        return count(network.connectionsIn) + " in, " + count(network.connectionsOut) + " out";
    return count(network.connections);
}

std::string elapsedText(double seconds)
{
    const auto whole = static_cast<long long>(std::max(0.0, seconds));
    if (whole < 3600)
        return formatted("%lld:%02lld", whole / 60, whole % 60);
    return formatted("%lld:%02lld:%02lld", whole / 3600, whole / 60 % 60, whole % 60);
}

std::vector<std::string> statusLines(const NodeFigures& figures, const SyncJudgement& sync)
{
    std::vector<std::string> lines;
    if (figures.chain) {
        const ChainInfo& chain = *figures.chain;
        lines.push_back("Network: " + chain.chain);
        lines.push_back("Blocks: " + countText(figures.blocks()) + " / " + countText(chain.headers));
        lines.push_back("Last block: " + (sync.tipAge ? ageText(*sync.tipAge) + " ago" : std::string(kUnknown)));
        std::string verification = "Verification: " + percentText(chain.verificationProgress);
        if (!sync.synced && figures.secondsLeft)
            verification += ", " + timeLeftText(*figures.secondsLeft);
        lines.push_back(verification);
    }
    if (figures.network)
        lines.push_back("Peers: " + peersText(*figures.network));
    if (figures.chain)
        lines.push_back("Size on disk: " + sizeText(figures.chain->sizeOnDisk));
    if (figures.network) {
        const NetworkInfo& network = *figures.network;
        lines.push_back("Version: " + network.subversion + " ("
                        + (network.version ? std::to_string(*network.version) : std::string(kUnknown)) + ")");
    }
    if (figures.chain || figures.network)
        lines.push_back("Warnings: " + allWarnings(figures));
    return lines;
}

} // namespace korvane
