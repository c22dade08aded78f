#pragma once

#include "monitor/node_status.h"
#include "node/node_endpoint.h"
#include "settings/keys.h"

#include <QElapsedTimer>
#include <QGroupBox>
#include <QString>
#include <array>
#include <vector>

class QLabel;
class QPushButton;
class QTimer;

namespace korvane {

class JsonRpcClient;
class LiveProfile;
struct JsonRpcReply;

// The node's own account of itself, read over RPC every 2 s while its daemon runs (whoever started
// it), from the endpoint and credentials its command line and conf file give; and a stop asked of
// it, watched until its process is gone. Every text is a label, read by a screen reader as shown.
class NodeStatusPanel : public QGroupBox
{
    Q_OBJECT

public:
    NodeStatusPanel(LiveProfile& profile, QWidget* parent);
    ~NodeStatusPanel() override;

    static constexpr int kPollIntervalMs = 2000;
    static constexpr int kCallTimeoutMs = 5000;

    NodeRpcState state() const { return m_state; }
    // The node's latest answer while it answers; null otherwise.
    const ChainInfo* chain() const { return m_hasReading ? &m_reading.chain : nullptr; }
    // A stop asked here is under way: the daemon still runs.
    bool stopping() const;
    const JsonRpcClient& client() const { return *m_client; }

public Q_SLOTS:
    // From the process watcher's daemon light; only a change counts.
    void setDaemonRunning(bool running);
    // A stop was asked of the node (the CLI stop ran, or the RPC stop was called).
    void stopAsked();
    // Sends the node its "stop" call; a stop asked once it is accepted.
    void stopThroughRpc();
    void poll();

Q_SIGNALS:
    // The lines on screen changed.
    void shown();
    // The node accepted a stop through RPC.
    void stopSent();
    // With each answer: whether the node is still in its initial download.
    void syncing(bool initialDownload);

private:
    void follow(Key key);
    void readEndpoint();
    bool endpointFilesChanged();
    void askAgain();
    void onChainInfo(const JsonRpcReply& reply);
    void onNetworkInfo(const JsonRpcReply& reply);
    void setState(NodeRpcState state, const QString& detail = {});
    void showLines();
    void showStopWatch();
    void showButtons();
    double now() const { return static_cast<double>(m_clock.elapsed()) / 1000.0; }

    LiveProfile& m_profile;
    JsonRpcClient* m_client;
    QTimer* m_pollTimer;
    QTimer* m_stopTimer; // the elapsed time while stopping
    QLabel* m_stateLine;
    QLabel* m_stopLine;
    std::array<QLabel*, 8> m_lines {};
    QPushButton* m_askAgain;
    QPushButton* m_rpcStop;

    QElapsedTimer m_clock;
    bool m_daemonRunning = false;
    bool m_hasCliStopLine = false; // follows the profile, so that a poll reads no stored value
    NodeEndpoint m_endpoint;
    std::vector<QString> m_endpointFiles; // what each watched file looked like when it was read
    NodeRpcState m_state = NodeRpcState::Idle;
    NodeReading m_reading;
    bool m_hasReading = false;
    ProgressSamples m_samples;
    StopWatch m_stopWatch;
};

} // namespace korvane
