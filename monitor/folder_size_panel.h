#pragma once

#include "monitor/folder_size_format.h"

#include <QWidget>

class QCheckBox;
class QPlainTextEdit;
class QPushButton;
class QTimer;

namespace korvane {

class FolderSize;
class LiveProfile;

// The "Blockchain Folder Size:" box. Measures the profile's blockchain folder when its button is
// pressed, and every minute while the profile's auto-update option is ticked, and shows the size in
// six units, or why it could not be measured. The scan runs off the GUI thread; meanwhile the
// button is disabled and ticks are skipped. Numbers use the separators of the user's locale.
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

private:
    void buildControls();
    void followAutoUpdate();
    void show(const std::string& folder, const FolderSizeResult& result);

    const LiveProfile& m_profile;
    FolderSize& m_folderSize;
    QPlainTextEdit* m_summary = nullptr;
    QPushButton* m_measureNow = nullptr;
    QTimer* m_timer = nullptr;
    bool m_measuring = false;
};

// The tick box that shows the profile's auto-update option; it is switched in the settings window.
QCheckBox* autoUpdateFolderSizeBox(const LiveProfile& profile, QWidget* parent);

} // namespace korvane
