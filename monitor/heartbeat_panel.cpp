#include "monitor/heartbeat_panel.h"

#include "gui/colours.h"
#include "gui/controls.h"
#include "gui/live_profile.h"
#include "platform/keyboard.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace korvane {
namespace {

using controls::label;

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

QTimer* namedTimer(const char* name, std::chrono::milliseconds interval, QObject* parent)
{
    auto* timer = controls::named(new QTimer(parent), name);
    timer->setInterval(interval);
    return timer;
}

} // namespace

HeartbeatPanel::HeartbeatPanel(const LiveProfile& profile, Keyboard& keyboard, QWidget* parent)
    : QWidget(parent)
    , m_keyboard(keyboard)
    , m_heartbeat(keyboard, *this)
{
    m_shownLit.fill(-1);
    buildControls(controls::fromStd(profile.text(Key::HeartbeatCountdown)));
    buildTimers();
    showIndicator();
    showScanner();
}

void HeartbeatPanel::buildControls(const QString& countdown)
{
    m_startStop = controls::button("KITT_START_BUTTON", kStartCaption, this);
    m_startStop->setToolTip(QStringLiteral("START / STOP KITT \"Num-Lock\" HEARTBEAT"));
    connect(m_startStop, &QPushButton::clicked, this, &HeartbeatPanel::startOrStop);

    m_countdown = new QLineEdit(countdown, this);
    m_countdown->setObjectName(controls::objectNameOf(Key::HeartbeatCountdown));
    m_countdown->setAccessibleName(QStringLiteral("Heartbeat countdown"));
    m_countdown->setAlignment(Qt::AlignCenter);
    m_countdown->setMaximumWidth(m_countdown->fontMetrics().horizontalAdvance(QStringLiteral("00:00:00")) + 16);

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(4);
    row->addWidget(m_startStop);
    row->addWidget(m_countdown);
    row->addWidget(buildScanner(), 1);
}

QWidget* HeartbeatPanel::buildScanner()
{
    m_indicator = label("KITT_BACKGROUND_LABEL", QString(), this);
    auto* lights = new QHBoxLayout(m_indicator);
    lights->setContentsMargins(4, 4, 4, 4);
    lights->setSpacing(3);
    for (std::size_t i = 0; i < m_scannerLights.size(); ++i) {
        auto* light = label(QStringLiteral("KITT_LABEL_%1").arg(i + 1).toLatin1().constData(), QString(), m_indicator);
        light->setMinimumSize(10, 8);
        lights->addWidget(light);
        m_scannerLights[i] = light;
    }
    return m_indicator;
}

void HeartbeatPanel::buildTimers()
{
    m_countdownTimer = namedTimer("HEARTBEAT_TIMER", intervalOf(HeartbeatTimer::Countdown), this);
    // A coarse timer may fire up to 5% early, which a countdown would add up tick after tick.
    m_countdownTimer->setTimerType(Qt::PreciseTimer);
    m_firstPressTimer = namedTimer("NUMLOCK_TIMER_1", intervalOf(HeartbeatTimer::FirstPress), this);
    m_secondPressTimer = namedTimer("NUMLOCK_TIMER_2", intervalOf(HeartbeatTimer::SecondPress), this);
    for (const HeartbeatTimer timer :
         { HeartbeatTimer::Countdown, HeartbeatTimer::FirstPress, HeartbeatTimer::SecondPress })
        connect(timerOf(timer), &QTimer::timeout, this, [this, timer] { fire(timer); });
    m_scannerTimer = namedTimer("KITT_RED_TIMER", kScannerStepInterval, this);
    connect(m_scannerTimer, &QTimer::timeout, this, &HeartbeatPanel::stepScanner);
}

void HeartbeatPanel::startOrStop()
{
    if (m_heartbeat.running()) {
        m_heartbeat.stop();
        m_scanner.stop();
        m_scannerTimer->stop();
        m_startStop->setText(kStartCaption);
    } else {
        m_heartbeat.start(m_countdown->text().toStdString());
        m_scanner.start();
        m_scannerTimer->start();
        m_startStop->setText(kStopCaption);
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
        return m_firstPressTimer;
    case HeartbeatTimer::SecondPress:
        return m_secondPressTimer;
    case HeartbeatTimer::Countdown:
        break;
    }
    return m_countdownTimer;
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
    m_countdown->setText(QString::fromStdString(m_heartbeat.countdownText()));
}

void HeartbeatPanel::showIndicator()
{
    const QColor colour = colourOf(m_heartbeat.indicator());
    if (m_indicator->palette().color(QPalette::Window) != colour)
        controls::paintBackground(*m_indicator, QPalette::Window, colour);
}

// Repaints only the lights that changed.
void HeartbeatPanel::showScanner()
{
    for (std::size_t i = 0; i < m_shownLit.size(); ++i) {
        const int lit = m_scanner.lit()[i] ? 1 : 0;
        if (m_shownLit[i] == lit)
            continue;
        m_shownLit[i] = lit;
        controls::paintBackground(*m_scannerLights[i], QPalette::Window, lit ? colours::kRed : colours::kBlack);
    }
}

} // namespace korvane
