#pragma once

#include "gui/key_bindings.h"
#include "gui/live_profile.h"
#include "monitor/heartbeat_panel.h"
#include "platform/launcher.h"
#include "platform/services.h"

#include <QWidget>
#include <array>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTimer;

namespace korvane {

class Light;
class NodeStatusPanel;
class ProcessWatcher;

// KORVANE_MAIN: the start-up window and the only one that is not modal. It shows the profile's
// coin, folder, program names and command lines, follows every change other windows make to them
// through the live profile, and composes the features: launching, the process watcher and
// terminator, the settings windows.
class MainWindow : public QWidget
{
    Q_OBJECT

public:
    explicit MainWindow(Services& services, QWidget* parent = nullptr);
    ~MainWindow() override;

    LiveProfile& profile() { return m_profile; }

    // A one-line message in the window's status line; an empty text clears it. A problem of the
    // profile found at start stays in front of it.
    void showStatus(const QString& message);

public Q_SLOTS:
    void openSettings();
    void openTerminator();
    void openAbout();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    QLayout* buildHeader();
    QLayout* buildProfileBox();
    QLayout* buildLaunchBox();
    QLayout* buildFolderSizeBox();
    QLayout* buildHeartbeatRow();
    QLayout* buildFooter();
    QTimer* addTimer(const char* name, int intervalMs);
    void startWatcher();
    void load();
    void follow(Key key);
    bool saveOnUnload();
    void keepOnTop();
    bool launch(Key commandKey, WindowStyle style); // true when the program started

    Services& m_services;
    LiveProfile m_profile;

    KeyBindings m_profileFields; // the coin, folder, program names and command lines
    std::vector<Light*> m_processLights;
    QLineEdit* m_exeName = nullptr;
    QCheckBox* m_alwaysOnTop = nullptr;
    QCheckBox* m_autoUpdateFolderSize = nullptr;
    QPlainTextEdit* m_folderSizeSummary = nullptr;
    HeartbeatControls m_heartbeat {}; // the heartbeat row's widgets and timers
    std::array<Light*, 3> m_lockLights {}; // Num, Caps, Scroll
    QPushButton* m_measureFolderSize = nullptr;
    std::array<QLineEdit*, 6> m_fileSizeBoxes {}; // bytes to petabytes
    QLabel* m_status = nullptr;
    QString m_profileProblem;
    QPushButton* m_qtStart = nullptr;
    QPushButton* m_daemonStart = nullptr;
    QPushButton* m_cliStop = nullptr;

    QTimer* m_watcherTimer = nullptr;
    QTimer* m_alwaysOnTopTimer = nullptr;
    QTimer* m_folderSizeTimer = nullptr;
    ProcessWatcher* m_watcher = nullptr;
    NodeStatusPanel* m_nodeStatus = nullptr;
};

} // namespace korvane
