#pragma once

#include "node/node_snapshot.h"
#include "node/tray_state.h"

#include <QIcon>
#include <QSystemTrayIcon>
#include <array>
#include <memory>
#include <optional>

class QAction;
class QMenu;

namespace korvane {

// The program's icon in the desktop's tray: the node's state as a coloured dot on the program's
// icon and in its tool tip, and a menu whose entries do what the main window's buttons do.
class TrayIcon : public QSystemTrayIcon
{
    Q_OBJECT

public:
    // `window` is the main window, shown and hidden from the menu or by a click on the icon.
    explicit TrayIcon(QWidget& window);
    ~TrayIcon() override;

    // The icon and tool tip change only where they differ from what is shown.
    void showNode(const korvane::NodeSnapshot& snapshot);
    // The name the tool tip starts with.
    void setCoin(const QString& coin);
    std::optional<TrayState> shownState() const { return m_shownState; }

    // As the main window's buttons: the daemon's start, and the CLI stop; empty leaves one as it is.
    void allowLaunch(std::optional<bool> startButtons, std::optional<bool> cliStop);

Q_SIGNALS:
    void startDaemonChosen();
    void cliStopChosen();
    void detailsChosen();
    void exitChosen();

private:
    void buildMenu();
    void toggleWindow();
    void refresh();

    QWidget& m_window;
    std::unique_ptr<QMenu> m_menu; // a tray icon does not own its menu
    QAction* m_showHide = nullptr;
    QAction* m_startDaemon = nullptr;
    QAction* m_cliStop = nullptr;
    std::array<QIcon, 4> m_icons; // by TrayState
    std::optional<TrayState> m_shownState;
    NodeState m_state = NodeState::NotRunning;
    std::string m_sync;
    QString m_coin;
};

} // namespace korvane
