#pragma once

#include "gui/key_bindings.h"
#include "gui/live_profile.h"
#include "platform/launcher.h"
#include "platform/services.h"

#include <QPointer>
#include <QWidget>
#include <optional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSystemTrayIcon;
class QTimer;

namespace korvane {

class DaemonCompanion;
class NodeDetailsWindow;
class NodeModel;
class StatusLine;
class NodeStatusPanel;
class ProcessWatcher;
class TrayIcon;

// KORVANE_MAIN: the start-up window, not modal (nor is the node details window it opens). It shows
// the profile's coin, folder and program names, follows every change other windows make to them
// through the live profile, and composes the features' panels (the process watcher, the folder
// size, the heartbeat and the lock lights) with the launch buttons, which run the profile's command
// lines, and the buttons that open the terminator and the settings windows; the node status panel
// and the tray open the node details. Where the desktop has a tray, it keeps an icon there, and its
// close box may hide it to the tray.
class MainWindow : public QWidget
{
    Q_OBJECT

public:
    explicit MainWindow(Services& services, QWidget* parent = nullptr);
    ~MainWindow() override;

    LiveProfile& profile() { return m_profile; }
    // Its icon in the desktop's tray, where there is one.
    QSystemTrayIcon* trayIcon() const;

    // A one-line message in the window's status line; an empty text clears it. A problem of the
    // profile found at start stays in front of it.
    void showStatus(const QString& message);

public Q_SLOTS:
    void openSettings();
    void openTerminator();
    void openAbout();
    // The node details window, one at a time, beside this one.
    void openNodeDetails();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    QLayout* buildHeader();
    QLayout* buildProfileBox();
    QLayout* buildLaunchBox();
    QLayout* buildHeartbeatRow();
    QLayout* buildFooter();
    void load();
    void follow(Key key);
    bool saveOnUnload();
    void keepOnTop();
    bool launch(Key commandKey, WindowStyle style); // true when the program started
    void allowLaunch(std::optional<bool> startButtons, std::optional<bool> cliStop);
    void followNode();
    void startDaemonAfterCheck(); // asks first where another copy's node would clash
    void buildTray();
    void showTrayCoin();

    Services& m_services;
    LiveProfile m_profile;

    KeyBindings m_profileFields; // the coin, folder and program names
    QLineEdit* m_exeName = nullptr;
    QCheckBox* m_alwaysOnTop = nullptr;
    StatusLine* m_status = nullptr;
    QPushButton* m_qtStart = nullptr;
    QPushButton* m_daemonStart = nullptr;
    QPushButton* m_cliStop = nullptr;

    QTimer* m_alwaysOnTopTimer = nullptr;
    ProcessWatcher* m_watcher = nullptr;
    NodeModel* m_node = nullptr;
    DaemonCompanion* m_companion = nullptr;
    NodeStatusPanel* m_nodeStatus = nullptr;
    TrayIcon* m_tray = nullptr; // only where the desktop has a tray
    QPointer<NodeDetailsWindow> m_details; // while open
};

} // namespace korvane
