#pragma once

#include "node/node_details.h"

#include <QAbstractTableModel>
#include <cstdint>
#include <vector>

namespace korvane {

// The node's peers as a table, one row a peer. Each cell's display text is as the peers page shows
// it ("?" for a figure the node did not give); its kSortRole is the figure itself (-1 when there is
// none), so a proxy sorts the figures as numbers.
class PeerTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column
    {
        Address,
        Direction,
        Version,
        Ping,
        SyncedBlocks,
        SyncedHeaders,
        BytesSent,
        BytesReceived,
        ConnectedFor,
        ColumnCount,
    };
    static constexpr int kSortRole = Qt::UserRole;

    explicit PeerTableModel(QObject* parent = nullptr);

    // `now` in seconds since 1970, from which the time connected is counted. Rows of the same peers
    // in the same order change in place, so a view keeps its selection.
    void setPeers(std::vector<PeerInfo> peers, std::int64_t now);
    const PeerInfo& peer(int row) const { return m_peers.at(static_cast<std::size_t>(row)); }
    // The row of the peer with node id `id`, or -1.
    int rowOf(std::int64_t id) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QString text(const PeerInfo& peer, int column) const;
    QVariant sortValue(const PeerInfo& peer, int column) const;
    std::optional<std::int64_t> connectedFor(const PeerInfo& peer) const;

    std::vector<PeerInfo> m_peers;
    std::int64_t m_now = 0;
};

} // namespace korvane
