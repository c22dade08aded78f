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

std::optional<double> NodeFigures::progress() const
{
    if (!chain)
        return std::nullopt;
    if (chain->chain != "regtest")
        return chain->verificationProgress;
    const std::optional<std::int64_t> done = blocks();
    if (!done || !chain->headers || *chain->headers <= 0)
        return std::nullopt;
    return std::min(1.0, static_cast<double>(*done) / static_cast<double>(*chain->headers));
}

SyncJudgement judgeSync(const NodeFigures& figures, std::int64_t now, ChainPace pace)
{
    SyncJudgement sync;
    const std::optional<std::int64_t> blocks = figures.blocks();
    if (blocks && figures.chain && figures.chain->headers)
        sync.blocksBehind = std::max<std::int64_t>(0, *figures.chain->headers - *blocks);
    if (figures.tipTime)
        sync.tipAge = std::max<std::int64_t>(0, now - *figures.tipTime);
    sync.synced = figures.chain && !figures.chain->initialDownload && sync.blocksBehind == 0 && sync.tipAge
        && *sync.tipAge < pace.behindAfter;
    // The chain's height now is about the tip's height and a block for each spacing since its time.
    // Regtest makes blocks on demand: it has no such pace.
    if (!sync.synced && blocks && sync.tipAge && pace.blockSpacing > 0 && figures.chain->chain != "regtest") {
        const double expected = static_cast<double>(*blocks) + static_cast<double>(*sync.tipAge / pace.blockSpacing);
        const double share = static_cast<double>(*figures.chain->headers) / expected;
        if (share < 0.99)
            sync.headersShare = share;
    }
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

std::vector<std::string> statusLines(const NodeFigures& figures,
                                     const SyncJudgement& sync,
                                     const std::string& progress,
                                     const std::string& timeLeft)
{
    std::vector<std::string> lines;
    if (figures.chain) {
        const ChainInfo& chain = *figures.chain;
        lines.push_back("Network: " + chain.chain);
        std::string blocks = "Blocks: " + countText(figures.blocks()) + " / " + countText(chain.headers);
        if (sync.blocksBehind && *sync.blocksBehind > 0)
            blocks += " (" + countText(sync.blocksBehind) + " left)";
        lines.push_back(blocks);
        lines.push_back("Last block: " + (sync.tipAge ? ageText(*sync.tipAge) + " ago" : std::string(kUnknown)));
        if (!sync.synced) {
            lines.push_back(progress);
            lines.push_back(sync.headersShare ? "Headers: about " + percentText(sync.headersShare) + " downloaded"
                                              : timeLeft);
        }
    }
    if (figures.network)
        lines.push_back("Peers: " + peersText(*figures.network));
    if (figures.chain)
        lines.push_back("Size on disk: " + sizeText(figures.chain->sizeOnDisk));
    if (figures.network && sync.synced) {
        const NetworkInfo& network = *figures.network;
        lines.push_back("Version: " + network.subversion + " ("
                        + (network.version ? std::to_string(*network.version) : std::string(kUnknown)) + ")");
    }
    if (figures.chain || figures.network)
        lines.push_back("Warnings: " + allWarnings(figures));
    return lines;
}

} // namespace korvane
