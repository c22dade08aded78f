// The node details window's part of the node's model: its pages' data, polled only while shown.
#include "node/json_rpc_client.h"
#include "node/machine_folders.h"
#include "node/node_answers.h"
#include "node/node_files.h"
#include "node/node_model.h"
#include "platform/qt/async_task.h"

#include <QDateTime>
#include <QJsonArray>
#include <QTimer>
#include <algorithm>

namespace korvane {
namespace {

constexpr int kBanSeconds = 24 * 60 * 60;

// The address a ban names: a peer's address without its port ("[::1]:9333" -> "::1").
QString bannedAddress(const std::string& address)
{
    const QString text = QString::fromStdString(address);
    if (text.startsWith(QLatin1Char('[')))
        return text.mid(1, text.indexOf(QLatin1Char(']')) - 1);
    return text.count(QLatin1Char(':')) == 1 ? text.section(QLatin1Char(':'), 0, 0) : text;
}

} // namespace

// ---- the node details window ---------------------------------------------------------------

void NodeModel::showDetails(DetailsPage page, bool shown)
{
    m_pagesShown[static_cast<std::size_t>(page)] = shown;
    const bool anyShown = std::find(m_pagesShown.begin(), m_pagesShown.end(), true) != m_pagesShown.end();
    if (anyShown != m_detailsTimer->isActive())
        anyShown ? m_detailsTimer->start() : m_detailsTimer->stop();
    if (!shown)
        return;
    if (page == DetailsPage::Log)
        followLog();
    if (page == DetailsPage::Node)
        measureChainState();
    Q_EMIT detailsChanged(page);
}

NodeFacts NodeModel::facts() const
{
    NodeFacts facts;
    if (const auto& network = m_figures.network) {
        facts.version = network->version;
        facts.protocolVersion = network->protocolVersion;
        facts.subversion = network->subversion;
    }
    if (const auto& chain = m_figures.chain) {
        facts.chain = chain->chain;
        facts.sizeOnDisk = chain->sizeOnDisk;
        facts.pruned = chain->pruned;
    }
    facts.uptime = m_figures.uptime;
    if (facts.uptime)
        facts.startedAt = QDateTime::currentSecsSinceEpoch() - *facts.uptime;
    facts.dataFolder = m_endpoint.networkFolder;
    facts.chainStateSize = m_chainStateSize;
    facts.warnings = m_figures.chain || m_figures.network ? allWarnings(m_figures) : std::string();
    if (m_endpoint.port != 0) {
        const bool ipv6 = m_endpoint.host.find(':') != std::string::npos;
        facts.endpoint = (ipv6 ? "[" + m_endpoint.host + "]" : m_endpoint.host) + ":" + std::to_string(m_endpoint.port);
    }
    facts.credentialsSource = m_endpoint.credentialsSource;
    facts.debugLog = m_endpoint.debugLog;
    return facts;
}

void NodeModel::disconnectPeer(const PeerInfo& peer)
{
    askOfPeer(QStringLiteral("disconnectnode"), { QString(), static_cast<qint64>(peer.id) },
              "Peer " + peer.address + " disconnected");
}

void NodeModel::banPeer(const PeerInfo& peer)
{
    const QString address = bannedAddress(peer.address);
    askOfPeer(QStringLiteral("setban"), { address, QStringLiteral("add"), kBanSeconds },
              "Peer " + address.toStdString() + " banned for 24 hours");
}

// A request about a peer goes between polls, and its outcome is said in the status line.
void NodeModel::askOfPeer(const QString& method, const QJsonArray& params, const std::string& done)
{
    queue({ method, params,
            [this, done](const RpcReply& reply) {
                const bool ok = reply.outcome.kind == RpcOutcome::Kind::Result;
                Q_EMIT statusMessage(
                    QString::fromStdString(ok ? done : "The node did not do it: " + reply.outcome.message));
            } },
          true);
}

// The log page follows the node's log on a worker thread while it is shown.
void NodeModel::followLog()
{
    if (m_followingLog || !pageShown(DetailsPage::Log))
        return;
    m_followingLog = true;
    async::runThenCallback(
        this,
        [follower = m_logFollower, log = m_endpoint.debugLog, line = m_daemonLine,
         crypto = m_cryptoName](std::stop_token) {
            const std::string path = log.empty() ? readProfileEndpoint(line, crypto).debugLog : log;
            if (path.empty()) {
                LogFollower::Read none;
                none.problem = "the node writes no log (-nodebuglogfile)";
                return none;
            }
            return follower->follow(path);
        },
        [this](const LogFollower::Read& read) {
            m_followingLog = false;
            m_logProblem = read.problem;
            if (read.anew) {
                m_logLines.clear();
                m_logLinesTaken = 0;
            }
            m_logLinesTaken += read.lines.size();
            m_logLines.insert(m_logLines.end(), read.lines.begin(), read.lines.end());
            while (m_logLines.size() > LogFollower::kLines)
                m_logLines.pop_front();
            if (read.anew || !read.lines.empty() || !read.problem.empty())
                Q_EMIT detailsChanged(DetailsPage::Log);
        });
}

// The node's own size on disk leaves out its chain state: that folder is measured here.
void NodeModel::measureChainState()
{
    if (m_endpoint.networkFolder.empty())
        return;
    async::runThenCallback(
        this, [folder = m_endpoint.networkFolder](std::stop_token) { return folderBytes(folder + "/chainstate"); },
        [this](std::optional<std::int64_t> size) {
            m_chainStateSize = size;
            Q_EMIT detailsChanged(DetailsPage::Node);
        });
}

void NodeModel::takePeers(const QJsonArray& peers)
{
    std::vector<PeerInfo> taken;
    for (const QJsonValue& peer : peers)
        taken.push_back(peerOf(peer.toObject()));
    if (taken != m_peers) {
        m_peers = std::move(taken);
        Q_EMIT detailsChanged(DetailsPage::Peers);
    }
}

void NodeModel::takeTraffic(const QJsonObject& totals)
{
    const auto received = figure(totals.value(QLatin1String("totalbytesrecv")));
    const auto sent = figure(totals.value(QLatin1String("totalbytessent")));
    if (!received || !sent)
        return;
    m_traffic.push_back({ now(), *received, *sent });
    while (m_traffic.front().at < now() - kTrafficSpan)
        m_traffic.pop_front();
    Q_EMIT detailsChanged(DetailsPage::Traffic);
}

} // namespace korvane
