#include "monitor/node_status_panel.h"

#include "gui/controls.h"
#include "gui/elided_label.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QPushButton>

namespace korvane {
namespace {

using controls::fromStd;

constexpr int kLineColumns = 2;

ElidedLabel* line(const QByteArray& name, QWidget* parent)
{
    auto* label = new ElidedLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

// A button that keeps its place while hidden, so that the lines above it never move.
void keepPlace(QPushButton* button)
{
    QSizePolicy policy = button->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    button->setSizePolicy(policy);
}

} // namespace

NodeStatusPanel::NodeStatusPanel(QWidget* parent)
    : QGroupBox(QStringLiteral("Node status"), parent)
    , m_stateLine(line("NODE_STATE_LABEL", this))
    , m_stopLine(line("NODE_STOP_LABEL", this))
    , m_askAgain(controls::button("NODE_RPC_ASK_AGAIN_BUTTON", QStringLiteral("Ask the node again"), this))
    , m_rpcStop(controls::button("NODE_RPC_STOP_BUTTON", QStringLiteral("stop through RPC"), this))
    , m_reindex(controls::button("NODE_REINDEX_BUTTON", QString(), this))
{
    setObjectName(QStringLiteral("NODE_STATUS_PANEL"));
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(6, 2, 6, 2);
    grid->setVerticalSpacing(0);
    grid->addWidget(m_stateLine, 0, 0, 1, kLineColumns);
    grid->addWidget(m_stopLine, 1, 0, 1, kLineColumns);
    for (std::size_t index = 0; index < m_lines.size(); ++index) {
        m_lines[index] = line("NODE_STATUS_LINE_" + QByteArray::number(static_cast<int>(index) + 1), this);
        grid->addWidget(m_lines[index], 2 + static_cast<int>(index) / kLineColumns,
                        static_cast<int>(index) % kLineColumns);
    }
    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : { m_askAgain, m_rpcStop, m_reindex }) {
        keepPlace(button);
        buttons->addWidget(button);
    }
    buttons->addStretch(1);
    auto* details = controls::button("NODE_DETAILS_BUTTON", QStringLiteral("NODE DETAILS"), this);
    buttons->addWidget(details);
    grid->addLayout(buttons, 2 + static_cast<int>(m_lines.size()) / kLineColumns, 0, 1, kLineColumns);
    connect(m_askAgain, &QPushButton::clicked, this, &NodeStatusPanel::askAgainChosen);
    connect(m_rpcStop, &QPushButton::clicked, this, &NodeStatusPanel::rpcStopChosen);
    connect(details, &QPushButton::clicked, this, &NodeStatusPanel::detailsChosen);
    connect(m_reindex, &QPushButton::clicked, this, &NodeStatusPanel::confirmReindex);
    NodeSnapshot notRunning;
    notRunning.headline = nodeStateName(NodeState::NotRunning);
    render(notRunning);
}

void NodeStatusPanel::render(const NodeSnapshot& snapshot)
{
    m_stateLine->setFullText(fromStd(snapshot.headline), fromStd(snapshot.sources));
    m_stopLine->setFullText(fromStd(snapshot.stopLine));
    for (std::size_t index = 0; index < m_lines.size(); ++index)
        m_lines[index]->setFullText(index < snapshot.lines.size() ? fromStd(snapshot.lines[index]) : QString());
    m_askAgain->setVisible(snapshot.offerAskAgain);
    m_rpcStop->setVisible(snapshot.offerRpcStop);
    m_rpcStop->setEnabled(snapshot.rpcStopPossible);
    m_reindexOption = snapshot.reindexOption;
    m_damage = snapshot.damage;
    m_reindex->setText(QStringLiteral("Start with %1\u2026").arg(fromStd(m_reindexOption)));
    m_reindex->setVisible(!m_reindexOption.empty());
}

// What the repair costs is said before it starts; the option is for this start only.
void NodeStatusPanel::confirmReindex()
{
    const bool full = m_reindexOption == "-reindex";
    const QString cost = full
        ? QStringLiteral("It rebuilds the block index and the chain state from the block files "
                         "on disk: a day or more on a main network, with the node busy all along.")
        : QStringLiteral("It rebuilds the chain state from the block files on disk: hours on a "
                         "main network, with the node busy all along.");
    QMessageBox question(QMessageBox::Question, QStringLiteral("KORVANE - REPAIR THE NODE'S DATABASE"),
                         QStringLiteral("The node's log says: %1\n\nStart the node once with %2? %3 The option is "
                                        "used for this start only; the profile is not changed.")
                             .arg(fromStd(m_damage), fromStd(m_reindexOption), cost),
                         QMessageBox::Yes | QMessageBox::Cancel, this);
    question.setObjectName(QStringLiteral("REINDEX_QUESTION"));
    question.setTextFormat(Qt::PlainText);
    question.button(QMessageBox::Yes)->setText(QStringLiteral("Start with %1").arg(fromStd(m_reindexOption)));
    question.setDefaultButton(QMessageBox::Cancel);
    if (question.exec() == QMessageBox::Yes)
        Q_EMIT reindexChosen();
}

} // namespace korvane
