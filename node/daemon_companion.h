#pragma once

#include "platform/shutdown_guard.h"
#include "node/daemon_ends.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>

class QTimer;

namespace korvane {

class KeepAwake;
class LiveProfile;
class Notices;

// What the desktop does around the daemon's life: keeps the computer awake while it runs (or only
// while the node syncs, as the profile says), holds off shutdown and sleep while it runs, tells the
// user with a notice when it ends by itself, and, when the user opted in, asks for it to be started
// again after a growing pause.
class DaemonCompanion : public QObject
{
    Q_OBJECT

public:
    DaemonCompanion(const LiveProfile& profile,
                    KeepAwake& keepAwake,
                    Notices& notices,
                    ShutdownGuard& shutdownGuard,
                    QObject* parent = nullptr);
    ~DaemonCompanion() override; // gives back the keep-awake hold and the shutdown guard

public Q_SLOTS:
    // From the process watcher: the daemon's light is green.
    void setDaemonRunning(bool running);
    // This program asked the daemon to stop.
    void stopAsked();
    // From the node's status, where it is known: the node is still catching up.
    void setNodeSyncing(bool syncing);

Q_SIGNALS:
    void statusMessage(const QString& message);
    // A planned restart is due: start the daemon as START DAEMON does.
    void restartDue();
    // The system asks to shut down while the node runs: stop the node cleanly, as CLI "STOP" does.
    void shutdownStopDue();

private:
    void followKeepAwake();
    void daemonEnded();
    DaemonEnds::Time now() const;

    const LiveProfile& m_profile;
    KeepAwake& m_keepAwake;
    Notices& m_notices;
    NodeShutdownGuard m_shutdownGuard;
    DaemonEnds m_ends;
    QTimer* m_restartTimer;
    QElapsedTimer m_clock;
    bool m_running = false;
    bool m_syncing = true; // until the node says otherwise
    bool m_keepAwakeFailureSaid = false;
};

} // namespace korvane
