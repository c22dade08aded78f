#include "node/node_snapshot.h"

#include <cstdio>

namespace korvane {
namespace {

std::string withDetail(std::string_view head, const std::string& detail)
{
    std::string text(head);
    if (!detail.empty())
        text += ": " + detail;
    return text;
}

// " (last answer 12 s ago)" once the latest poll got no answer, so the figures read as older.
std::string answerAge(const NodeKnowledge& known)
{
    const NodeLife& life = known.life;
    if (life.silentPolls() == 0 || !life.lastAnswerAt())
        return {};
    return " (last answer " + ageText(static_cast<std::int64_t>(known.now - *life.lastAnswerAt())) + " ago)";
}

std::string troubleText(const NodeKnowledge& known)
{
    return known.trouble.empty() ? std::string() : " \u2014 " + known.trouble;
}

std::string headline(const NodeKnowledge& known)
{
    const NodeLife& life = known.life;
    const std::string name(nodeStateName(life.state()));
    const std::string sync = syncText(known.sync);
    switch (life.state()) {
    case NodeState::Starting:
        if (!known.startProgress.empty())
            return name + ": " + known.startProgress;
        return name + ": " + (life.detail().empty() ? std::string("not answering RPC yet") : life.detail());
    case NodeState::CatchingUp:
        return withDetail(name, sync) + answerAge(known) + troubleText(known);
    case NodeState::Synced:
        return name + ": answering RPC on port " + std::to_string(known.port) + answerAge(known) + troubleText(known);
    case NodeState::StatusUnknown:
        if (life.credentialsRefused())
            return name + ": RPC credentials refused (read from " + known.credentialsSource + ")";
        if (life.silentPolls() >= NodeLife::kSilentPollsBeforeUnknown && life.lastAnswerAt())
            return name + ": not answering RPC" + answerAge(known);
        return withDetail(name, life.detail());
    case NodeState::StoppedCleanly:
        return name + " at " + life.endedAt();
    case NodeState::EndedUnexpectedly:
        return name + " at " + life.endedAt() + ": its log does not show a clean stop";
    case NodeState::Ended:
        return name + " at " + life.endedAt() + "; whether cleanly is not known: " + life.detail();
    case NodeState::NotThisProfilesNode:
    case NodeState::FailedToStart:
        return withDetail(name, life.detail());
    case NodeState::NotRunning:
    case NodeState::Stopping:
    case NodeState::Ending:
        break;
    }
    return name;
}

std::string stopLine(const NodeKnowledge& known)
{
    const NodeLife& life = known.life;
    if (life.state() == NodeState::Stopping && life.stopAcceptedAt()) {
        const double elapsed = known.now - *life.stopAcceptedAt();
        const std::string shown = elapsedText(elapsed);
        if (elapsed < known.stopLimitMinutes * 60)
            return "stopping \u2014 do not shut down the computer (" + shown + ")";
        char limit[32];
        std::snprintf(limit, sizeof limit, "%g", known.stopLimitMinutes);
        return "still running " + std::string(limit) + " min after it accepted the stop (" + shown
            + "): do not shut down the computer; if the node hangs, end it with the process terminator";
    }
    if (known.askingToStop)
        return "asking the node to stop\u2026";
    if (!life.stopRefusal().empty() && life.processRunning())
        return "the stop failed: " + life.stopRefusal();
    if (!known.lastStopUnclean.empty() && life.processRunning())
        return "the last stop (at " + known.lastStopUnclean + ") was not clean";
    return {};
}

bool answers(NodeState state)
{
    return state == NodeState::CatchingUp || state == NodeState::Synced || state == NodeState::Starting;
}

} // namespace

bool NodeSnapshot::syncing() const
{
    return running() && state != NodeState::Synced && state != NodeState::Stopping;
}

NodeSnapshot describe(const NodeKnowledge& known)
{
    const NodeLife& life = known.life;
    NodeSnapshot snapshot;
    snapshot.state = life.state();
    snapshot.headline = headline(known);
    snapshot.stopLine = stopLine(known);
    const bool running = life.processRunning();
    snapshot.processRunning = running;
    if (running && life.lastAnswerAt())
        snapshot.lines = statusLines(known.figures, known.sync, known.progress, known.timeLeft);
    snapshot.sources = running ? known.sources : std::string();
    if (running && life.lastAnswerAt()) {
        snapshot.sync = syncText(known.sync);
        if (!known.trouble.empty())
            snapshot.sync += (snapshot.sync.empty() ? "" : ", ") + known.trouble;
    }
    const bool stopWanted = life.state() != NodeState::Stopping && !known.askingToStop;
    snapshot.offerRpcStop = running && stopWanted && (!known.cliStopLine || !life.stopRefusal().empty());
    snapshot.rpcStopPossible = answers(life.state()) && life.lastAnswerAt().has_value();
    snapshot.offerAskAgain = running && life.credentialsRefused();
    if (!running && life.state() != NodeState::Starting) {
        snapshot.reindexOption = reindexOption(known.damage);
        snapshot.damage = known.damage.corruption;
    }
    return snapshot;
}

} // namespace korvane
