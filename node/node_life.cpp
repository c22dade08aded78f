#include "node/node_life.h"

#include "base/decimal_number.h"
#include "settings/keys.h"

#include <algorithm>

namespace korvane {
namespace {

constexpr std::size_t kLongestReason = 400;

bool isEnd(NodeState state)
{
    switch (state) {
    case NodeState::Ending:
    case NodeState::StoppedCleanly:
    case NodeState::EndedUnexpectedly:
    case NodeState::Ended:
    case NodeState::FailedToStart:
        return true;
    default:
        return false;
    }
}

// The text with every run of blanks and line breaks made one space, cut to a readable length.
std::string oneLine(std::string_view text)
{
    std::string line;
    bool blank = false;
    for (const char c : text) {
        const bool isBlank = c == ' ' || c == '\t' || c == '\r' || c == '\n';
        if (isBlank) {
            blank = !line.empty();
            continue;
        }
        if (blank)
            line += ' ';
        blank = false;
        line += c;
    }
    if (line.size() > kLongestReason)
        line = line.substr(0, kLongestReason) + "\u2026";
    return line;
}

std::string plural(long long count, const char* unit)
{
    return std::to_string(count) + " " + unit + (count == 1 ? "" : "s");
}

} // namespace

RestartBackOff::Time NodeLife::backOffTime(Seconds seconds)
{
    return std::chrono::duration_cast<RestartBackOff::Time>(std::chrono::duration<double>(seconds));
}

void NodeLife::processSeen(bool running, Seconds now)
{
    if (running == m_running)
        return;
    m_running = running;
    if (!running) {
        ended(now);
        return;
    }
    // A new run: nothing said of the last one holds for it.
    m_synced = m_withheld = m_unreadable = m_warmingUp = m_credentialsRefused = m_killAsked = m_failedStart = false;
    m_silentPolls = 0;
    m_lastAnswerAt.reset();
    m_stopAcceptedAt.reset();
    m_stopRefusal.clear();
    m_detail.clear();
    m_state = NodeState::Starting;
    settle();
}

void NodeLife::startedHere(Seconds now)
{
    m_startedHereAt = now;
    m_startedProgramEndedAt.reset();
    if (!m_running) {
        m_state = NodeState::Starting;
        m_detail.clear();
    }
}

void NodeLife::startedProgramEnded(Seconds now)
{
    if (m_startedHereAt && !m_startedProgramEndedAt)
        m_startedProgramEndedAt = now;
}

void NodeLife::tick(Seconds now)
{
    // The program started here is gone and no daemon came of it: the start failed.
    if (!m_running && m_state == NodeState::Starting && m_startedProgramEndedAt
        && now - *m_startedProgramEndedAt >= kLaunchGrace) {
        m_failedStart = true;
        m_startedHereAt.reset();
        m_startedProgramEndedAt.reset();
        m_state = NodeState::Ending;
    }
}

bool NodeLife::startedHereWithin(Seconds now) const
{
    return m_startedHereAt && now - *m_startedHereAt <= kStartWindow;
}

void NodeLife::ended(Seconds now)
{
    m_failedStart = startedHereWithin(now) && !m_stopAcceptedAt && !m_lastAnswerAt;
    m_startedHereAt.reset();
    m_startedProgramEndedAt.reset();
    m_state = NodeState::Ending;
}

void NodeLife::stopAccepted(Seconds now)
{
    if (!m_running)
        return;
    if (!m_stopAcceptedAt)
        m_stopAcceptedAt = now;
    m_stopRefusal.clear();
    settle();
}

void NodeLife::stopRefused(std::string words)
{
    m_stopRefusal = oneLine(words);
}

void NodeLife::answered(Seconds now, bool synced)
{
    m_lastAnswerAt = now;
    m_silentPolls = 0;
    m_synced = synced;
    m_unreadable = m_warmingUp = m_credentialsRefused = false;
    m_detail.clear();
    settle();
}

void NodeLife::pollFailed(const RpcOutcome& outcome)
{
    m_warmingUp = outcome.kind == RpcOutcome::Kind::RpcError && outcome.errorCode == kRpcWarmUpError;
    m_unreadable = !m_warmingUp && outcome.kind != RpcOutcome::Kind::NoAnswer;
    m_credentialsRefused = outcome.kind == RpcOutcome::Kind::Refused;
    if (outcome.kind == RpcOutcome::Kind::NoAnswer)
        ++m_silentPolls;
    else
        m_silentPolls = 0;
    m_detail = outcome.kind == RpcOutcome::Kind::Refused ? "RPC credentials refused" : oneLine(outcome.message);
    settle();
}

void NodeLife::credentialsWithheld(std::string why)
{
    m_withheld = true;
    m_detail = std::move(why);
    settle();
}

void NodeLife::credentialsAllowed()
{
    if (!m_withheld)
        return;
    m_withheld = false;
    m_detail.clear();
    settle();
}

void NodeLife::setMayRestart(bool may, std::string otherCopy)
{
    m_mayRestart = may;
    m_otherCopy = std::move(otherCopy);
}

// The state of a running process from what is known of it; ends settle with their evidence.
void NodeLife::settle()
{
    if (!m_running || isEnd(m_state))
        return;
    if (m_stopAcceptedAt)
        m_state = NodeState::Stopping;
    else if (m_withheld)
        m_state = NodeState::NotThisProfilesNode;
    else if (m_unreadable)
        m_state = NodeState::StatusUnknown;
    else if (m_warmingUp || !m_lastAnswerAt)
        m_state = NodeState::Starting;
    else if (m_silentPolls >= kSilentPollsBeforeUnknown)
        m_state = NodeState::StatusUnknown;
    else
        m_state = m_synced ? NodeState::Synced : NodeState::CatchingUp;
}

NodeState NodeLife::endState(const EndEvidence& evidence) const
{
    const bool cleanRun = evidence.logRead && evidence.run.closedCleanly;
    const bool started = evidence.logRead && evidence.run.loaded;
    if (m_failedStart && !started && !(cleanRun && evidence.runInLog && evidence.run.lastError.empty()))
        return NodeState::FailedToStart;
    if (!evidence.logRead)
        return NodeState::Ended;
    return cleanRun ? NodeState::StoppedCleanly : NodeState::EndedUnexpectedly;
}

EndPlan NodeLife::endEvidence(const EndEvidence& evidence, std::string_view clock, Seconds now)
{
    if (m_state != NodeState::Ending)
        return {}; // a new run began meanwhile
    m_endedAt = clock;
    m_state = endState(evidence);
    switch (m_state) {
    case NodeState::FailedToStart: {
        std::string reason = oneLine(evidence.output);
        const std::string logError = oneLine(evidence.run.lastError);
        if (!logError.empty() && reason.find(logError) == std::string::npos)
            reason += (reason.empty() ? "" : "; its log: ") + logError;
        m_detail = reason.empty() ? "it ended soon after it was started and said nothing" : reason;
        break;
    }
    case NodeState::Ended:
        m_detail = evidence.logProblem;
        break;
    default:
        m_detail.clear();
        break;
    }
    EndPlan plan = planAfter(m_state, clock, now);
    m_killAsked = false;
    return plan;
}

EndPlan NodeLife::planAfter(NodeState state, std::string_view clock, Seconds now)
{
    const std::string at(clock);
    const bool askedHere = m_killAsked || m_stopAcceptedAt;
    EndPlan plan;
    switch (state) {
    case NodeState::StoppedCleanly:
        plan.message = "The daemon stopped cleanly at " + at;
        return plan;
    case NodeState::FailedToStart:
        plan.notify = true;
        plan.message = "The daemon failed to start: " + m_detail;
        return plan;
    case NodeState::Ended:
        plan.notify = !askedHere;
        plan.message = "The daemon ended at " + at + "; whether it stopped cleanly is not known: " + m_detail;
        return plan;
    case NodeState::EndedUnexpectedly:
        break;
    default:
        return plan;
    }
    if (m_killAsked) {
        plan.message = "The daemon was ended with the process terminator at " + at + "; it did not stop cleanly";
        return plan;
    }
    plan.notify = true;
    plan.message = "The daemon ended unexpectedly at " + at + "; its log does not show a clean stop";
    if (m_stopAcceptedAt || !m_restartWanted)
        return plan;
    if (!m_mayRestart) {
        plan.message += "; " + m_otherCopy + " restarts it";
        return plan;
    }
    plan.restartAfter = m_backOff.next(backOffTime(now));
    if (plan.restartAfter)
        plan.message += "; restarting it in " + plural(plan.restartAfter->count(), "minute");
    else
        plan.message += "; not restarting it: it was restarted " + std::to_string(RestartBackOff::kRestartsPerHour)
            + " times within the hour";
    return plan;
}

StopLimit stopLimit(std::string_view text)
{
    constexpr double kLongest = 24 * 60;
    if (const auto minutes = decimalNumber(text); minutes && *minutes >= 1 && *minutes <= kLongest)
        return { *minutes, {} };
    const KeyInfo& key = keyInfo(Key::NodeStopLimit);
    return { decimalNumber(key.defaultValue).value_or(10),
             std::string(key.name) + " in the profile is \"" + std::string(text)
                 + "\", not a number of minutes from 1 to 1,440; a stop is said to be overdue after the default, "
                 + std::string(key.defaultValue) + " minutes" };
}

bool runsBesides(const std::vector<std::int64_t>& seen, const std::vector<std::int64_t>& own)
{
    return std::any_of(seen.begin(), seen.end(),
                       [&own](std::int64_t id) { return std::find(own.begin(), own.end(), id) == own.end(); });
}

std::string_view nodeStateName(NodeState state)
{
    switch (state) {
    case NodeState::NotRunning:
        return "daemon not running";
    case NodeState::Starting:
        return "starting";
    case NodeState::CatchingUp:
        return "catching up";
    case NodeState::Synced:
        return "synced";
    case NodeState::StatusUnknown:
        return "running, status unknown";
    case NodeState::NotThisProfilesNode:
        return "not this profile's node";
    case NodeState::Stopping:
        return "stopping \u2014 do not shut down the computer";
    case NodeState::Ending:
        return "ended; reading its log";
    case NodeState::StoppedCleanly:
        return "stopped cleanly";
    case NodeState::EndedUnexpectedly:
        return "ended unexpectedly";
    case NodeState::Ended:
        return "ended";
    case NodeState::FailedToStart:
        return "failed to start";
    }
    return {};
}

} // namespace korvane
