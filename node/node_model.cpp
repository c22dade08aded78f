#include "node/node_model.h"

#include "base/command_line_split.h"
#include "node/coin_networks.h"
#include "node/json_rpc_client.h"
#include "node/machine_folders.h"
#include "node/node_answers.h"
#include "node/node_files.h"
#include "platform/launcher.h"
#include "platform/native_os.h"
#include "platform/port_listeners.h"
#include "platform/program_runner.h"
#include "platform/qt/async_task.h"

#include <QDateTime>
#include <QDir>
#include <QJsonObject>
#include <QLockFile>
#include <QStandardPaths>
#include <QTimer>
#include <cstdlib>

namespace korvane {
namespace {

constexpr int kShowIntervalMs = 1000;
constexpr std::chrono::seconds kCliStopLimit { 60 };
constexpr std::uintmax_t kLongestLogRead = 512 * 1024; // of a run's log, from its end
constexpr std::uintmax_t kLongestErrorOutput = 8 * 1024;
constexpr int kChainStateEvery = 15; // of the details timer's ticks: every 30 s
constexpr std::int64_t kSeenStartSlack = 30; // seconds

// This copy's folder for what it keeps of the node: the lock that decides restarts, and what a
// daemon it started said on its error stream.
QString ownDataFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/QL_KORVANE");
}

QString ownDataFile(const std::string& profileName, const char* suffix)
{
    return ownDataFolder() + QLatin1Char('/') + QString::fromStdString(profileName) + QLatin1String(suffix);
}

// "14:05" of a time the node writes in its log, in this machine's time zone.
std::string localClock(const std::string& logTime)
{
    const std::int64_t seconds = logTimeSeconds(logTime);
    if (seconds < 0)
        return "?";
    return QDateTime::fromSecsSinceEpoch(seconds).toString(QStringLiteral("HH:mm")).toStdString();
}

std::string clockNow()
{
    return QDateTime::currentDateTime().toString(QStringLiteral("HH:mm:ss")).toStdString();
}

QString methodOf(NodeCall call)
{
    switch (call) {
    case NodeCall::ChainInfo:
        return QStringLiteral("getblockchaininfo");
    case NodeCall::BlockCount:
        return QStringLiteral("getblockcount");
    case NodeCall::NetworkInfo:
        return QStringLiteral("getnetworkinfo");
    case NodeCall::Uptime:
        return QStringLiteral("uptime");
    case NodeCall::TipHeader:
        return QStringLiteral("getblockheader");
    case NodeCall::PeerInfo:
        return QStringLiteral("getpeerinfo");
    case NodeCall::NetTotals:
        return QStringLiteral("getnettotals");
    case NodeCall::MempoolInfo:
        return QStringLiteral("getmempoolinfo");
    }
    return {};
}

// The client's words for a failed CLI stop: what it wrote, else how it ended.
std::string cliStopWords(const ProgramOutput& output)
{
    const std::string written = output.standardError.empty() ? output.standardOutput : output.standardError;
    switch (output.outcome) {
    case ProgramOutcome::Finished:
        return written.empty() ? "the client ended with exit code " + std::to_string(output.exitCode) : written;
    case ProgramOutcome::NotStarted:
        return output.error;
    case ProgramOutcome::TimedOut:
        return "the client did not end within " + std::to_string(kCliStopLimit.count()) + " s";
    case ProgramOutcome::Stopped:
        break;
    }
    return "the client was stopped";
}

} // namespace

// What a worker thread found out before a poll: the endpoint read again where its files changed,
// and who listens on its port.
struct NodeModel::Preparation
{
    std::optional<NodeEndpoint> endpoint;
    std::vector<std::string> looks;
    GateVerdict gate;
    std::string listenersUnknown; // why who listens on the port cannot be told
    std::optional<LogRun> starting; // while the node starts: what its log says of its run so far
};

// Where a run's log begins, and what the log says of the run before it.
struct NodeModel::LogStart
{
    std::uintmax_t size = 0;
    std::optional<LogRun> previous;
};

NodeModel::LogStart NodeModel::readLogStart(const std::string& log, std::optional<std::int64_t> currentSince)
{
    LogStart start;
    start.size = fileSize(log).value_or(0);
    const std::uintmax_t from = start.size > kLongestLogRead ? start.size - kLongestLogRead : 0;
    if (const auto text = readFrom(log, from, kLongestLogRead); text && text->size() == start.size - from)
        start.previous = previousRun(*text, from == 0, currentSince);
    return start;
}

NodeModel::NodeModel(const KeyValues& profile, std::string profileName, NodeModelServices services, QObject* parent)
    : QObject(parent)
    , m_profile(profile)
    , m_profileName(std::move(profileName))
    , m_services(services)
    , m_client(new JsonRpcClient(this))
    , m_pollTimer(new QTimer(this))
    , m_showTimer(new QTimer(this))
    , m_restartTimer(new QTimer(this))
    , m_detailsTimer(new QTimer(this))
    , m_logFollower(std::make_shared<LogFollower>())
{
    m_clock.start();
    m_pollTimer->setObjectName(QStringLiteral("NODE_STATUS_TIMER"));
    m_pollTimer->setInterval(static_cast<int>(PollPlan::kPollPeriod * 1000));
    m_showTimer->setInterval(kShowIntervalMs);
    m_restartTimer->setObjectName(QStringLiteral("DAEMON_RESTART_TIMER"));
    m_restartTimer->setSingleShot(true);
    connect(m_pollTimer, &QTimer::timeout, this, &NodeModel::poll);
    connect(m_showTimer, &QTimer::timeout, this, &NodeModel::show);
    m_detailsTimer->setInterval(static_cast<int>(PollPlan::kPollPeriod * 1000));
    connect(m_detailsTimer, &QTimer::timeout, this, [this] {
        followLog();
        if (pageShown(DetailsPage::Node) && ++m_detailsTicks % kChainStateEvery == 0)
            measureChainState();
    });
    connect(m_restartTimer, &QTimer::timeout, this, [this] {
        m_life.restarted(now());
        start();
    });
    readProfile();
    refreshRestartRight();
    show();
}

NodeModel::~NodeModel() = default;

double NodeModel::now() const
{
    return static_cast<double>(m_clock.elapsed()) / 1000.0;
}

void NodeModel::readProfile()
{
    m_daemonLine = m_profile.text(Key::DaemonCommand);
    m_daemonName = m_profile.text(Key::DaemonName);
    m_cliStopLine = m_profile.text(Key::CliStopCommand);
    m_cryptoName = m_profile.text(Key::CryptoName);
    const StopLimit limit = stopLimit(m_profile.text(Key::NodeStopLimit));
    m_stopLimitMinutes = limit.minutes;
    if (!limit.problem.empty() && limit.problem != m_stopLimitProblem)
        Q_EMIT statusMessage(QString::fromStdString(limit.problem));
    m_stopLimitProblem = limit.problem;
    m_life.setRestarting(m_profile.ticked(Key::RestartDaemonTick));
}

void NodeModel::profileChanged(Key key)
{
    readProfile();
    if (key == Key::DaemonCommand || key == Key::DaemonName || key == Key::CryptoName)
        m_endpointStale = true;
    show();
}

// ---- the process ---------------------------------------------------------------------------

void NodeModel::setDaemonProcesses(const std::vector<ProcessId>& ids)
{
    const bool running = runsBesides(ids, m_services.programs.ownProcesses());
    if (running != m_life.processRunning())
        setRunning(running);
    watchStartedProgram();
    m_life.tick(now());
    if (m_life.awaitingEndEvidence())
        readEnd();
    show();
}

void NodeModel::setRunning(bool running)
{
    m_life.processSeen(running, now());
    if (running) {
        m_restartTimer->stop();
        m_figures = {};
        m_syncWatch.reset();
        m_plan.reset();
        m_endpointStale = true;
        if (!m_logStart)
            recordLogStart();
        m_pollTimer->start();
        m_showTimer->start();
        poll();
        return;
    }
    m_pollTimer->stop();
    m_showTimer->stop();
    m_client->cancelAll();
    m_calls.clear();
    m_callOnItsWay = m_roundOn = m_preparing = m_askingToStop = false;
}

// The program START DAEMON ran may end at once (with -daemon the node lives on in its child):
// whether a daemon came of it is for the life to judge.
void NodeModel::watchStartedProgram()
{
    if (m_startedProcess && !m_services.processes.isRunning(*m_startedProcess)) {
        m_startedProcess.reset();
        m_life.startedProgramEnded(now());
    }
}

// ---- requests ------------------------------------------------------------------------------

void NodeModel::start()
{
    startWith({});
}

void NodeModel::startReindexing()
{
    if (!m_snapshot.reindexOption.empty())
        startWith(m_snapshot.reindexOption);
}

// The profile's daemon line, with `option` added for this start only (it is never stored).
void NodeModel::startWith(const std::string& option)
{
    m_restartTimer->stop();
    const QString errorFile = ownDataFile(m_profileName, "-daemon-errors.txt");
    const std::string line = option.empty() ? m_daemonLine : m_daemonLine + " " + option;
    // The log's size is taken before the start, so that all the new run writes can be read.
    async::runThenCallback(
        this,
        [daemonLine = m_daemonLine, crypto = m_cryptoName](std::stop_token) {
            QDir().mkpath(ownDataFolder());
            NodeEndpoint endpoint = readProfileEndpoint(daemonLine, crypto);
            LogStart logStart = readLogStart(endpoint.debugLog, std::nullopt);
            return std::pair(std::move(endpoint), std::move(logStart));
        },
        [this, errorFile, line](const std::pair<NodeEndpoint, LogStart>& found) {
            m_logOfRun = found.first.debugLog;
            takeLogStart(found.second);
            const LaunchResult launched = m_services.launcher.start(
                line, { WindowStyle::Hidden, QDir::toNativeSeparators(errorFile).toStdString() });
            if (!launched) {
                Q_EMIT statusMessage(QString::fromStdString(launched.error()));
                return;
            }
            Q_EMIT statusMessage({});
            m_startedProcess = launched.value().processId;
            m_startedHereRecently = true;
            m_life.startedHere(now());
            show();
        });
}

void NodeModel::stopThroughCli()
{
    const SplitCommandLine split = splitCommandLine(m_cliStopLine);
    if (!split || split.value().empty()) {
        Q_EMIT statusMessage(QString::fromStdString(
            notStarted({}, split ? std::string("The command line is empty.") : split.error()).message));
        return;
    }
    ProgramRun run { split.value().front(), { split.value().begin() + 1, split.value().end() }, {}, kCliStopLimit };
    m_askingToStop = true;
    show();
    async::runThenCallback(
        this, [&programs = m_services.programs, run](std::stop_token stop) { return programs.run(run, stop); },
        [this](const ProgramOutput& output) {
            m_askingToStop = false;
            if (output.outcome == ProgramOutcome::Finished && output.exitCode == 0)
                m_life.stopAccepted(now());
            else
                m_life.stopRefused(cliStopWords(output));
            show();
        });
}

void NodeModel::stopThroughRpc()
{
    m_askingToStop = true;
    show();
    queue({ QStringLiteral("stop"),
            {},
            [this](const RpcReply& reply) {
                m_askingToStop = false;
                if (reply.outcome.kind == RpcOutcome::Kind::Result)
                    m_life.stopAccepted(now());
                else
                    m_life.stopRefused("the node did not take the stop: " + reply.outcome.message);
                show();
            } },
          true);
}

void NodeModel::stop()
{
    if (m_cliStopLine.empty())
        stopThroughRpc();
    else
        stopThroughCli();
}

void NodeModel::killAsked()
{
    m_life.killAsked();
}

void NodeModel::askAgain()
{
    m_endpointStale = true;
    poll();
}

// ---- polling -------------------------------------------------------------------------------

void NodeModel::poll()
{
    if (!m_life.processRunning() || m_roundOn || m_preparing)
        return;
    m_preparing = true;
    const bool readAgain = m_endpointStale;
    m_endpointStale = false;
    async::runThenCallback(
        this,
        [line = m_daemonLine.empty() ? m_daemonName : m_daemonLine, crypto = m_cryptoName, daemon = m_daemonName,
         endpoint = m_endpoint, looks = m_endpointLooks, readAgain, &ports = m_services.ports,
         startingLog = m_life.state() == NodeState::Starting && m_logStart ? m_logOfRun : std::nullopt,
         logStart = m_logStart.value_or(0)](std::stop_token) {
            Preparation preparation;
            if (startingLog) {
                const auto text = readFrom(*startingLog, logStart, kLongestLogRead);
                const std::vector<LogRun> runs = text ? logRuns(*text, true) : std::vector<LogRun>();
                if (!runs.empty())
                    preparation.starting = runs.back();
            }
            preparation.looks = fileLooks(endpoint.watchedFiles);
            if (readAgain || preparation.looks != looks) {
                preparation.endpoint = readProfileEndpoint(line, crypto);
                preparation.looks = fileLooks(preparation.endpoint->watchedFiles);
            }
            const NodeEndpoint& current = preparation.endpoint ? *preparation.endpoint : endpoint;
            if (current.port == 0)
                return preparation;
            const auto listeners = ports.listenersOn(current.port);
            if (!listeners) {
                preparation.listenersUnknown = "cannot tell who serves port " + std::to_string(current.port) + " ("
                    + listeners.error() + "); credentials withheld";
                return preparation;
            }
            const std::optional<std::uint32_t> owner
                = current.credentialsFile.empty() ? ports.currentUser() : ports.fileOwner(current.credentialsFile);
            preparation.gate = credentialsGate(listeners.value(), current.host, current.port, { owner, daemon });
            return preparation;
        },
        [this](const Preparation& preparation) { prepared(preparation); });
}

void NodeModel::prepared(const Preparation& preparation)
{
    m_preparing = false;
    if (!m_life.processRunning())
        return;
    if (preparation.endpoint) {
        m_endpoint = *preparation.endpoint;
        m_client->setEndpoint(QString::fromStdString(m_endpoint.host), m_endpoint.port,
                              QByteArray::fromStdString(m_endpoint.credentials));
        if (!m_logOfRun)
            recordLogStart();
    }
    m_endpointLooks = preparation.looks;
    m_gate = preparation.gate;
    if (preparation.starting) {
        m_startProgress = preparation.starting->progress;
        if (preparation.starting->corrupted)
            m_damage = *preparation.starting;
    }
    // Refused credentials are not tried again until they may have changed: the conf or cookie
    // file, the profile's daemon line, or "Ask the node again".
    if (m_life.credentialsRefused() && !preparation.endpoint) {
        Q_EMIT pollEnded(false);
        return;
    }
    if (m_endpoint.usable() && m_gate.allowed) {
        m_life.credentialsAllowed();
        m_roundOn = true;
        m_roundAnswered = false;
        for (const NodeCall call : roundCalls())
            queueRoundCall(call);
        return;
    }
    // Nothing is asked: the credentials are not known yet, nobody listens, or another user does.
    if (!m_endpoint.usable() || m_gate.nobodyListens) {
        m_life.credentialsAllowed();
        m_life.pollFailed({ RpcOutcome::Kind::NoAnswer, 0, m_endpoint.usable() ? m_gate.why : m_endpoint.problem });
    } else if (!preparation.listenersUnknown.empty()) {
        m_life.pollFailed({ RpcOutcome::Kind::Failed, 0, preparation.listenersUnknown });
    } else {
        m_life.credentialsWithheld(m_gate.why);
    }
    show();
    Q_EMIT pollEnded(false);
}

// The poll plan's calls, and those of the details pages on screen.
std::vector<NodeCall> NodeModel::roundCalls() const
{
    std::vector<NodeCall> calls = m_plan.poll(now(), m_life.state() == NodeState::Synced);
    if (pageShown(DetailsPage::Peers))
        calls.push_back(NodeCall::PeerInfo);
    if (pageShown(DetailsPage::Mempool))
        calls.push_back(NodeCall::MempoolInfo);
    const bool trafficDue
        = m_traffic.empty() || now() - m_traffic.back().at >= kTrafficPeriod - PollPlan::kPollPeriod / 2;
    if (pageShown(DetailsPage::Traffic) || trafficDue)
        calls.push_back(NodeCall::NetTotals);
    return calls;
}

void NodeModel::queueRoundCall(NodeCall call, bool first)
{
    ++m_roundCallsLeft;
    queue({ methodOf(call),
            call == NodeCall::TipHeader ? QJsonArray { QString::fromStdString(m_figures.chain->bestBlockHash) }
                                        : QJsonArray {},
            [this, call](const RpcReply& reply) { roundAnswered(call, reply); } },
          first);
}

bool NodeModel::pageShown(DetailsPage page) const
{
    return m_pagesShown[static_cast<std::size_t>(page)];
}

void NodeModel::queue(Call call, bool first)
{
    if (first)
        m_calls.push_front(std::move(call));
    else
        m_calls.push_back(std::move(call));
    pump();
}

// One call on its way at a time: the next goes when the last has come back.
void NodeModel::pump()
{
    if (m_callOnItsWay || m_calls.empty())
        return;
    Call call = std::move(m_calls.front());
    m_calls.pop_front();
    m_callOnItsWay = true;
    ++m_callsMade;
    m_client->call(call.method, call.params, [this, done = std::move(call.done)](const RpcReply& reply) {
        m_callOnItsWay = false;
        done(reply);
        pump();
    });
}

void NodeModel::roundAnswered(NodeCall call, const RpcReply& reply)
{
    if (!m_roundOn)
        return;
    --m_roundCallsLeft;
    if (reply.outcome.kind != RpcOutcome::Kind::Result) {
        if (m_roundAnswered)
            endRound(); // with what the poll got so far
        else
            roundFailed(reply.outcome);
        return;
    }
    m_roundAnswered = true;
    const QJsonObject object = reply.result.toObject();
    switch (call) {
    case NodeCall::ChainInfo: {
        m_plan.chainInfoAnswered(now(), std::chrono::duration<double>(reply.took).count());
        ChainInfo chain = chainInfoOf(object);
        const bool newTip = !m_figures.chain || m_figures.chain->bestBlockHash != chain.bestBlockHash;
        m_figures.blockCount = chain.blocks;
        m_figures.chain = std::move(chain);
        if (newTip && !m_figures.chain->bestBlockHash.empty())
            queueRoundCall(NodeCall::TipHeader, true);
        break;
    }
    case NodeCall::BlockCount:
        m_figures.blockCount = figure(reply.result);
        break;
    case NodeCall::NetworkInfo:
        m_figures.network = networkInfoOf(object);
        break;
    case NodeCall::Uptime:
        m_figures.uptime = figure(reply.result);
        if (pageShown(DetailsPage::Node))
            Q_EMIT detailsChanged(DetailsPage::Node);
        break;
    case NodeCall::TipHeader:
        m_figures.tipTime = figure(object.value(QLatin1String("time")));
        break;
    case NodeCall::PeerInfo:
        takePeers(reply.result.toArray());
        break;
    case NodeCall::NetTotals:
        takeTraffic(object);
        break;
    case NodeCall::MempoolInfo:
        if (std::exchange(m_mempool, mempoolOf(object)) != m_mempool)
            Q_EMIT detailsChanged(DetailsPage::Mempool);
        break;
    }
    if (m_roundCallsLeft == 0)
        endRound();
}

// The first call of a poll got no answer: the rest of the poll is not asked.
void NodeModel::roundFailed(const RpcOutcome& outcome)
{
    m_roundOn = false;
    m_roundCallsLeft = 0;
    dropPollCalls();
    if (outcome.kind == RpcOutcome::Kind::NoAnswer)
        m_endpointStale = true; // whoever listens on the port is looked at again
    m_life.pollFailed(outcome);
    show();
    Q_EMIT pollEnded(false);
}

void NodeModel::endRound()
{
    m_roundOn = false;
    m_roundCallsLeft = 0;
    dropPollCalls();
    const SyncJudgement sync = judgeSync(m_figures, QDateTime::currentSecsSinceEpoch(), chainPace());
    const std::optional<std::int64_t> blocks = m_figures.blocks();
    const std::optional<double> progress = m_figures.progress();
    if (blocks && progress) {
        const auto peers = m_figures.network ? m_figures.network->connections : std::nullopt;
        const auto inAndOut = m_figures.network && m_figures.network->connectionsIn && m_figures.network->connectionsOut
            ? std::optional(*m_figures.network->connectionsIn + *m_figures.network->connectionsOut)
            : peers;
        m_syncWatch.add(now(), *blocks, *progress, inAndOut);
    }
    m_life.answered(now(), sync.synced);
    show();
    Q_EMIT pollEnded(true);
}

// The calls of a poll still waiting; a stop asked meanwhile still goes.
void NodeModel::dropPollCalls()
{
    std::erase_if(m_calls, [](const Call& call) { return call.method != QLatin1String("stop"); });
}

// ---- the log -------------------------------------------------------------------------------

// The log's size when a run is seen to start, so that its end is read from there.
// Its run may have begun a moment before it was seen: a run that opened in the last
// kSeenStartSlack is taken for it.
void NodeModel::recordLogStart()
{
    if (m_endpoint.debugLog.empty())
        return;
    m_logOfRun = m_endpoint.debugLog;
    const std::int64_t currentSince = QDateTime::currentSecsSinceEpoch() - kSeenStartSlack;
    async::runThenCallback(
        this, [log = m_endpoint.debugLog, currentSince](std::stop_token) { return readLogStart(log, currentSince); },
        [this](const LogStart& logStart) {
            if (!m_logStart)
                takeLogStart(logStart);
        });
}

// Where the run's log begins; an unclean end of the run before it is said while this one runs,
// and damage it reported is offered a repair.
void NodeModel::takeLogStart(const LogStart& logStart)
{
    m_logStart = logStart.size;
    m_startProgress.clear();
    m_lastStopUnclean.clear();
    if (logStart.previous && !logStart.previous->closedCleanly)
        m_lastStopUnclean = localClock(logStart.previous->lastTime);
    m_damage = logStart.previous ? *logStart.previous : LogRun {};
    show();
}

void NodeModel::readEnd()
{
    if (m_readingEnd)
        return;
    m_readingEnd = true;
    const std::string log = m_logOfRun.value_or(m_endpoint.debugLog);
    const std::string errorFile = m_startedHereRecently
        ? QDir::toNativeSeparators(ownDataFile(m_profileName, "-daemon-errors.txt")).toStdString()
        : std::string();
    async::runThenCallback(
        this,
        [log, errorFile, start = m_logStart](std::stop_token) {
            EndEvidence evidence;
            if (!errorFile.empty())
                evidence.output = readFrom(errorFile, 0, kLongestErrorOutput).value_or("");
            if (log.empty()) {
                evidence.logProblem = "the node writes no log (-nodebuglogfile), or where is not known";
                return evidence;
            }
            const std::optional<std::uintmax_t> size = fileSize(log);
            // A log smaller than when the run started was rotated or shrunk: read it anew.
            const std::uintmax_t from = size && start && *start <= *size ? *start : 0;
            const std::optional<std::string> text = readFrom(log, from, kLongestLogRead);
            if (!text) {
                evidence.logProblem = "its log " + log + " cannot be read";
                return evidence;
            }
            evidence.logRead = true;
            evidence.runInLog = !text->empty();
            const std::vector<LogRun> runs = logRuns(*text, from == 0 && text->size() == *size);
            if (!runs.empty())
                evidence.run = runs.back();
            return evidence;
        },
        [this](const EndEvidence& evidence) {
            m_readingEnd = false;
            m_startedHereRecently = false;
            m_logStart.reset();
            m_logOfRun.reset();
            refreshRestartRight();
            if (evidence.run.corrupted)
                m_damage = evidence.run;
            m_startProgress.clear();
            m_lastStopUnclean.clear();
            const EndPlan plan = m_life.endEvidence(evidence, clockNow(), now());
            if (!plan.message.empty())
                Q_EMIT statusMessage(QString::fromStdString(plan.message));
            if (plan.notify) {
                const std::string coin = m_cryptoName.empty() ? std::string("The node") : m_cryptoName;
                Q_EMIT notice(QString::fromStdString(coin + ": " + std::string(nodeStateName(m_life.state()))),
                              QString::fromStdString(plan.message));
            }
            if (plan.restartAfter)
                restartLater(*plan.restartAfter);
            show();
        });
}

void NodeModel::restartLater(std::chrono::minutes after)
{
    m_restartTimer->start(after);
}

// One copy of a profile restarts its node: the first to hold the profile's lock.
void NodeModel::refreshRestartRight()
{
    if (m_restartLock && m_restartLock->isLocked())
        return;
    QDir().mkpath(ownDataFolder());
    m_restartLock = std::make_unique<QLockFile>(ownDataFile(m_profileName, ".lock"));
    m_restartLock->setStaleLockTime(0);
    if (m_restartLock->tryLock(0)) {
        m_life.setMayRestart(true);
        return;
    }
    qint64 pid = 0;
    QString host;
    QString application;
    m_restartLock->getLockInfo(&pid, &host, &application);
    m_life.setMayRestart(false,
                         "the copy of \"" + m_profileName + "\" started first (process " + std::to_string(pid) + ")");
}

// ---- what is shown -------------------------------------------------------------------------

ChainPace NodeModel::chainPace() const
{
    ChainPace pace { .behindAfter = std::chrono::seconds(NodeCoin::kBehindAfter).count() };
    if (m_endpoint.coin)
        pace.blockSpacing = m_endpoint.coin->blockSpacing.count();
    return pace;
}

// A synced node whose tip is older than the coin's limit, how old it is.
std::optional<std::int64_t> NodeModel::staleTipAge(const SyncJudgement& sync) const
{
    if (m_life.state() != NodeState::Synced || !sync.tipAge || !m_endpoint.coin)
        return std::nullopt;
    const auto limit = std::chrono::seconds(m_endpoint.coin->tipStaleAfter).count();
    return *sync.tipAge >= limit ? sync.tipAge : std::nullopt;
}

// A stall, a node without peers and a stale tip are each said once as a notice, until they pass.
void NodeModel::noticeTroubles(const SyncTroubles& troubles)
{
    for (std::size_t kind = 0; kind < troubles.size(); ++kind) {
        const bool troubled = !troubles[kind].empty();
        if (troubled && !m_troubleSaid[kind]) {
            const std::string coin = m_cryptoName.empty() ? std::string("The node") : m_cryptoName;
            Q_EMIT notice(QString::fromStdString(coin + ": the node needs a look"),
                          QString::fromStdString(troubles[kind]));
        }
        m_troubleSaid[kind] = troubled;
    }
}

void NodeModel::show()
{
    const auto wallNow = QDateTime::currentSecsSinceEpoch();
    const SyncJudgement sync = judgeSync(m_figures, wallNow, chainPace());
    const bool answering = m_life.state() == NodeState::CatchingUp || m_life.state() == NodeState::Synced;
    const SyncWatch::View syncView = answering ? m_syncWatch.view(now(), !sync.synced) : SyncWatch::View {};
    const SyncTroubles troubles = syncTroubles(syncView, staleTipAge(sync));
    noticeTroubles(troubles);
    const NodeKnowledge knowledge {
        .life = m_life,
        .figures = m_figures,
        .sync = sync,
        .progress = progressText(m_figures.progress(), syncView),
        .timeLeft = timeLeftLine(syncView),
        .trouble = troubleText(troubles),
        .startProgress = m_startProgress,
        .lastStopUnclean = m_lastStopUnclean,
        .damage = m_damage,
        .now = now(),
        .port = m_endpoint.port,
        .sources = "port: " + m_endpoint.portSource + "; credentials: " + m_endpoint.credentialsSource,
        .credentialsSource = m_endpoint.credentialsSource,
        .cliStopLine = !m_cliStopLine.empty(),
        .askingToStop = m_askingToStop,
        .stopLimitMinutes = m_stopLimitMinutes,
    };
    NodeSnapshot snapshot = describe(knowledge);
    if (snapshot == m_snapshot)
        return;
    m_snapshot = std::move(snapshot);
    Q_EMIT changed(m_snapshot);
}

} // namespace korvane
