#pragma once

#include "gui/korvane_dialog.h"
#include "node/node_details.h"

#include <QPointer>
#include <optional>

class QTabWidget;

namespace korvane {

class ElidedLabel;
class FiguresPage;
class LogPage;
class NodeModel;
class PeersPage;
class TrafficPage;
struct NodeSnapshot;

// KORVANE - NODE DETAILS: the node's peers, traffic, mempool, facts and log, a page each, as its
// model keeps them. Not modal: it may stay open beside the main window. Only the page on screen
// is polled: the model hears which one it is, and that none is once the window is hidden or
// minimised. Requests on a peer go to the model once the user has confirmed them.
class NodeDetailsWindow : public KorvaneDialog
{
    Q_OBJECT

public:
    NodeDetailsWindow(NodeModel& model, LiveProfile& profile, QWidget* owner);
    ~NodeDetailsWindow() override;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void refresh(korvane::DetailsPage page);
    void showState(const korvane::NodeSnapshot& snapshot);
    void tellShownPage();

    QPointer<NodeModel> m_model; // the main window may end it first
    ElidedLabel* m_state;
    QTabWidget* m_pages;
    PeersPage* m_peers;
    TrafficPage* m_traffic;
    FiguresPage* m_mempool;
    FiguresPage* m_node;
    LogPage* m_log;
    std::optional<DetailsPage> m_polled; // the page the model was told is on screen
};

} // namespace korvane
