#pragma once

#include "gui/korvane_dialog.h"

class QLabel;
class QPlainTextEdit;

namespace korvane {

// KORVANE_SINGLE_OUTPUT_COMMANDS_WINDOW: shows one of the profile's three command lines at a
// time, whole and unchanged, to be read or copied.
class OutputCommandsWindow : public KorvaneDialog
{
    Q_OBJECT

public:
    OutputCommandsWindow(LiveProfile& profile, QWidget* owner);

private:
    void showCommand(const QString& name, Key command);

    QLabel* m_commandName = nullptr;
    QPlainTextEdit* m_command = nullptr;
};

} // namespace korvane
