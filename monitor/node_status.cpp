#include "monitor/node_status.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

namespace korvane {
namespace {

constexpr double kShortestRateSpan = 10; // seconds between the samples a rate is taken from

template <typename... Args> std::string formatted(const char* format, Args... args)
{
    std::array<char, 64> text {};
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

NodeRpcState stateAfter(const RpcOutcome& outcome)
{
    switch (outcome.kind) {
    case RpcOutcome::Kind::Result:
        return NodeRpcState::Answering;
    case RpcOutcome::Kind::RpcError:
        return outcome.errorCode == kRpcWarmUpError ? NodeRpcState::Starting : NodeRpcState::Failed;
    case RpcOutcome::Kind::Refused:
        return NodeRpcState::CredentialsRefused;
    case RpcOutcome::Kind::NoAnswer:
        return NodeRpcState::NotAnswering;
    case RpcOutcome::Kind::Failed:
        break;
    }
    return NodeRpcState::Failed;
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

std::string percentText(double progress)
{
    const double hundredths = std::floor(std::clamp(progress, 0.0, 1.0) * 10000.0);
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

std::string sizeText(std::uint64_t bytes)
{
    constexpr std::array<const char*, 5> kUnits { "kB", "MB", "GB", "TB", "PB" };
    if (bytes < 1000)
        return formatted("%llu bytes", static_cast<unsigned long long>(bytes));
    double value = static_cast<double>(bytes);
    std::size_t unit = 0;
    for (value /= 1000.0; value >= 999.995 && unit + 1 < kUnits.size(); value /= 1000.0)
        ++unit;
    return formatted("%.2f %s", value, kUnits[unit]);
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
    if (network.connectionsIn && network.connectionsOut)
        return formatted("%d in, %d out", *network.connectionsIn, *network.connectionsOut);
    return formatted("%d", network.connections.value_or(0));
}

std::string elapsedText(double seconds)
{
    const auto whole = static_cast<long long>(std::max(0.0, seconds));
    if (whole < 3600)
        return formatted("%lld:%02lld", whole / 60, whole % 60);
    return formatted("%lld:%02lld:%02lld", whole / 3600, whole / 60 % 60, whole % 60);
}

std::vector<std::string> statusLines(const NodeReading& reading)
{
    const ChainInfo& chain = reading.chain;
    std::string verification = "Verification: " + percentText(chain.verificationProgress);
    if (chain.initialDownload && reading.secondsLeft)
        verification += ", " + timeLeftText(*reading.secondsLeft);

    std::vector<std::string> lines {
        "Network: " + chain.chain,
        formatted("Blocks: %lld / %lld", static_cast<long long>(chain.blocks), static_cast<long long>(chain.headers)),
        verification,
        chain.initialDownload ? "Initial download" : "Synced",
    };
    if (reading.network)
        lines.push_back("Peers: " + peersText(*reading.network));
    if (chain.sizeOnDisk)
        lines.push_back("Size on disk: " + sizeText(*chain.sizeOnDisk));
    if (reading.network) {
        lines.push_back(formatted("Version: %s (%lld)", reading.network->subversion.c_str(),
                                  static_cast<long long>(reading.network->version)));
    }
    // Both calls carry the node's warnings; a newer node's network ones are kept apart.
    std::string warnings = warningsText(chain.warnings);
    if (reading.network) {
        const std::string network = warningsText(reading.network->warnings);
        if (network != "none" && network != warnings)
            warnings = warnings == "none" ? network : warnings + "; " + network;
    }
    lines.push_back("Warnings: " + warnings);
    return lines;
}

void StopWatch::stopAsked(double seconds, bool daemonRunning)
{
    if (!daemonRunning || m_stopping)
        return;
    m_stopping = true;
    m_stopped = false;
    m_askedAt = seconds;
}

void StopWatch::daemonRunning(bool running)
{
    if (running) {
        // Running again after it stopped: a new start, nothing left to say.
        m_stopped = false;
        return;
    }
    if (m_stopping) {
        m_stopping = false;
        m_stopped = true;
    }
}

StopWatch::Phase StopWatch::phase(double seconds) const
{
    if (m_stopped)
        return Phase::StoppedCleanly;
    if (!m_stopping)
        return Phase::None;
    return seconds - m_askedAt >= m_limitMinutes * 60 ? Phase::Overdue : Phase::Stopping;
}

std::string StopWatch::text(double seconds) const
{
    const std::string elapsed = elapsedText(seconds - m_askedAt);
    switch (phase(seconds)) {
    case Phase::None:
        return {};
    case Phase::Stopping:
        return "stopping \u2014 do not shut down the computer (" + elapsed + ")";
    case Phase::Overdue:
        return formatted("still running %g min after the stop was asked (", m_limitMinutes) + elapsed
            + "): do not shut down the computer; if the node hangs, end it with the process terminator";
    case Phase::StoppedCleanly:
        return "stopped cleanly";
    }
    return {};
}

} // namespace korvane
