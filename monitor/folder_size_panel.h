#pragma once

#include "monitor/folder_size_format.h"

#include <QObject>
#include <array>

class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTimer;

namespace korvane {

class FolderSize;
class LiveProfile;

// The main window's controls that show the blockchain folder's size.
struct FolderSizeControls
{
    QPlainTextEdit* summary;
    QPushButton* measureNow;
    std::array<QLineEdit*, kFolderSizeUnitCount> units; // bytes first
    QTimer* timer; // measures on every tick while it runs
};

// Measures the profile's blockchain folder when the button is pressed or the timer ticks, and shows
// the size in six units, or why it could not be measured, in the summary box. The scan runs off
// the GUI thread; meanwhile the button is disabled and ticks are skipped. Numbers use the
// separators of the user's locale.
class FolderSizePanel : public QObject
{
    Q_OBJECT

public:
    FolderSizePanel(const FolderSizeControls& controls, const LiveProfile& profile, FolderSize& folderSize,
                    QObject* parent);

    void measure();
    bool measuring() const { return m_measuring; }

Q_SIGNALS:
    // A measurement's result is shown.
    void shown();

private:
    void show(const std::string& folder, const FolderSizeResult& result);

    FolderSizeControls m_controls;
    const LiveProfile& m_profile;
    FolderSize& m_folderSize;
    bool m_measuring = false;
};

} // namespace korvane
