#include "details/traffic_page.h"

#include "details/traffic_graph.h"
#include "gui/controls.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace korvane {

TrafficPage::TrafficPage(double span, QWidget* parent)
    : QWidget(parent)
    , m_graph(new TrafficGraph(span, this))
    , m_received(controls::label("TRAFFIC_RECEIVED_LABEL", QString(), this))
    , m_sent(controls::label("TRAFFIC_SENT_LABEL", QString(), this))
{
    setObjectName(QStringLiteral("TRAFFIC_PAGE"));
    auto* totals = new QHBoxLayout;
    for (QLabel* total : { m_received, m_sent }) {
        total->setTextFormat(Qt::PlainText);
        totals->addWidget(total);
    }
    totals->addStretch(1);
    auto* page = new QVBoxLayout(this);
    page->addWidget(m_graph, 1);
    page->addLayout(totals);
    setSamples({});
}

void TrafficPage::setSamples(const std::deque<TrafficSample>& samples)
{
    m_graph->setRates(trafficRates(samples));
    const auto total = [&](std::int64_t TrafficSample::*counter) {
        return controls::fromStd(sizeText(samples.empty() ? std::nullopt : std::optional(samples.back().*counter)));
    };
    m_received->setText(QStringLiteral("Received since the node started: %1").arg(total(&TrafficSample::received)));
    m_sent->setText(QStringLiteral("Sent since the node started: %1").arg(total(&TrafficSample::sent)));
}

} // namespace korvane
