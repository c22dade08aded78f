#pragma once

#include "gui/korvane_dialog.h"
#include "processes/watch_rules.h"

#include <array>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace korvane {

class Light;
class MainWindow;
class ProcessTable;

// KORVANE_TERMINATOR_WINDOW: kills every process of one of the four watched names. It opens
// disarmed with every kill button and name field disabled; once armed with its tick box it mirrors
// the main window's process lights each second, and a row's kill button can be pressed while its
// light shows the program running. What the system refuses to end is reported in the window.
class TerminatorWindow : public KorvaneDialog
{
    Q_OBJECT

public:
    explicit TerminatorWindow(MainWindow& mainWindow);

private:
    struct Row
    {
        QLineEdit* name = nullptr;
        QPushButton* terminate = nullptr;
        const Light* mirrored = nullptr; // the main window's light of this program
    };

    QLayout* buildRows(const MainWindow& mainWindow);
    void arm(bool armed);
    void mirror();
    void terminate(const Row& row);

    ProcessTable& m_table;
    std::array<Row, kWatchedProgramCount> m_rows; // indexed by WatchedProgram
    QCheckBox* m_enable = nullptr;
    QTimer* m_mirrorTimer = nullptr;
    QLabel* m_result = nullptr;
};

} // namespace korvane
