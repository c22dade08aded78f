#include "processes/daemon_companion.h"

#include "gui/live_profile.h"
#include "platform/keep_awake.h"
#include "platform/notices.h"

#include <QDateTime>
#include <QPointer>
#include <QTimer>

namespace korvane {
namespace {

constexpr const char* kKeepAwakeReason = "a node is running";

} // namespace

DaemonCompanion::DaemonCompanion(
    const LiveProfile& profile, KeepAwake& keepAwake, Notices& notices, ShutdownGuard& shutdownGuard, QObject* parent)
    : QObject(parent)
    , m_profile(profile)
    , m_keepAwake(keepAwake)
    , m_notices(notices)
    , m_shutdownGuard(shutdownGuard,
                      [this](const std::string& message) { Q_EMIT statusMessage(QString::fromStdString(message)); })
    , m_restartTimer(new QTimer(this))
{
    m_clock.start();
    shutdownGuard.onShutdownRequested([this] { Q_EMIT shutdownStopDue(); });
    m_restartTimer->setObjectName(QStringLiteral("DAEMON_RESTART_TIMER"));
    m_restartTimer->setSingleShot(true);
    connect(m_restartTimer, &QTimer::timeout, this, [this] {
        m_ends.restarted(now());
        Q_EMIT restartDue();
    });
    connect(&profile, &LiveProfile::changed, this, [this](Key key) {
        if (key == Key::KeepAwakeWhile)
            followKeepAwake();
    });
}

DaemonCompanion::~DaemonCompanion()
{
    m_keepAwake.release();
}

DaemonEnds::Time DaemonCompanion::now() const
{
    return std::chrono::milliseconds(m_clock.elapsed());
}

void DaemonCompanion::setDaemonRunning(bool running)
{
    if (running == m_running)
        return;
    m_running = running;
    m_shutdownGuard.nodeRunning(running);
    if (running) {
        m_ends.started();
        m_restartTimer->stop();
    } else {
        daemonEnded();
    }
    followKeepAwake();
}

void DaemonCompanion::stopAsked()
{
    m_ends.stopAsked();
    m_restartTimer->stop();
}

void DaemonCompanion::setNodeSyncing(bool syncing)
{
    if (syncing == m_syncing)
        return;
    m_syncing = syncing;
    followKeepAwake();
}

void DaemonCompanion::followKeepAwake()
{
    const std::string choice = m_profile.text(Key::KeepAwakeWhile);
    const bool wanted = m_running && (choice == "daemon" || (choice == "syncing" && m_syncing));
    if (!wanted) {
        m_keepAwake.release();
        return;
    }
    QPointer<DaemonCompanion> self(this);
    m_keepAwake.hold(
        kKeepAwakeReason,
        [self](const std::string& reason) {
            if (!self || self->m_keepAwakeFailureSaid)
                return;
            self->m_keepAwakeFailureSaid = true;
            Q_EMIT self->statusMessage(
                QStringLiteral("Cannot keep the computer awake: %1").arg(QString::fromStdString(reason)));
        },
        [self](const std::string& message) {
            if (self)
                Q_EMIT self->statusMessage(QString::fromStdString(message));
        });
}

void DaemonCompanion::daemonEnded()
{
    m_ends.setRestarting(m_profile.ticked(Key::RestartDaemonTick));
    const DaemonEnds::Plan plan = m_ends.ended(now());
    const std::string clock = QDateTime::currentDateTime().toString(QStringLiteral("HH:mm:ss")).toStdString();
    const std::string notice = daemonEndNotice(plan, clock);
    if (notice.empty())
        return;
    const std::string coin = m_profile.text(Key::CryptoName);
    m_notices.notify((coin.empty() ? std::string("The node") : coin) + ": the daemon ended", notice);
    Q_EMIT statusMessage(QString::fromStdString(notice));
    if (plan.restartAfter)
        m_restartTimer->start(std::chrono::milliseconds(*plan.restartAfter));
}

} // namespace korvane
