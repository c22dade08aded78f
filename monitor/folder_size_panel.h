#pragma once

#include "monitor/folder_size_format.h"
#include "monitor/free_space.h"

#include <QElapsedTimer>
#include <QWidget>
#include <optional>

class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTimer;

namespace korvane {

class FolderSize;
class LiveProfile;

// The "Blockchain Folder Size:" box. Measures the profile's blockchain folder when its button is
// pressed, and every minute while the profile's auto-update option is ticked, and shows the size in
// six units, or why it could not be measured, with the free space of its file system and how fast
// the folder grows. The scan runs off the GUI thread; meanwhile the button is disabled and ticks
// are skipped. Numbers use the separators of the user's locale.
class FolderSizePanel : public QWidget
{
    Q_OBJECT

public:
    FolderSizePanel(const LiveProfile& profile, FolderSize& folderSize, QWidget* parent);

    void measure();
    bool measuring() const { return m_measuring; }

Q_SIGNALS:
    // A measurement's result is shown.
    void shown();
    // Free space fell below the profile's threshold or 30 days of growth (said once until it rises
    // again).
    void lowSpace(const QString& warning);
    // A line for the status line: the profile's threshold of low space was refused (said once for
    // each text refused).
    void statusMessage(const QString& message);

private:
    void buildControls();
    void followAutoUpdate();
    struct Measurement
    {
        std::string folder;
        FolderSizeResult size;
        std::optional<std::uint64_t> freeBytes; // of the folder's file system, where it could be read
    };
    void show(const Measurement& measurement);
    QString freeSpaceText(const Measurement& measurement);
    std::uint64_t threshold(); // in bytes

    const LiveProfile& m_profile;
    FolderSize& m_folderSize;
    QPlainTextEdit* m_summary = nullptr;
    QPushButton* m_measureNow = nullptr;
    QLabel* m_freeSpace = nullptr; // the file system's free space and the folder's growth
    QTimer* m_timer = nullptr;
    bool m_measuring = false;
    FolderGrowth m_growth;
    QElapsedTimer m_clock;
    bool m_lowSpaceSaid = false;
    std::optional<std::string> m_refusedThreshold; // the text of the threshold last refused, said once
};

// The tick box that shows the profile's auto-update option; it is switched in the settings window.
QCheckBox* autoUpdateFolderSizeBox(const LiveProfile& profile, QWidget* parent);

} // namespace korvane
