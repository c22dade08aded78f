#include "monitor/node_status_panel.h"

#include "base/command_line_split.h"
#include "gui/controls.h"
#include "gui/live_profile.h"
#include "platform/native_os.h"
#include "node/json_rpc_client.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QJsonArray>
#include <QJsonObject>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <cstdlib>

namespace korvane {
namespace {

using controls::fromStd;

constexpr int kLineColumns = 2;

NodeWarnings warningsOf(const QJsonValue& value)
{
    if (!value.isArray())
        return value.toString().toStdString();
    std::vector<std::string> list;
    for (const QJsonValue& warning : value.toArray())
        list.push_back(warning.toString().toStdString());
    return list;
}

std::optional<int> optionalInt(const QJsonObject& object, const char* name)
{
    const QJsonValue value = object.value(QLatin1String(name));
    return value.isDouble() ? std::optional(value.toInt()) : std::nullopt;
}

ChainInfo chainInfoOf(const QJsonObject& result)
{
    ChainInfo info;
    info.chain = result.value(QLatin1String("chain")).toString().toStdString();
    info.blocks = result.value(QLatin1String("blocks")).toInteger();
    info.headers = result.value(QLatin1String("headers")).toInteger();
    info.verificationProgress = result.value(QLatin1String("verificationprogress")).toDouble();
    info.initialDownload = result.value(QLatin1String("initialblockdownload")).toBool();
    if (const QJsonValue size = result.value(QLatin1String("size_on_disk")); size.isDouble())
        info.sizeOnDisk = static_cast<std::uint64_t>(size.toInteger());
    info.warnings = warningsOf(result.value(QLatin1String("warnings")));
    return info;
}

NetworkInfo networkInfoOf(const QJsonObject& result)
{
    NetworkInfo info;
    info.version = result.value(QLatin1String("version")).toInteger();
    info.subversion = result.value(QLatin1String("subversion")).toString().toStdString();
    info.connectionsIn = optionalInt(result, "connections_in");
    info.connectionsOut = optionalInt(result, "connections_out");
    info.connections = optionalInt(result, "connections");
    info.warnings = warningsOf(result.value(QLatin1String("warnings")));
    return info;
}

RpcOutcome outcomeOf(const JsonRpcReply& reply)
{
    const auto kind = [&] {
        switch (reply.kind) {
        case JsonRpcReply::Kind::Result:
            return RpcOutcome::Kind::Result;
        case JsonRpcReply::Kind::RpcError:
            return RpcOutcome::Kind::RpcError;
        case JsonRpcReply::Kind::Refused:
            return RpcOutcome::Kind::Refused;
        case JsonRpcReply::Kind::NoAnswer:
            return RpcOutcome::Kind::NoAnswer;
        case JsonRpcReply::Kind::Failed:
            break;
        }
        return RpcOutcome::Kind::Failed;
    }();
    return { kind, reply.errorCode, reply.message.toStdString() };
}

// The endpoint of the node that the profile's daemon line starts, with this machine's folders.
// Without a line, a node started elsewhere under the daemon's name is read with its defaults.
NodeEndpoint profileEndpoint(const LiveProfile& profile)
{
    std::string line = profile.text(Key::DaemonCommand);
    if (line.empty())
        line = profile.text(Key::DaemonName);
    const std::string cryptoName = profile.text(Key::CryptoName);
    const std::string home = qEnvironmentVariable("HOME").toStdString();
    const std::string appData = qEnvironmentVariable("APPDATA").toStdString();
    const std::string working = QDir::currentPath().toStdString();
    return readNodeEndpoint({ line, cryptoName, nullptr, nativeOperatingSystem(), home, appData, working });
}

// Size, time and existence: enough to tell that a conf or cookie file was written again.
QString fileLook(const std::string& path)
{
    const QFileInfo file(fromStd(path));
    if (!file.exists())
        return QString();
    return QStringLiteral("%1 %2").arg(file.size()).arg(file.lastModified().toMSecsSinceEpoch());
}

} // namespace

NodeStatusPanel::NodeStatusPanel(LiveProfile& profile, QWidget* parent)
    : QGroupBox(QStringLiteral("Node status"), parent)
    , m_profile(profile)
    , m_client(new JsonRpcClient(this))
    , m_pollTimer(new QTimer(this))
    , m_stopTimer(new QTimer(this))
    , m_stateLine(controls::label("NODE_STATE_LABEL", QString(), this))
    , m_stopLine(controls::label("NODE_STOP_LABEL", QString(), this))
    , m_askAgain(controls::button("NODE_RPC_ASK_AGAIN_BUTTON", QStringLiteral("Ask the node again"), this))
    , m_rpcStop(controls::button("NODE_RPC_STOP_BUTTON", QStringLiteral("stop through RPC"), this))
{
    setObjectName(QStringLiteral("NODE_STATUS_PANEL"));
    m_hasCliStopLine = !m_profile.text(Key::CliStopCommand).empty();
    m_client->setTimeout(std::chrono::milliseconds(kCallTimeoutMs));
    m_clock.start();
    m_pollTimer->setObjectName(QStringLiteral("NODE_STATUS_TIMER"));
    m_pollTimer->setInterval(kPollIntervalMs);
    m_stopTimer->setInterval(1000);
    // Long texts (a path, the node's warnings) wrap rather than widen the window.
    m_stateLine->setWordWrap(true);
    m_stopLine->setWordWrap(true);

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(6, 2, 6, 2);
    grid->setVerticalSpacing(0);
    grid->addWidget(m_stateLine, 0, 0, 1, kLineColumns);
    grid->addWidget(m_stopLine, 1, 0, 1, kLineColumns);
    for (std::size_t line = 0; line < m_lines.size(); ++line) {
        const QByteArray name = "NODE_STATUS_LINE_" + QByteArray::number(static_cast<int>(line) + 1);
        m_lines[line] = controls::label(name.constData(), QString(), this);
        m_lines[line]->setWordWrap(true);
        grid->addWidget(m_lines[line], 2 + static_cast<int>(line) / kLineColumns,
                        static_cast<int>(line) % kLineColumns);
    }
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_askAgain);
    buttons->addWidget(m_rpcStop);
    buttons->addStretch(1);
    grid->addLayout(buttons, 2 + static_cast<int>(m_lines.size()) / kLineColumns, 0, 1, kLineColumns);

    connect(m_pollTimer, &QTimer::timeout, this, &NodeStatusPanel::poll);
    connect(m_stopTimer, &QTimer::timeout, this, &NodeStatusPanel::showStopWatch);
    connect(m_askAgain, &QPushButton::clicked, this, &NodeStatusPanel::askAgain);
    connect(m_rpcStop, &QPushButton::clicked, this, &NodeStatusPanel::stopThroughRpc);
    connect(&m_profile, &LiveProfile::changed, this, &NodeStatusPanel::follow);
    setState(NodeRpcState::Idle);
    showStopWatch();
}

NodeStatusPanel::~NodeStatusPanel() = default;

void NodeStatusPanel::setDaemonRunning(bool running)
{
    if (running == m_daemonRunning)
        return;
    m_daemonRunning = running;
    m_stopWatch.daemonRunning(running);
    m_samples.clear();
    m_reading = {};
    if (running) {
        readEndpoint();
        setState(NodeRpcState::NotAnswering);
        m_pollTimer->start();
        poll();
    } else {
        m_pollTimer->stop();
        m_client->cancelAll();
        setState(NodeRpcState::Idle);
    }
    showStopWatch();
}

void NodeStatusPanel::stopAsked()
{
    m_stopWatch.setLimitMinutes(std::strtod(m_profile.text(Key::NodeStopLimit).c_str(), nullptr));
    m_stopWatch.stopAsked(now(), m_daemonRunning);
    showStopWatch();
}

bool NodeStatusPanel::stopping() const
{
    const StopWatch::Phase phase = m_stopWatch.phase(now());
    return phase == StopWatch::Phase::Stopping || phase == StopWatch::Phase::Overdue;
}

void NodeStatusPanel::poll()
{
    if (!m_daemonRunning)
        return;
    if (endpointFilesChanged()) {
        readEndpoint();
        if (m_state == NodeRpcState::CredentialsRefused)
            setState(NodeRpcState::NotAnswering);
    }
    if (m_state == NodeRpcState::CredentialsRefused)
        return;
    if (!m_endpoint.usable()) {
        setState(NodeRpcState::NotAnswering, fromStd(m_endpoint.problem));
        return;
    }
    m_client->call(QStringLiteral("getblockchaininfo"), [this](const JsonRpcReply& reply) { onChainInfo(reply); });
}

void NodeStatusPanel::follow(Key key)
{
    if (key == Key::DaemonCommand || key == Key::DaemonName || key == Key::CryptoName) {
        readEndpoint();
        if (m_state == NodeRpcState::CredentialsRefused)
            setState(NodeRpcState::NotAnswering);
    }
    if (key == Key::CliStopCommand) {
        m_hasCliStopLine = !m_profile.text(Key::CliStopCommand).empty();
        showButtons();
    }
}

void NodeStatusPanel::readEndpoint()
{
    m_endpoint = profileEndpoint(m_profile);
    m_endpointFiles.clear();
    for (const std::string& file : m_endpoint.watchedFiles)
        m_endpointFiles.push_back(fileLook(file));
    m_client->setEndpoint(m_endpoint.port, QByteArray::fromStdString(m_endpoint.credentials));
}

bool NodeStatusPanel::endpointFilesChanged()
{
    for (std::size_t file = 0; file < m_endpoint.watchedFiles.size(); ++file) {
        if (fileLook(m_endpoint.watchedFiles[file]) != m_endpointFiles.at(file))
            return true;
    }
    return false;
}

void NodeStatusPanel::askAgain()
{
    readEndpoint();
    setState(NodeRpcState::NotAnswering);
    poll();
}

void NodeStatusPanel::stopThroughRpc()
{
    m_client->call(QStringLiteral("stop"), [this](const JsonRpcReply& reply) {
        if (reply.kind == JsonRpcReply::Kind::Result) {
            stopAsked();
            Q_EMIT stopSent();
        } else
            setState(stateAfter(outcomeOf(reply)), reply.message);
    });
}

void NodeStatusPanel::onChainInfo(const JsonRpcReply& reply)
{
    if (!m_daemonRunning)
        return;
    if (reply.kind != JsonRpcReply::Kind::Result) {
        setState(stateAfter(outcomeOf(reply)), reply.message);
        return;
    }
    m_reading.chain = chainInfoOf(reply.result.toObject());
    m_samples.add(now(), m_reading.chain.verificationProgress);
    m_reading.secondsLeft = m_samples.secondsLeft();
    m_hasReading = true;
    Q_EMIT syncing(m_reading.chain.initialDownload);
    setState(NodeRpcState::Answering);
    m_client->call(QStringLiteral("getnetworkinfo"), [this](const JsonRpcReply& network) { onNetworkInfo(network); });
}

void NodeStatusPanel::onNetworkInfo(const JsonRpcReply& reply)
{
    if (!m_daemonRunning || reply.kind != JsonRpcReply::Kind::Result)
        return;
    m_reading.network = networkInfoOf(reply.result.toObject());
    showLines();
}

void NodeStatusPanel::setState(NodeRpcState state, const QString& detail)
{
    m_state = state;
    m_hasReading = m_hasReading && state == NodeRpcState::Answering; // no stale figures under another state
    QString text;
    switch (state) {
    case NodeRpcState::Idle:
        text = QStringLiteral("daemon not running");
        break;
    case NodeRpcState::NotAnswering:
        text = QStringLiteral("not answering RPC yet");
        if (!m_endpoint.usable() && !detail.isEmpty())
            text += QStringLiteral(" (%1)").arg(detail);
        break;
    case NodeRpcState::Starting:
        text = QStringLiteral("starting: ") + detail;
        break;
    case NodeRpcState::CredentialsRefused:
        text = QStringLiteral("RPC credentials refused (read from %1)").arg(fromStd(m_endpoint.credentialsSource));
        break;
    case NodeRpcState::Answering:
        text = QStringLiteral("answering RPC on port %1").arg(m_endpoint.port);
        break;
    case NodeRpcState::Failed:
        text = QStringLiteral("RPC error: ") + detail;
        break;
    }
    m_stateLine->setText(text);
    m_stateLine->setToolTip(
        m_daemonRunning ? fromStd("port: " + m_endpoint.portSource + "; credentials: " + m_endpoint.credentialsSource)
                        : QString());
    showLines();
}

void NodeStatusPanel::showLines()
{
    const std::vector<std::string> lines = m_hasReading ? statusLines(m_reading) : std::vector<std::string>();
    for (std::size_t line = 0; line < m_lines.size(); ++line) {
        m_lines[line]->setText(line < lines.size() ? fromStd(lines[line]) : QString());
        m_lines[line]->setVisible(line < lines.size());
    }
    showButtons();
    Q_EMIT shown();
}

void NodeStatusPanel::showStopWatch()
{
    const double at = now();
    const bool counting = stopping();
    if (counting && !m_stopTimer->isActive())
        m_stopTimer->start();
    if (!counting)
        m_stopTimer->stop();
    m_stopLine->setText(fromStd(m_stopWatch.text(at)));
    m_stopLine->setVisible(m_stopWatch.phase(at) != StopWatch::Phase::None);
    Q_EMIT shown();
}

void NodeStatusPanel::showButtons()
{
    m_askAgain->setVisible(m_state == NodeRpcState::CredentialsRefused);
    m_rpcStop->setVisible(m_daemonRunning && !m_hasCliStopLine);
    m_rpcStop->setEnabled(m_state == NodeRpcState::Answering);
}

} // namespace korvane
