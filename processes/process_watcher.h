#pragma once

#include "processes/watch_rules.h"

#include <QObject>
#include <QString>
#include <array>
#include <optional>

class QLineEdit;
class QPushButton;
class QTimer;

namespace korvane {

class Light;
class ProcessTable;

// Whether each watched program runs, indexed by WatchedProgram: empty while it has no name.
using RunningStates = std::array<std::optional<bool>, kWatchedProgramCount>;

// The main window's controls the watcher reads and drives.
struct WatcherControls
{
    std::array<QLineEdit*, 3> nameBoxes; // QT, daemon, CLI
    std::array<Light*, kWatchedProgramCount> lights;
    QPushButton* cliStop;
    std::array<QPushButton*, 2> startButtons; // QT, daemon
    QTimer* timer;
};

// Shows on every tick of the timer whether the node programs named in the name boxes and the
// e-mail utility run: the colours and tool tips of the four process lights (a light whose name is
// empty shows its design look), and which start and stop buttons may be pressed. The snapshot of
// the process table is taken off the GUI thread, so a long table never holds up the window; each
// tick shows the answer of one snapshot, and a tick that comes while a snapshot is still being
// taken is skipped. A table that cannot be read leaves the states as they were.
class ProcessWatcher : public QObject
{
    Q_OBJECT

public:
    ProcessWatcher(const WatcherControls& controls, ProcessTable& table, QObject* parent);

    void tick();

    WatchedNames watchedNames() const;
    const RunningStates& states() const { return m_states; }

Q_SIGNALS:
    // A snapshot's answer is on the lights and buttons.
    void shown(const korvane::RunningStates& states);

private:
    void show(const WatchedNames& names, const ProcessQuery& query);

    ProcessTable& m_table;
    WatcherControls m_controls;
    std::array<QString, kWatchedProgramCount> m_designToolTips;
    RunningStates m_states;
    bool m_snapshotPending = false;
};

} // namespace korvane
