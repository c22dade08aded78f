#include "info/flasher.h"

#include <chrono>

namespace korvane {

Flasher::Flasher(const char* timerName, Paint paint, QObject* parent)
    : QObject(parent)
    , m_timer(new QTimer(this))
    , m_paint(std::move(paint))
{
    using namespace std::chrono_literals;
    m_timer->setObjectName(QString::fromLatin1(timerName));
    m_timer->setInterval(200ms);
    connect(m_timer, &QTimer::timeout, this, &Flasher::paintNext);
    start();
}

void Flasher::start()
{
    m_cycle.restart();
    m_timer->start();
}

void Flasher::paintNext()
{
    const Rgb colour = m_cycle.next();
    m_paint(QColor(colour.red, colour.green, colour.blue));
}

} // namespace korvane
