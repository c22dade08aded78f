#pragma once

#include "gui/korvane_dialog.h"
#include "processes/process_watcher.h"

#include <array>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace korvane {

class LiveProfile;
class ProcessTable;
class StatusLine;

// KORVANE_TERMINATOR_WINDOW: kills every process of one of the four watched names. It opens
// disarmed with every kill button and name field disabled; once armed with its tick box it mirrors
// the watcher's running states each second, and a row's kill button can be pressed while its
// program runs. What the system refuses to end is reported in the window.
class TerminatorWindow : public KorvaneDialog
{
    Q_OBJECT

public:
    TerminatorWindow(LiveProfile& profile, ProcessTable& table, const ProcessWatcher& watcher, QWidget* owner);

Q_SIGNALS:
    // The user asked to end every process of a watched program.
    void terminating(korvane::WatchedProgram program);

private:
    struct Row
    {
        QLineEdit* name = nullptr;
        QPushButton* terminate = nullptr;
    };

    QLayout* buildRows(const WatchedNames& names);
    void arm(bool armed);
    void mirror();
    void terminate(const Row& row);

    ProcessTable& m_table;
    std::array<Row, kWatchedProgramCount> m_rows; // indexed by WatchedProgram
    RunningStates m_states; // as the watcher last showed them
    QCheckBox* m_enable = nullptr;
    QTimer* m_mirrorTimer = nullptr;
    StatusLine* m_result = nullptr;
};

} // namespace korvane
