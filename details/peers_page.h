#pragma once

#include "node/node_details.h"

#include <QWidget>
#include <cstdint>
#include <optional>
#include <vector>

class QLabel;
class QPushButton;
class QSortFilterProxyModel;
class QTableView;

namespace korvane {

class PeerTableModel;

// The peers page: the node's peers in a table sorted by any column, and the requests on the
// selected one, each asked of the user first, with the peer named.
class PeersPage : public QWidget
{
    Q_OBJECT

public:
    explicit PeersPage(QWidget* parent);

    // `now` in seconds since 1970. The selected peer stays selected while it is connected.
    void setPeers(const std::vector<PeerInfo>& peers, std::int64_t now);

Q_SIGNALS:
    void disconnectChosen(const korvane::PeerInfo& peer);
    void banChosen(const korvane::PeerInfo& peer);

private:
    std::optional<PeerInfo> selectedPeer() const;
    void select(std::int64_t id);
    void allowRequests();
    void request(const QString& title,
                 const QString& question,
                 const QPushButton& action,
                 void (PeersPage::*chosen)(const PeerInfo&));

    PeerTableModel* m_model;
    QSortFilterProxyModel* m_sorted;
    QTableView* m_table;
    QLabel* m_count;
    QPushButton* m_disconnect;
    QPushButton* m_ban;
};

} // namespace korvane
