#include "details/node_details_window.h"

#include "details/details_rules.h"
#include "details/figures_page.h"
#include "details/log_page.h"
#include "details/peers_page.h"
#include "details/traffic_page.h"
#include "gui/controls.h"
#include "gui/elided_label.h"
#include "node/node_model.h"

#include <QDateTime>
#include <QDialogButtonBox>
#include <QEvent>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace korvane {
namespace {

using controls::fromStd;

std::string startTime(const NodeFacts& facts)
{
    if (!facts.startedAt || *facts.startedAt <= 0)
        return {};
    return QDateTime::fromSecsSinceEpoch(*facts.startedAt)
        .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))
        .toStdString();
}

} // namespace

NodeDetailsWindow::NodeDetailsWindow(NodeModel& model, LiveProfile& profile, QWidget* owner)
    : KorvaneDialog(WindowId::NodeDetails, profile, owner)
    , m_model(&model)
    , m_state(controls::named(new ElidedLabel(this), "NODE_DETAILS_STATE_LABEL"))
    , m_pages(controls::named(new QTabWidget(this), "NODE_DETAILS_PAGES"))
    , m_peers(new PeersPage(this))
    , m_traffic(new TrafficPage(NodeModel::kTrafficSpan, this))
    , m_mempool(new FiguresPage("MEMPOOL_PAGE", kMempoolFigures, this))
    , m_node(new FiguresPage("NODE_PAGE", kNodeFigures, this))
    , m_log(new LogPage(this))
{
    setObjectName(QStringLiteral("NODE_DETAILS"));
    setWindowTitle(QStringLiteral("KORVANE - NODE DETAILS"));
    setModal(false);
    setWindowFlags(windowFlags() | Qt::WindowMinMaxButtonsHint);
    // In the order of DetailsPage.
    m_pages->addTab(m_peers, QStringLiteral("Peers"));
    m_pages->addTab(m_traffic, QStringLiteral("Traffic"));
    m_pages->addTab(m_mempool, QStringLiteral("Mempool"));
    m_pages->addTab(m_node, QStringLiteral("Node"));
    m_pages->addTab(m_log, QStringLiteral("Log"));
    auto* close = controls::button("CLOSE_BUTTON", QStringLiteral("Close"), this);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(close, QDialogButtonBox::RejectRole);

    auto* page = new QVBoxLayout(this);
    page->addWidget(m_state);
    page->addWidget(m_pages, 1);
    page->addWidget(buttons);

    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_pages, &QTabWidget::currentChanged, this, &NodeDetailsWindow::tellShownPage);
    connect(&model, &NodeModel::detailsChanged, this, &NodeDetailsWindow::refresh);
    connect(&model, &NodeModel::changed, this, &NodeDetailsWindow::showState);
    connect(m_peers, &PeersPage::disconnectChosen, &model, &NodeModel::disconnectPeer);
    connect(m_peers, &PeersPage::banChosen, &model, &NodeModel::banPeer);
    showState(model.snapshot());
    for (int shown = 0; shown < kDetailsPages; ++shown)
        refresh(static_cast<DetailsPage>(shown));
}

NodeDetailsWindow::~NodeDetailsWindow()
{
    if (m_model && m_polled)
        m_model->showDetails(*m_polled, false);
}

void NodeDetailsWindow::showEvent(QShowEvent* event)
{
    KorvaneDialog::showEvent(event);
    tellShownPage();
}

void NodeDetailsWindow::hideEvent(QHideEvent* event)
{
    KorvaneDialog::hideEvent(event);
    tellShownPage();
}

void NodeDetailsWindow::changeEvent(QEvent* event)
{
    KorvaneDialog::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        tellShownPage();
}

void NodeDetailsWindow::refresh(DetailsPage page)
{
    if (!m_model)
        return;
    const NodeModel& model = *m_model;
    switch (page) {
    case DetailsPage::Peers:
        m_peers->setPeers(model.peers(), QDateTime::currentSecsSinceEpoch());
        break;
    case DetailsPage::Traffic:
        m_traffic->setSamples(model.traffic());
        break;
    case DetailsPage::Mempool:
        m_mempool->setTexts(mempoolTexts(model.mempool()));
        break;
    case DetailsPage::Node: {
        const NodeFacts facts = model.facts();
        m_node->setTexts(nodeTexts(facts, startTime(facts)));
        break;
    }
    case DetailsPage::Log:
        m_log->setLines(model.logLines(), model.logProblem(), model.logLinesTaken());
        break;
    }
}

void NodeDetailsWindow::showState(const NodeSnapshot& snapshot)
{
    m_state->setFullText(QStringLiteral("Node: %1").arg(fromStd(snapshot.headline)));
}

// The model polls the page on screen only: none while the window is hidden or minimised.
void NodeDetailsWindow::tellShownPage()
{
    std::optional<DetailsPage> onScreen;
    if (isVisible() && !isMinimized())
        onScreen = static_cast<DetailsPage>(m_pages->currentIndex());
    if (!m_model || onScreen == m_polled)
        return;
    if (m_polled)
        m_model->showDetails(*m_polled, false);
    m_polled = onScreen;
    if (onScreen) {
        m_model->showDetails(*onScreen, true);
        refresh(*onScreen);
    }
}

} // namespace korvane
