#pragma once

#include "node/node_snapshot.h"
#include "platform/shutdown_guard.h"
#include "settings/key_values.h"

#include <QObject>
#include <QString>

namespace korvane {

class KeepAwake;
class Notices;

// What the desktop does around the node's life, as the node model tells it: keeps the computer
// awake while the node runs (or only while it syncs, as the profile says), holds off shutdown and
// sleep while it runs, shows the model's notices, and, when the program ends while the node runs,
// says that shutdown is no longer held off for it.
class DaemonCompanion : public QObject
{
    Q_OBJECT

public:
    DaemonCompanion(const KeyValues& profile,
                    KeepAwake& keepAwake,
                    Notices& notices,
                    ShutdownGuard& shutdownGuard,
                    QObject* parent = nullptr);
    ~DaemonCompanion() override; // gives back the keep-awake hold and the shutdown guard

public Q_SLOTS:
    void show(const korvane::NodeSnapshot& snapshot);
    void profileChanged(korvane::Key key);
    void notify(const QString& title, const QString& body);

Q_SIGNALS:
    void statusMessage(const QString& message);
    // The system asks to shut down while the node runs: stop it cleanly.
    void shutdownStopDue();

private:
    void followKeepAwake();

    const KeyValues& m_profile;
    KeepAwake& m_keepAwake;
    Notices& m_notices;
    NodeShutdownGuard m_shutdownGuard;
    std::string m_coin; // followed, so that the profile is not read as the program ends
    bool m_running = false;
    bool m_syncing = false;
    bool m_keepAwakeFailureSaid = false;
};

} // namespace korvane
