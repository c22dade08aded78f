#pragma once

#include "details/details_rules.h"

#include <QWidget>
#include <vector>

namespace korvane {

// The node's received and sent rates over the last `span` seconds as two lines, with the rate
// axis in kB/s, the time axis in minutes before the last sample, and a legend. Drawn with
// QPainter: Qt's charts are a module of their own that the Windows build does not build.
class TrafficGraph : public QWidget
{
    Q_OBJECT

public:
    TrafficGraph(double span, QWidget* parent);

    void setRates(const std::vector<TrafficRate>& rates);

    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    double m_span;
    TrafficScale m_scale;
    std::vector<GraphPoint> m_points;
    QString m_summary;
};

} // namespace korvane
