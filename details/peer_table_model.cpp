#include "details/peer_table_model.h"

#include "details/details_rules.h"
#include "gui/controls.h"

#include <algorithm>
#include <array>

namespace korvane {
namespace {

using controls::fromStd;

const std::array<QString, PeerTableModel::ColumnCount> kHeaders {
    QStringLiteral("Address"),   QStringLiteral("In/out"),        QStringLiteral("Version"),
    QStringLiteral("Ping (ms)"), QStringLiteral("Synced blocks"), QStringLiteral("Synced headers"),
    QStringLiteral("Sent"),      QStringLiteral("Received"),      QStringLiteral("Connected for"),
};

// A figure to sort by: the figure, or -1 where the node gave none.
QVariant figure(std::optional<std::int64_t> value)
{
    return static_cast<qlonglong>(value && *value >= 0 ? *value : -1);
}

bool sameRows(const std::vector<PeerInfo>& before, const std::vector<PeerInfo>& now)
{
    return std::equal(before.begin(), before.end(), now.begin(), now.end(),
                      [](const PeerInfo& a, const PeerInfo& b) { return a.id == b.id; });
}

} // namespace

PeerTableModel::PeerTableModel(QObject* parent)
    : QAbstractTableModel(parent)
{
}

void PeerTableModel::setPeers(std::vector<PeerInfo> peers, std::int64_t now)
{
    m_now = now;
    if (sameRows(m_peers, peers)) {
        m_peers = std::move(peers);
        if (!m_peers.empty())
            Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, ColumnCount - 1));
        return;
    }
    beginResetModel();
    m_peers = std::move(peers);
    endResetModel();
}

int PeerTableModel::rowOf(std::int64_t id) const
{
    const auto found
        = std::find_if(m_peers.begin(), m_peers.end(), [&](const PeerInfo& peer) { return peer.id == id; });
    return found == m_peers.end() ? -1 : static_cast<int>(found - m_peers.begin());
}

int PeerTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_peers.size());
}

int PeerTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant PeerTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const PeerInfo& shown = peer(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return text(shown, index.column());
    case Qt::ToolTipRole:
        return index.column() == Address || index.column() == Version ? text(shown, index.column()) : QVariant();
    case kSortRole:
        return sortValue(shown, index.column());
    case Qt::TextAlignmentRole:
        return index.column() >= Ping ? QVariant(Qt::AlignRight | Qt::AlignVCenter) : QVariant();
    default:
        return {};
    }
}

QVariant PeerTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < ColumnCount)
        return kHeaders.at(static_cast<std::size_t>(section));
    return QAbstractTableModel::headerData(section, orientation, role);
}

QString PeerTableModel::text(const PeerInfo& peer, int column) const
{
    switch (column) {
    case Address:
        return fromStd(peer.address);
    case Direction:
        return peer.inbound ? QStringLiteral("in") : QStringLiteral("out");
    case Version:
        return fromStd(peer.subversion);
    case Ping:
        return fromStd(pingText(peer.pingSeconds));
    case SyncedBlocks:
        return fromStd(countText(peer.syncedBlocks));
    case SyncedHeaders:
        return fromStd(countText(peer.syncedHeaders));
    case BytesSent:
        return fromStd(sizeText(peer.bytesSent));
    case BytesReceived:
        return fromStd(sizeText(peer.bytesReceived));
    case ConnectedFor: {
        const std::optional<std::int64_t> seconds = connectedFor(peer);
        return seconds ? fromStd(durationText(*seconds)) : QStringLiteral("?");
    }
    default:
        return {};
    }
}

QVariant PeerTableModel::sortValue(const PeerInfo& peer, int column) const
{
    switch (column) {
    case Direction:
        return peer.inbound ? 1 : 0;
    case Ping:
        return peer.pingSeconds && *peer.pingSeconds >= 0 ? *peer.pingSeconds : -1.0;
    case SyncedBlocks:
        return figure(peer.syncedBlocks);
    case SyncedHeaders:
        return figure(peer.syncedHeaders);
    case BytesSent:
        return figure(peer.bytesSent);
    case BytesReceived:
        return figure(peer.bytesReceived);
    case ConnectedFor:
        return figure(connectedFor(peer));
    default:
        return text(peer, column);
    }
}

std::optional<std::int64_t> PeerTableModel::connectedFor(const PeerInfo& peer) const
{
    if (!peer.connectedAt || *peer.connectedAt <= 0)
        return std::nullopt;
    return std::max<std::int64_t>(0, m_now - *peer.connectedAt);
}

} // namespace korvane
