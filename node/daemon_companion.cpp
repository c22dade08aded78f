#include "node/daemon_companion.h"

#include "platform/keep_awake.h"
#include "platform/notices.h"

#include <QPointer>

namespace korvane {
namespace {

constexpr const char* kKeepAwakeReason = "a node is running";

} // namespace

DaemonCompanion::DaemonCompanion(
    const KeyValues& profile, KeepAwake& keepAwake, Notices& notices, ShutdownGuard& shutdownGuard, QObject* parent)
    : QObject(parent)
    , m_profile(profile)
    , m_keepAwake(keepAwake)
    , m_notices(notices)
    , m_shutdownGuard(shutdownGuard,
                      [this](const std::string& message) { Q_EMIT statusMessage(QString::fromStdString(message)); })
{
    shutdownGuard.onShutdownRequested([this] { Q_EMIT shutdownStopDue(); });
    profileChanged(Key::CryptoName);
}

DaemonCompanion::~DaemonCompanion()
{
    m_keepAwake.release();
    if (m_running)
        m_notices.notify(m_coin + ": the node still runs",
                         "QL-KORVANE has ended, so shutdown is no longer held off for the node; stop it before "
                         "shutting down the computer");
}

void DaemonCompanion::show(const NodeSnapshot& snapshot)
{
    const bool running = snapshot.running();
    const bool syncing = snapshot.syncing();
    if (running != m_running)
        m_shutdownGuard.nodeRunning(running);
    if (running == m_running && syncing == m_syncing)
        return;
    m_running = running;
    m_syncing = syncing;
    followKeepAwake();
}

void DaemonCompanion::profileChanged(Key key)
{
    if (key == Key::KeepAwakeWhile)
        followKeepAwake();
    if (key == Key::CryptoName) {
        m_coin = m_profile.text(Key::CryptoName);
        if (m_coin.empty())
            m_coin = "The node";
    }
}

void DaemonCompanion::notify(const QString& title, const QString& body)
{
    m_notices.notify(title.toStdString(), body.toStdString());
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

} // namespace korvane
