#include "details/traffic_graph.h"

#include <QPainter>
#include <QPainterPath>

namespace korvane {
namespace {

const QColor kReceivedColour(0, 140, 0);
const QColor kSentColour(30, 90, 220);
constexpr int kTimeTicks = 3; // parts the time axis is cut in: 30, 20, 10 minutes ago, now
constexpr int kGap = 6;

QString rateLabel(double kilobytesPerSecond)
{
    return QString::number(kilobytesPerSecond, 'g', 4);
}

QString timeLabel(double secondsBefore)
{
    return secondsBefore <= 0 ? QStringLiteral("now") : QStringLiteral("%1 min ago").arg(qRound(secondsBefore / 60.0));
}

QPainterPath line(const std::vector<GraphPoint>& points, const QRectF& area, double GraphPoint::*rate)
{
    QPainterPath path;
    if (points.size() == 1) { // a dot until there is a line
        path.addEllipse(QPointF(area.right(), area.bottom() - points[0].*rate * area.height()), 1.5, 1.5);
        return path;
    }
    for (std::size_t i = 0; i < points.size(); ++i) {
        const QPointF at(area.left() + points[i].x * area.width(), area.bottom() - points[i].*rate * area.height());
        if (i == 0)
            path.moveTo(at);
        else
            path.lineTo(at);
    }
    return path;
}

// Above the plot's right end, on the line of the unit.
void drawLegend(QPainter& painter, const QRect& plot, const QColor& textColour)
{
    const QFontMetrics metrics = painter.fontMetrics();
    int right = plot.right() - kGap;
    for (const auto& [caption, colour] :
         { std::pair(QStringLiteral("sent"), kSentColour), std::pair(QStringLiteral("received"), kReceivedColour) }) {
        const int width = metrics.horizontalAdvance(caption);
        const int y = kGap + metrics.ascent();
        painter.setPen(QPen(colour, 2));
        painter.drawLine(right - width - 22, y - metrics.ascent() / 2, right - width - 6, y - metrics.ascent() / 2);
        painter.setPen(textColour);
        painter.drawText(right - width, y, caption);
        right -= width + 22 + 2 * kGap;
    }
}

} // namespace

TrafficGraph::TrafficGraph(double span, QWidget* parent)
    : QWidget(parent)
    , m_span(span)
{
    setObjectName(QStringLiteral("TRAFFIC_GRAPH"));
    setAccessibleName(QStringLiteral("Received and sent over the last %1 minutes, in kB/s").arg(qRound(span / 60)));
    setRates({});
}

void TrafficGraph::setRates(const std::vector<TrafficRate>& rates)
{
    m_scale = trafficScale(rates, m_span);
    m_points = graphPoints(rates, m_span, m_scale.top);
    // What the graph ends with, for a screen reader and as a tool tip.
    m_summary = rates.empty() ? QStringLiteral("No traffic measured yet")
                              : QStringLiteral("Now: received %1 kB/s, sent %2 kB/s")
                                    .arg(rates.back().receivedPerSecond / 1000, 0, 'f', 2)
                                    .arg(rates.back().sentPerSecond / 1000, 0, 'f', 2);
    setToolTip(m_summary);
    setAccessibleDescription(m_summary);
    update();
}

QSize TrafficGraph::minimumSizeHint() const
{
    return { 320, 160 };
}

void TrafficGraph::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), palette().base());
    const QColor text = palette().color(QPalette::Text);
    const QFontMetrics metrics = painter.fontMetrics();
    const QString unit = QStringLiteral("kB/s");
    const int left
        = kGap + std::max(metrics.horizontalAdvance(rateLabel(m_scale.top)), metrics.horizontalAdvance(unit)) + kGap;
    // Room above the plot for the unit and the top figure, centred on its line; below it for the times.
    const int top = kGap + 2 * metrics.height();
    const QRect plot(left, top, width() - left - 2 * kGap, height() - top - metrics.height() - 2 * kGap);

    // The rate axis: a line and a figure at each tick, the unit above.
    painter.setPen(text);
    painter.drawText(kGap, kGap + metrics.ascent(), unit);
    for (const double tick : m_scale.ticks) {
        const int y = plot.bottom() - qRound(tick / m_scale.top * plot.height());
        painter.setPen(tick == 0 ? text : palette().color(QPalette::Midlight));
        painter.drawLine(plot.left(), y, plot.right(), y);
        painter.setPen(text);
        const QString label = rateLabel(tick);
        painter.drawText(left - kGap - metrics.horizontalAdvance(label), y + metrics.ascent() / 2, label);
    }
    // The time axis: minutes before the last sample.
    painter.drawLine(plot.bottomLeft(), plot.topLeft());
    for (int tick = 0; tick <= kTimeTicks; ++tick) {
        const int x = plot.left() + plot.width() * tick / kTimeTicks;
        const QString label = timeLabel(m_span * (kTimeTicks - tick) / kTimeTicks);
        const int width = metrics.horizontalAdvance(label);
        const int labelLeft = std::clamp(x - width / 2, 0, this->width() - width - kGap);
        painter.drawLine(x, plot.bottom(), x, plot.bottom() + kGap / 2);
        painter.drawText(labelLeft, plot.bottom() + kGap + metrics.ascent(), label);
    }

    if (m_points.empty()) {
        painter.drawText(plot, Qt::AlignCenter, m_summary);
    } else {
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(kReceivedColour, 2));
        painter.drawPath(line(m_points, plot, &GraphPoint::received));
        painter.setPen(QPen(kSentColour, 2));
        painter.drawPath(line(m_points, plot, &GraphPoint::sent));
    }
    drawLegend(painter, plot, text);
}

} // namespace korvane
