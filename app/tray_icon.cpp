#include "app/tray_icon.h"

#include "gui/colours.h"
#include "gui/controls.h"

#include <QMenu>
#include <QPainter>
#include <QWidget>

namespace korvane {
namespace {

// The dot's colour for each TrayState: red stopped, yellow starting or syncing, green running and
// synced, blue stopping.
const std::array<QColor, 4> kStateColours { colours::kRed, QColor(255, 200, 0), colours::kGreen, QColor(40, 120, 255) };

// The program's icon with a dot of `colour` in its lower right corner, at each size it is drawn in.
QIcon withStateDot(const QColor& colour)
{
    QIcon icon;
    for (const int size : { 16, 32, 48 }) {
        QPixmap picture = QPixmap(QStringLiteral(":/icons/%1x%1/ql-korvane.png").arg(size));
        QPainter painter(&picture);
        painter.setRenderHint(QPainter::Antialiasing);
        const qreal dot = size * 0.5;
        const qreal outline = qMax(1.0, size / 16.0);
        painter.setPen(QPen(Qt::black, outline));
        painter.setBrush(colour);
        painter.drawEllipse(
            QRectF(size - dot, size - dot, dot, dot).adjusted(outline / 2, outline / 2, -outline / 2, -outline / 2));
        painter.end();
        icon.addPixmap(picture);
    }
    return icon;
}

} // namespace

TrayIcon::TrayIcon(QWidget& window)
    : QSystemTrayIcon(&window)
    , m_window(window)
{
    setObjectName(QStringLiteral("KORVANE_TRAY_ICON"));
    for (std::size_t state = 0; state < m_icons.size(); ++state)
        m_icons[state] = withStateDot(kStateColours[state]);
    buildMenu();
    connect(this, &QSystemTrayIcon::activated, this, [this](ActivationReason reason) {
        if (reason == Trigger)
            toggleWindow();
    });
}

TrayIcon::~TrayIcon() = default;

void TrayIcon::buildMenu()
{
    m_menu = std::make_unique<QMenu>();
    m_menu->setObjectName(QStringLiteral("KORVANE_TRAY_MENU"));
    m_showHide = controls::named(m_menu->addAction(QString()), "TRAY_SHOW_HIDE_ACTION");
    m_menu->addSeparator();
    m_startDaemon = controls::named(m_menu->addAction(QStringLiteral("START DAEMON")), "TRAY_DAEMON_START_ACTION");
    m_cliStop = controls::named(m_menu->addAction(QStringLiteral("CLI \"STOP\"")), "TRAY_CLI_STOP_ACTION");
    auto* details = controls::named(m_menu->addAction(QStringLiteral("Node details")), "TRAY_NODE_DETAILS_ACTION");
    m_menu->addSeparator();
    auto* exit = controls::named(m_menu->addAction(QStringLiteral("Exit")), "TRAY_EXIT_ACTION");
    connect(m_showHide, &QAction::triggered, this, &TrayIcon::toggleWindow);
    connect(m_startDaemon, &QAction::triggered, this, &TrayIcon::startDaemonChosen);
    connect(m_cliStop, &QAction::triggered, this, &TrayIcon::cliStopChosen);
    connect(details, &QAction::triggered, this, &TrayIcon::detailsChosen);
    connect(exit, &QAction::triggered, this, &TrayIcon::exitChosen);
    // The first entry says what it will do at the moment the menu opens.
    connect(m_menu.get(), &QMenu::aboutToShow, this, [this] {
        m_showHide->setText(m_window.isVisible() ? QStringLiteral("Hide window") : QStringLiteral("Show window"));
    });
    m_showHide->setText(QStringLiteral("Hide window"));
    setContextMenu(m_menu.get());
}

void TrayIcon::showNode(const NodeSnapshot& snapshot)
{
    m_state = snapshot.state;
    m_sync = snapshot.sync;
    refresh();
}

void TrayIcon::setCoin(const QString& coin)
{
    m_coin = coin;
    refresh();
}

void TrayIcon::refresh()
{
    const TrayState state = trayState(m_state);
    if (state != m_shownState) {
        setIcon(m_icons.at(static_cast<std::size_t>(state)));
        m_shownState = state;
    }
    const QString tip = controls::fromStd(trayToolTip(m_coin.toStdString(), m_state, m_sync));
    if (tip != toolTip())
        setToolTip(tip);
}

void TrayIcon::allowLaunch(std::optional<bool> startButtons, std::optional<bool> cliStop)
{
    if (startButtons)
        m_startDaemon->setEnabled(*startButtons);
    if (cliStop)
        m_cliStop->setEnabled(*cliStop);
}

void TrayIcon::toggleWindow()
{
    if (m_window.isVisible()) {
        m_window.hide();
        return;
    }
    m_window.showNormal();
    m_window.raise();
    m_window.activateWindow();
}

} // namespace korvane
