#pragma once

#include "node/node_snapshot.h"

#include <QGroupBox>
#include <array>

class QPushButton;

namespace korvane {

class ElidedLabel;

// The node's state as its model knows it: a first line with the state in words, a line for a stop
// under way or one that failed, the node's figures, and a button that opens the node's details.
// Every text is a label of its own, shown as plain text and read by a screen reader as shown; the
// lines keep their places as texts change.
class NodeStatusPanel : public QGroupBox
{
    Q_OBJECT

public:
    static constexpr std::size_t kLines = 8;

    explicit NodeStatusPanel(QWidget* parent);

public Q_SLOTS:
    void render(const korvane::NodeSnapshot& snapshot);

Q_SIGNALS:
    void askAgainChosen();
    void rpcStopChosen();
    void detailsChosen();
    // The user confirmed a start with the repair the node's log asked for.
    void reindexChosen();

private:
    void confirmReindex();

    ElidedLabel* m_stateLine;
    ElidedLabel* m_stopLine;
    std::array<ElidedLabel*, kLines> m_lines {};
    QPushButton* m_askAgain;
    QPushButton* m_rpcStop;
    QPushButton* m_reindex;
    std::string m_reindexOption;
    std::string m_damage;
};

} // namespace korvane
