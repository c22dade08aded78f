#include "monitor/heartbeat_panel.h"

#include "gui/colours.h"
#include "gui/controls.h"
#include "platform/keyboard.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace korvane {
namespace {

const QString kStartCaption = QStringLiteral("START KITT");
const QString kStopCaption = QStringLiteral("STOP KITT");

QColor colourOf(BeatIndicator indicator)
{
    switch (indicator) {
    case BeatIndicator::Beat:
        return colours::kCyan;
    case BeatIndicator::FirstPress:
        return colours::kGreen;
    case BeatIndicator::Rest:
        break;
    }
    return colours::kBlack;
}

} // namespace

HeartbeatPanel::HeartbeatPanel(const HeartbeatControls& controls, Keyboard& keyboard, QObject* parent)
    : QObject(parent)
    , m_controls(controls)
    , m_keyboard(keyboard)
    , m_heartbeat(keyboard, *this)
{
    m_shownLit.fill(-1);
    for (const HeartbeatTimer timer :
         { HeartbeatTimer::Countdown, HeartbeatTimer::FirstPress, HeartbeatTimer::SecondPress }) {
        timerOf(timer)->setInterval(intervalOf(timer));
        connect(timerOf(timer), &QTimer::timeout, this, [this, timer] { fire(timer); });
    }
    m_controls.scannerTimer->setInterval(kScannerStepInterval);
    connect(m_controls.scannerTimer, &QTimer::timeout, this, &HeartbeatPanel::stepScanner);
    connect(m_controls.startStop, &QPushButton::clicked, this, &HeartbeatPanel::startOrStop);
    showIndicator();
    showScanner();
}

void HeartbeatPanel::startOrStop()
{
    if (m_heartbeat.running()) {
        m_heartbeat.stop();
        m_scanner.stop();
        m_controls.scannerTimer->stop();
        m_controls.startStop->setText(kStartCaption);
    } else {
        m_heartbeat.start(m_controls.countdown->text().toStdString());
        m_scanner.start();
        m_controls.scannerTimer->start();
        m_controls.startStop->setText(kStopCaption);
        showCountdown();
        if (!m_keyboard.available())
            Q_EMIT statusMessage(QStringLiteral("Num Lock cannot be pressed: no X server is reachable. The "
                                                "countdown runs, but the heartbeat does not keep the "
                                                "workstation awake."));
    }
    showIndicator();
    showScanner();
}

void HeartbeatPanel::setRunning(HeartbeatTimer timer, bool running)
{
    if (running)
        timerOf(timer)->start();
    else
        timerOf(timer)->stop();
}

QTimer* HeartbeatPanel::timerOf(HeartbeatTimer timer) const
{
    switch (timer) {
    case HeartbeatTimer::FirstPress:
        return m_controls.firstPressTimer;
    case HeartbeatTimer::SecondPress:
        return m_controls.secondPressTimer;
    case HeartbeatTimer::Countdown:
        break;
    }
    return m_controls.countdownTimer;
}

void HeartbeatPanel::fire(HeartbeatTimer timer)
{
    m_heartbeat.fire(timer);
    if (timer == HeartbeatTimer::Countdown)
        showCountdown();
    showIndicator();
}

void HeartbeatPanel::stepScanner()
{
    m_scanner.step();
    showScanner();
}

void HeartbeatPanel::showCountdown()
{
    m_controls.countdown->setText(QString::fromStdString(m_heartbeat.countdownText()));
}

void HeartbeatPanel::showIndicator()
{
    const QColor colour = colourOf(m_heartbeat.indicator());
    if (m_controls.indicator->palette().color(QPalette::Window) != colour)
        controls::paintBackground(*m_controls.indicator, QPalette::Window, colour);
}

// Repaints only the lights that changed.
void HeartbeatPanel::showScanner()
{
    for (std::size_t i = 0; i < m_shownLit.size(); ++i) {
        const int lit = m_scanner.lit()[i] ? 1 : 0;
        if (m_shownLit[i] == lit)
            continue;
        m_shownLit[i] = lit;
        controls::paintBackground(*m_controls.scannerLights[i], QPalette::Window,
                                  lit ? colours::kRed : colours::kBlack);
    }
}

} // namespace korvane
