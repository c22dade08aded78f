#include "details/peers_page.h"

#include "details/peer_table_model.h"
#include "gui/controls.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QVBoxLayout>

namespace korvane {
namespace {

using controls::fromStd;

// "127.0.0.1:19444 (/LitecoinCore:0.21.2.1/)"
QString peerName(const PeerInfo& peer)
{
    const QString address = fromStd(peer.address);
    return peer.subversion.empty() ? address : QStringLiteral("%1 (%2)").arg(address, fromStd(peer.subversion));
}

} // namespace

PeersPage::PeersPage(QWidget* parent)
    : QWidget(parent)
    , m_model(new PeerTableModel(this))
    , m_sorted(new QSortFilterProxyModel(this))
    , m_table(controls::named(new QTableView(this), "PEERS_TABLE"))
    , m_count(controls::label("PEERS_COUNT_LABEL", QString(), this))
    , m_disconnect(controls::button("PEER_DISCONNECT_BUTTON", QStringLiteral("Disconnect"), this))
    , m_ban(controls::button("PEER_BAN_BUTTON", QStringLiteral("Ban for 24 hours"), this))
{
    setObjectName(QStringLiteral("PEERS_PAGE"));
    m_sorted->setSourceModel(m_model);
    m_sorted->setSortRole(PeerTableModel::kSortRole);
    m_table->setModel(m_sorted);
    m_table->setAccessibleName(QStringLiteral("Peers"));
    m_table->setSortingEnabled(true);
    m_table->sortByColumn(PeerTableModel::Address, Qt::AscendingOrder);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setWordWrap(false);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_count->setTextFormat(Qt::PlainText);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_count, 1);
    buttons->addWidget(m_disconnect);
    buttons->addWidget(m_ban);
    auto* page = new QVBoxLayout(this);
    page->addWidget(m_table, 1);
    page->addLayout(buttons);

    connect(m_table->selectionModel(), &QItemSelectionModel::selectionChanged, this, &PeersPage::allowRequests);
    // Columns fit their texts when peers come or go, not at each poll; the user may widen them.
    connect(m_model, &QAbstractItemModel::modelReset, m_table, &QTableView::resizeColumnsToContents);
    connect(m_disconnect, &QPushButton::clicked, this, [this] {
        request(QStringLiteral("DISCONNECT PEER"), QStringLiteral("Disconnect the peer %1?"), *m_disconnect,
                &PeersPage::disconnectChosen);
    });
    connect(m_ban, &QPushButton::clicked, this, [this] {
        request(QStringLiteral("BAN PEER"),
                QStringLiteral("Ban the peer %1 for 24 hours? The node refuses its address until then."), *m_ban,
                &PeersPage::banChosen);
    });
    setPeers({}, 0);
}

void PeersPage::setPeers(const std::vector<PeerInfo>& peers, std::int64_t now)
{
    const std::optional<PeerInfo> selected = selectedPeer();
    m_model->setPeers(peers, now);
    if (selected && !selectedPeer())
        select(selected->id);
    m_count->setText(peers.size() == 1 ? QStringLiteral("1 peer") : QStringLiteral("%1 peers").arg(peers.size()));
    allowRequests();
}

std::optional<PeerInfo> PeersPage::selectedPeer() const
{
    const QModelIndexList rows = m_table->selectionModel()->selectedRows();
    if (rows.isEmpty())
        return std::nullopt;
    return m_model->peer(m_sorted->mapToSource(rows.front()).row());
}

void PeersPage::select(std::int64_t id)
{
    const int row = m_model->rowOf(id);
    if (row >= 0)
        m_table->selectRow(m_sorted->mapFromSource(m_model->index(row, 0)).row());
}

void PeersPage::allowRequests()
{
    const bool chosen = selectedPeer().has_value();
    m_disconnect->setEnabled(chosen);
    m_ban->setEnabled(chosen);
}

// Asks the user `question` about the selected peer (its "%1"); `chosen` is emitted once the user
// has answered with the caption of `action`.
void PeersPage::request(const QString& title,
                        const QString& question,
                        const QPushButton& action,
                        void (PeersPage::*chosen)(const PeerInfo&))
{
    const std::optional<PeerInfo> peer = selectedPeer();
    if (!peer)
        return;
    QMessageBox ask(QMessageBox::Question, QStringLiteral("KORVANE - ") + title, question.arg(peerName(*peer)),
                    QMessageBox::Cancel, this);
    ask.setTextFormat(Qt::PlainText);
    const QPushButton* yes = ask.addButton(action.text(), QMessageBox::AcceptRole);
    ask.setDefaultButton(QMessageBox::Cancel);
    ask.exec();
    if (ask.clickedButton() == yes)
        Q_EMIT(this->*chosen)(*peer);
}

} // namespace korvane
