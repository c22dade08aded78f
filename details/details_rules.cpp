#include "details/details_rules.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace korvane {
namespace {

constexpr const char* kUnknown = "?";
constexpr double kBytesPerKilobyte = 1000;
constexpr double kLowestTop = 0.1; // kB/s: an idle node's pings and announcements still show

std::string fixed(double value, int decimals)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

bool impossible(std::optional<double> value)
{
    return !value || !std::isfinite(*value) || *value < 0;
}

// The smallest of 1, 2 and 5 times a power of ten that is not below `value`.
double roundedUp(double value)
{
    const double power = std::pow(10.0, std::floor(std::log10(value)));
    for (const double step : { 1.0, 2.0, 5.0 }) {
        if (step * power >= value * (1 - 1e-9))
            return step * power;
    }
    return 10 * power;
}

} // namespace

std::string durationText(std::int64_t seconds)
{
    if (seconds < 3600 || seconds >= 2 * 86400)
        return ageText(seconds);
    const std::int64_t minutes = seconds % 3600 / 60;
    const std::string hours = ageText(seconds - seconds % 3600);
    return minutes ? hours + " " + ageText(minutes * 60) : hours;
}

std::string pingText(std::optional<double> seconds)
{
    if (impossible(seconds))
        return kUnknown;
    const double milliseconds = *seconds * 1000;
    return fixed(milliseconds, milliseconds < 10 ? 2 : 0);
}

std::array<std::string, kMempoolFigures.size()> mempoolTexts(const std::optional<MempoolInfo>& mempool)
{
    const MempoolInfo info = mempool.value_or(MempoolInfo {});
    std::string memory = sizeText(info.memoryUse);
    if (info.memoryLimit)
        memory += " of " + sizeText(info.memoryLimit);
    const std::string fee = impossible(info.minimumFee) ? kUnknown : fixed(*info.minimumFee, 8) + " coins per kvB";
    return { countText(info.transactions), sizeText(info.bytes), memory, fee };
}

std::array<std::string, kNodeFigures.size()> nodeTexts(const NodeFacts& facts, const std::string& startTime)
{
    const auto orUnknown = [](const std::string& text) { return text.empty() ? std::string(kUnknown) : text; };
    std::string version = facts.version ? std::to_string(*facts.version) : kUnknown;
    if (!facts.subversion.empty())
        version += " " + facts.subversion;
    const std::optional<std::int64_t> total
        = facts.sizeOnDisk && facts.chainStateSize && *facts.sizeOnDisk >= 0 && *facts.chainStateSize >= 0
        ? std::optional(*facts.sizeOnDisk + *facts.chainStateSize)
        : std::nullopt;
    const std::string size = sizeText(total) + " (block files " + sizeText(facts.sizeOnDisk) + ", chainstate "
        + sizeText(facts.chainStateSize) + ")";
    // The chain and whether it is pruned come in the same answer.
    const std::string pruned = facts.chain.empty() ? kUnknown : facts.pruned ? "yes" : "no";
    return {
        version,
        facts.protocolVersion ? std::to_string(*facts.protocolVersion) : kUnknown,
        orUnknown(facts.chain),
        facts.uptime && *facts.uptime >= 0 ? durationText(*facts.uptime) : kUnknown,
        orUnknown(startTime),
        orUnknown(facts.dataFolder),
        size,
        pruned,
        facts.warnings.empty() ? "none" : facts.warnings,
        orUnknown(facts.endpoint),
        orUnknown(facts.credentialsSource),
        orUnknown(facts.debugLog),
    };
}

TrafficScale trafficScale(const std::vector<TrafficRate>& rates, double span)
{
    double highest = 0;
    for (const TrafficRate& rate : rates) {
        if (rate.at >= rates.back().at - span)
            highest = std::max({ highest, rate.receivedPerSecond, rate.sentPerSecond });
    }
    TrafficScale scale;
    scale.top = roundedUp(std::max(kLowestTop, highest / kBytesPerKilobyte));
    const double mantissa = scale.top / std::pow(10.0, std::floor(std::log10(scale.top) + 1e-9));
    const int steps = std::lround(mantissa) == 2 ? 4 : 5;
    for (int tick = 0; tick <= steps; ++tick)
        scale.ticks.push_back(scale.top * tick / steps);
    return scale;
}

std::vector<GraphPoint> graphPoints(const std::vector<TrafficRate>& rates, double span, double top)
{
    std::vector<GraphPoint> points;
    if (rates.empty() || span <= 0 || top <= 0)
        return points;
    const double start = rates.back().at - span;
    const double topBytes = top * kBytesPerKilobyte;
    for (const TrafficRate& rate : rates) {
        if (rate.at >= start)
            points.push_back(
                { (rate.at - start) / span, rate.receivedPerSecond / topBytes, rate.sentPerSecond / topBytes });
    }
    return points;
}

} // namespace korvane
