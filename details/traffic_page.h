#pragma once

#include "node/node_details.h"

#include <QWidget>
#include <deque>

class QLabel;

namespace korvane {

class TrafficGraph;

// The traffic page: the rates over the last `span` seconds as a graph, and the bytes received and
// sent since the node started, from the last sample.
class TrafficPage : public QWidget
{
    Q_OBJECT

public:
    TrafficPage(double span, QWidget* parent);

    void setSamples(const std::deque<TrafficSample>& samples);

private:
    TrafficGraph* m_graph;
    QLabel* m_received;
    QLabel* m_sent;
};

} // namespace korvane
