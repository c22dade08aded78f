#pragma once

#include "processes/watch_rules.h"

#include <QObject>
#include <QString>
#include <QThread>
#include <array>

class QLineEdit;
class QPushButton;
class QWidget;

namespace korvane {

class Light;
class ProcessTable;

// Shows on every tick of the main window's MULTI_PROCESS_WATCHER_TIMER whether the node programs
// named in its QT, DAEMON and CLI name boxes and the e-mail utility run: the colours and tool tips
// of the four process lights (a light whose name is empty shows its design look), and which start
// and stop buttons may be pressed. The snapshot of the
// process table is taken on a worker thread, so a long table never holds up the window; each tick
// shows the answer of one snapshot, and a tick that comes while a snapshot is still being taken is
// skipped.
class ProcessWatcher : public QObject
{
    Q_OBJECT

public:
    // Finds the main window's controls by their object names and follows its timer.
    ProcessWatcher(QWidget& mainWindow, ProcessTable& table);
    ~ProcessWatcher() override;

    void tick();

Q_SIGNALS:
    // A snapshot's answer is on the lights and buttons.
    void shown();

private:
    void show(const WatchedNames& names, const ProcessQuery& query);
    WatchedNames watchedNames() const;

    ProcessTable& m_table;
    std::array<QLineEdit*, 3> m_nameBoxes {}; // QT, daemon, CLI
    std::array<Light*, kWatchedProgramCount> m_lights {};
    std::array<QString, kWatchedProgramCount> m_designToolTips;
    QPushButton* m_cliStop = nullptr;
    std::array<QPushButton*, 2> m_startButtons {};
    QThread m_snapshots;
    QObject m_snapshotContext; // lives in m_snapshots: the context the snapshots run in
    bool m_snapshotPending = false;
};

} // namespace korvane
