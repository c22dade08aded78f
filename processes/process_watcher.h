#pragma once

#include "processes/watch_rules.h"

#include <QString>
#include <QWidget>
#include <array>
#include <optional>
#include <vector>

namespace korvane {

class Light;
class LiveProfile;
class ProcessTable;

// Whether each watched program runs, indexed by WatchedProgram: empty while it has no name.
using RunningStates = std::array<std::optional<bool>, kWatchedProgramCount>;

// The program names of the profile, and the e-mail utility's.
WatchedNames watchedNames(const LiveProfile& profile);

// The "Process Watcher" caption over the four process lights. On every tick of its timer it shows
// whether the node programs named in the profile and the e-mail utility run: the colours and tool
// tips of the lights (a light whose name is empty shows its design look). The snapshot of the
// process table is taken off the GUI thread, so a long table never holds up the window; each tick
// shows the answer of one snapshot, and a tick that comes while a snapshot is still being taken is
// skipped. A table that cannot be read leaves the states as they were.
class ProcessWatcher : public QWidget
{
    Q_OBJECT

public:
    ProcessWatcher(const LiveProfile& profile, ProcessTable& table, QWidget* parent);

    void tick();

    const RunningStates& states() const { return m_states; }

Q_SIGNALS:
    // The processes that answer to the daemon's name in a snapshot that could be read (none while
    // the daemon has no name); comes just before that snapshot's shown().
    void daemonProcesses(std::vector<korvane::ProcessId> ids);
    // A snapshot's answer is on the lights.
    void shown(const korvane::RunningStates& states);
    // Whether the QT and daemon start buttons, and the CLI stop button, may be pressed after a
    // snapshot; empty leaves a button as it is.
    void launchAccess(std::optional<bool> startButtons, std::optional<bool> cliStop);

private:
    void buildLights();
    void show(const WatchedNames& names, const ProcessQuery& query);

    const LiveProfile& m_profile;
    ProcessTable& m_table;
    WatchedNames m_names;
    std::array<Light*, kWatchedProgramCount> m_lights {};
    std::array<QString, kWatchedProgramCount> m_designToolTips;
    RunningStates m_states;
    bool m_snapshotPending = false;
};

} // namespace korvane
