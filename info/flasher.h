#pragma once

#include "info/flash_palette.h"

#include <QColor>
#include <QObject>
#include <QTimer>
#include <functional>

namespace korvane {

// Paints the flash palette's colours in turn, each for 200 milliseconds, on one timer; the first
// colour (green) comes 200 milliseconds after a start. Runs from construction.
class Flasher : public QObject
{
public:
    using Paint = std::function<void(const QColor&)>;

    // `timerName` names the timer, so that a test can follow its ticks.
    Flasher(const char* timerName, Paint paint, QObject* parent);

    bool isRunning() const { return m_timer->isActive(); }
    // Starts again from the first colour.
    void start();
    // Leaves the last colour painted; the caller paints what the stopped look is.
    void stop() { m_timer->stop(); }

private:
    void paintNext();

    QTimer* m_timer;
    FlashCycle m_cycle;
    Paint m_paint;
};

} // namespace korvane
