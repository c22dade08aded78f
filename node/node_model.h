#pragma once

#include "node/credentials_gate.h"
#include "node/node_details.h"
#include "node/node_endpoint.h"
#include "node/node_life.h"
#include "node/node_snapshot.h"
#include "node/poll_plan.h"
#include "node/sync_watch.h"
#include "platform/process_table.h"
#include "settings/key_values.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QObject>
#include <QString>
#include <array>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QLockFile;
class QTimer;

namespace korvane {

class JsonRpcClient;
class Launcher;
class PortListeners;
class ProgramRunner;
struct RpcReply;

// What the model needs of the operating system.
struct NodeModelServices
{
    Launcher& launcher;
    ProgramRunner& programs;
    ProcessTable& processes;
    PortListeners& ports;
};

// The one owner of the node's life, as a client model is to its views: it takes the process
// watcher's evidence and the user's requests (start, stop through the CLI line or through RPC, ask
// again), reads where the node listens and its log, polls it over RPC, watches a stop and decides
// restarts; the panel, the tray, the notices and the companion only render what it emits. Nothing
// slow runs on the GUI thread: files are read on worker threads, and the network work is Qt's.
class NodeModel : public QObject
{
    Q_OBJECT

public:
    NodeModel(const KeyValues& profile, std::string profileName, NodeModelServices services, QObject* parent = nullptr);
    ~NodeModel() override;

    const NodeSnapshot& snapshot() const { return m_snapshot; }
    const NodeFigures& figures() const { return m_figures; }
    // RPC calls made so far, for those who measure the cost of polling.
    int callsMade() const { return m_callsMade; }

    // ---- the node details window -------------------------------------------------------------
    // A page is polled only while shown: its calls join the next polls (getnettotals is sampled
    // all along, every kTrafficPeriod, so the traffic graph is whole when its page opens).
    void showDetails(DetailsPage page, bool shown);
    const std::vector<PeerInfo>& peers() const { return m_peers; }
    const std::deque<TrafficSample>& traffic() const { return m_traffic; } // the last kTrafficSpan
    const std::optional<MempoolInfo>& mempool() const { return m_mempool; }
    NodeFacts facts() const;
    const std::deque<std::string>& logLines() const { return m_logLines; } // the last LogFollower::kLines
    // How many lines the log gave since it was last read anew: what is new since a count seen before
    // (when this one is smaller, the log was read anew).
    std::uint64_t logLinesTaken() const { return m_logLinesTaken; }
    const std::string& logProblem() const { return m_logProblem; }
    static constexpr double kTrafficPeriod = 10; // seconds between samples while the page is hidden
    static constexpr double kTrafficSpan = 30 * 60;

public Q_SLOTS:
    // A value of the profile changed.
    void profileChanged(korvane::Key key);
    // From the process watcher: the processes under the daemon's name.
    void setDaemonProcesses(const std::vector<korvane::ProcessId>& ids);
    // START DAEMON, or a planned restart.
    void start();
    // Once, where the log reported a damaged database (snapshot().reindexOption): START DAEMON with
    // that option added for this start only.
    void startReindexing();
    // CLI "STOP": the profile's stop line, run and waited for off the GUI thread.
    void stopThroughCli();
    // The node's "stop" call.
    void stopThroughRpc();
    // A clean stop asked by the system (shutdown): through the CLI stop line where one is set.
    void stop();
    // The process terminator is about to end the daemon.
    void killAsked();
    // Read the endpoint and credentials again, and ask.
    void askAgain();
    // Requests of the peers page, each confirmed by the user first; the outcome is a status message.
    void disconnectPeer(const korvane::PeerInfo& peer);
    void banPeer(const korvane::PeerInfo& peer); // for 24 hours

Q_SIGNALS:
    void changed(const korvane::NodeSnapshot& snapshot);
    // A line for the status line.
    void statusMessage(const QString& message);
    // Something the user should hear of even while the window is hidden.
    void notice(const QString& title, const QString& body);
    // A poll has ended, answered or not.
    void pollEnded(bool answered);
    // What a details page shows has changed.
    void detailsChanged(korvane::DetailsPage page);

private:
    struct Call
    {
        QString method;
        QJsonArray params;
        std::function<void(const RpcReply&)> done;
    };
    struct Preparation;
    struct LogStart;
    static LogStart readLogStart(const std::string& log, std::optional<std::int64_t> currentSince);

    void readProfile();
    void startWith(const std::string& option);
    void takeLogStart(const LogStart& logStart);
    ChainPace chainPace() const;
    std::optional<std::int64_t> staleTipAge(const SyncJudgement& sync) const;
    void noticeTroubles(const SyncTroubles& troubles);
    double now() const;
    void setRunning(bool running);
    void watchStartedProgram();
    void poll();
    void prepared(const Preparation& preparation);
    void queue(Call call, bool first = false);
    void pump();
    void roundAnswered(NodeCall call, const RpcReply& reply);
    void roundFailed(const RpcOutcome& outcome);
    void endRound();
    void dropPollCalls();
    std::vector<NodeCall> roundCalls() const;
    void queueRoundCall(NodeCall call, bool first = false);
    bool pageShown(DetailsPage page) const;
    void takePeers(const QJsonArray& peers);
    void takeTraffic(const QJsonObject& totals);
    void askOfPeer(const QString& method, const QJsonArray& params, const std::string& done);
    void followLog();
    void measureChainState();
    void recordLogStart();
    void readEnd();
    void restartLater(std::chrono::minutes after);
    void refreshRestartRight();
    void show();

    const KeyValues& m_profile;
    std::string m_profileName;
    NodeModelServices m_services;
    JsonRpcClient* m_client;
    QTimer* m_pollTimer;
    QTimer* m_showTimer; // the elapsed times on screen
    QTimer* m_restartTimer;
    QTimer* m_detailsTimer; // the log and the chain state, while their pages are shown
    std::unique_ptr<QLockFile> m_restartLock;
    QElapsedTimer m_clock;

    // What the profile says.
    std::string m_daemonLine;
    std::string m_daemonName;
    std::string m_cliStopLine;
    std::string m_cryptoName;
    double m_stopLimitMinutes = 10;
    std::string m_stopLimitProblem; // said once

    NodeLife m_life;
    NodeFigures m_figures;
    PollPlan m_plan;
    NodeEndpoint m_endpoint;
    std::vector<std::string> m_endpointLooks; // what each watched file looked like when it was read
    bool m_endpointStale = true;
    GateVerdict m_gate;

    std::deque<Call> m_calls; // one on its way at a time
    bool m_callOnItsWay = false;
    bool m_roundOn = false;
    bool m_roundAnswered = false;
    bool m_preparing = false;
    bool m_askingToStop = false;
    int m_callsMade = 0;

    std::optional<ProcessId> m_startedProcess; // the program START DAEMON ran, while it may still run
    std::optional<std::uintmax_t> m_logStart; // the log's size when the run was seen to start
    std::optional<std::string> m_logOfRun; // the log file that size is of
    bool m_startedHereRecently = false; // the error output belongs to this run
    bool m_readingEnd = false;
    std::string m_startProgress; // what the starting node's log says it is at
    std::string m_lastStopUnclean; // "14:05" when the run before this one did not end cleanly
    LogRun m_damage; // the last run that said its database is damaged
    SyncWatch m_syncWatch;
    std::array<bool, 3> m_troubleSaid {}; // a stall, no peers, a stale tip
    NodeSnapshot m_snapshot;

    std::array<bool, kDetailsPages> m_pagesShown {};
    std::vector<PeerInfo> m_peers;
    std::deque<TrafficSample> m_traffic;
    std::optional<MempoolInfo> m_mempool;
    std::optional<std::int64_t> m_chainStateSize;
    std::deque<std::string> m_logLines;
    std::uint64_t m_logLinesTaken = 0;
    std::string m_logProblem;
    std::shared_ptr<LogFollower> m_logFollower; // used on a worker thread, one read at a time
    bool m_followingLog = false;
    int m_detailsTicks = 0;
    int m_roundCallsLeft = 0;
};

} // namespace korvane
