#include "app/main_window.h"

#include "app/main_settings_window.h"
#include "app/tray_icon.h"
#include "conf/start_check.h"
#include "details/node_details_window.h"
#include "gui/controls.h"
#include "gui/korvane_dialog.h"
#include "gui/status_line.h"
#include "gui/window_geometry.h"
#include "info/about_window.h"
#include "monitor/folder_size_panel.h"
#include "monitor/heartbeat_panel.h"
#include "monitor/lock_lights.h"
#include "monitor/node_status_panel.h"
#include "node/daemon_companion.h"
#include "node/node_model.h"
#include "processes/process_watcher.h"
#include "processes/terminator_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace korvane {
namespace {

using controls::button;
using controls::fromStd;
using controls::label;
using controls::named;
using controls::tickBox;

struct FieldDesign
{
    Key key;
    const char* designText;
};

// The profile text boxes, in the order they are filled when the window loads.
constexpr FieldDesign kProfileFields[] = {
    { Key::CryptoName, "CRYPTO-NAME" }, { Key::BlockchainHome, "CRYPTO BLOCKCHAIN - HOME FOLDER" },
    { Key::QtName, "QT-NAME" },         { Key::CliName, "CLI-NAME" },
    { Key::DaemonName, "DAEMON-NAME" },
};

void setRunning(QTimer* timer, bool running)
{
    if (running)
        timer->start();
    else
        timer->stop();
}

constexpr int kKeepOnTopIntervalMs = 1000;

} // namespace

MainWindow::MainWindow(Services& services, QWidget* parent)
    : QWidget(parent)
    , m_services(services)
    , m_profile(services.settings, services.ownExecutable)
{
    setObjectName(QStringLiteral("KORVANE_MAIN"));
    setWindowTitle(QStringLiteral("KORVANE - MAIN"));
    buildControls();
    load();
    connect(&m_profile, &LiveProfile::changed, this, &MainWindow::follow);
    followNode();
    if (m_services.tray.available())
        buildTray();
}

MainWindow::~MainWindow() = default;

QSystemTrayIcon* MainWindow::trayIcon() const
{
    return m_tray;
}

void MainWindow::showStatus(const QString& message)
{
    m_status->showMessage(message);
}

void MainWindow::openSettings()
{
    MainSettingsWindow settings(m_services, m_profile, this);
    settings.exec();
}

void MainWindow::openTerminator()
{
    TerminatorWindow terminator(m_profile, m_services.processes, *m_watcher, this);
    connect(&terminator, &TerminatorWindow::terminating, this, [this](WatchedProgram program) {
        if (program == WatchedProgram::Daemon)
            m_node->killAsked();
    });
    terminator.exec();
}

void MainWindow::openAbout()
{
    AboutWindow about(m_profile, this);
    about.exec();
}

void MainWindow::openNodeDetails()
{
    if (!m_details) {
        m_details = new NodeDetailsWindow(*m_node, m_profile, this);
        m_details->setAttribute(Qt::WA_DeleteOnClose);
    }
    m_details->show();
    m_details->raise();
    m_details->activateWindow();
}

// The close box (a close from the desktop) hides the window to the tray when so chosen; Exit, and
// a close from the program or the system, end the program.
void MainWindow::closeEvent(QCloseEvent* event)
{
    if (event->spontaneous() && m_tray && m_profile.ticked(Key::CloseToTray)) {
        event->ignore();
        hide();
        return;
    }
    if (m_details)
        m_details->close(); // it stores its position too
    saveOnUnload();
    event->accept();
    // The program ends with its main window: waiting in the tray it is no last window to close,
    // and no other window of the program keeps it on.
    QCoreApplication::quit();
}

void MainWindow::buildControls()
{
    auto* columns = new QHBoxLayout;
    columns->addLayout(buildProfileBox(), 3);
    columns->addLayout(buildLaunchBox(), 2);
    auto* folderSize = new FolderSizePanel(m_profile, m_services.folderSize, this);
    connect(folderSize, &FolderSizePanel::lowSpace, this, [this](const QString& warning) {
        showStatus(warning);
        m_services.notices.notify(windowTitle().toStdString() + ": low disk space", warning.toStdString());
    });
    connect(folderSize, &FolderSizePanel::statusMessage, this, &MainWindow::showStatus);
    columns->addWidget(folderSize, 2);

    m_status = new StatusLine({ .wraps = false, .hiddenWhileEmpty = false }, this);

    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(6, 4, 6, 4);
    page->setSpacing(4);
    page->addLayout(buildHeader());
    page->addLayout(columns);
    m_nodeStatus = new NodeStatusPanel(this);
    page->addWidget(m_nodeStatus);
    page->addLayout(buildHeartbeatRow());
    page->addLayout(buildFooter());
    page->addWidget(m_status);

    m_alwaysOnTopTimer = named(new QTimer(this), "AlwaysOnTopTimer");
    m_alwaysOnTopTimer->setInterval(kKeepOnTopIntervalMs);
    connect(m_alwaysOnTopTimer, &QTimer::timeout, this, &MainWindow::keepOnTop);
}

QLayout* MainWindow::buildHeader()
{
    auto* title1 = label("QL_TITLE_1", QStringLiteral("QUILLON"), this);
    auto* title2 = label("QL_TITLE_2", QStringLiteral("KORVANE"), this);
    QFont titleFont = title2->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.3);
    title1->setFont(titleFont);
    title2->setFont(titleFont);

    m_exeName = named(new QLineEdit(QStringLiteral("App.EXEName"), this), "APP_EXE_NAME_TEXTBOX");
    m_exeName->setReadOnly(true);
    m_exeName->setAccessibleName(QStringLiteral("Executable name"));
    m_exeName->setToolTip(QStringLiteral("This copy's name: its profile is stored under it"));

    m_alwaysOnTop = tickBox(Key::AlwaysOnTop, QStringLiteral("Always On Top"), this);

    auto* row = new QHBoxLayout;
    row->addWidget(title1);
    row->addWidget(title2);
    row->addSpacing(8);
    row->addWidget(m_exeName, 1);
    row->addWidget(m_alwaysOnTop);
    return row;
}

QLayout* MainWindow::buildProfileBox()
{
    auto* box = new QVBoxLayout;
    box->setSpacing(2);
    box->addWidget(label("CRYPTO_NAME_LABEL", QStringLiteral("CRYPTO NAME:"), this));
    for (const auto& design : kProfileFields) {
        auto* field = controls::keyLineEdit(design.key, this);
        field->setPlaceholderText(QString::fromLatin1(design.designText));
        field->setAccessibleName(QString::fromLatin1(design.designText));
        field->setToolTip(QString::fromLatin1(design.designText));
        field->setReadOnly(true);
        field->setMinimumWidth(field->fontMetrics().horizontalAdvance(QStringLiteral("CRYPTO BLOCKCHAIN - HOME")));
        m_profileFields.add(design.key, field);
        box->addWidget(field);
    }
    box->addStretch(1);
    return box;
}

QLayout* MainWindow::buildLaunchBox()
{
    m_watcher = new ProcessWatcher(m_profile, m_services.processes, this);
    m_node = new NodeModel(m_profile, m_services.ownExecutable.name(),
                           { m_services.launcher, m_services.programs, m_services.processes, m_services.ports }, this);
    m_qtStart = button("QT_START_BUTTON", QStringLiteral("START QT"), this);
    m_daemonStart = button("DAEMON_START_BUTTON", QStringLiteral("START DAEMON"), this);
    m_cliStop = button("CLI_STOP_BUTTON", QStringLiteral("CLI \"STOP\""), this);
    auto* terminator = button("TERMINATOR_BUTTON", QStringLiteral("!!! PROCESS TERMINATOR !!!"), this);
    connect(m_qtStart, &QPushButton::clicked, this, [this] { launch(Key::QtCommand, WindowStyle::NormalFocused); });
    connect(m_daemonStart, &QPushButton::clicked, this, &MainWindow::startDaemonAfterCheck);
    connect(m_cliStop, &QPushButton::clicked, m_node, &NodeModel::stopThroughCli);
    connect(terminator, &QPushButton::clicked, this, &MainWindow::openTerminator);
    connect(m_watcher, &ProcessWatcher::launchAccess, this, &MainWindow::allowLaunch);

    auto* box = new QVBoxLayout;
    box->setSpacing(2);
    box->addWidget(m_watcher);
    box->addWidget(m_qtStart);
    box->addWidget(m_daemonStart);
    box->addWidget(m_cliStop);
    box->addWidget(terminator);
    box->addStretch(1);
    return box;
}

QLayout* MainWindow::buildHeartbeatRow()
{
    auto* heartbeat = new HeartbeatPanel(m_profile, m_services.keyboard, this);
    connect(heartbeat, &HeartbeatPanel::statusMessage, this, &MainWindow::showStatus);

    auto* row = new QHBoxLayout;
    row->setSpacing(4);
    row->addWidget(heartbeat, 1);
    row->addWidget(new LockLights(m_services.keyboard, this));
    return row;
}

QLayout* MainWindow::buildFooter()
{
    auto* settings = button("SETTINGS_BUTTON", QStringLiteral("Settings"), this);
    auto* about = button("ABOUT_BUTTON", QStringLiteral("About"), this);
    auto* exit = button("EXIT_BUTTON", QStringLiteral("Exit"), this);
    connect(settings, &QPushButton::clicked, this, &MainWindow::openSettings);
    connect(about, &QPushButton::clicked, this, &MainWindow::openAbout);
    connect(exit, &QPushButton::clicked, this, &QWidget::close);

    auto* row = new QHBoxLayout;
    row->addWidget(settings);
    row->addWidget(about);
    row->addStretch(1);
    row->addWidget(autoUpdateFolderSizeBox(m_profile, this));
    row->addStretch(1);
    row->addWidget(exit);
    return row;
}

void MainWindow::load()
{
    restoreWindowGeometry(*this, m_profile.profile(), WindowId::Main);
    m_profileFields.load(m_profile);
    m_alwaysOnTop->setChecked(m_profile.ticked(Key::AlwaysOnTop));
    m_exeName->setText(fromStd(m_services.ownExecutable.name()));
    setWindowTitle(QStringLiteral("KORVANE - ") + m_exeName->text());

    // Keeping on top follows the stored option from the start; the tick box only changes what is
    // stored when the window closes.
    const bool onTop = m_alwaysOnTop->isChecked();
    setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
    setRunning(m_alwaysOnTopTimer, onTop);
    m_status->setStandingProblem(fromStd(m_profile.profile().usable().error()));
}

// Shows what another window changed in the profile.
void MainWindow::follow(Key key)
{
    m_profileFields.reload(m_profile, key);
    if (key == Key::CryptoName && m_tray)
        showTrayCoin();
}

// Stores the position and the always-on-top option; a failure is shown before the program ends.
bool MainWindow::saveOnUnload()
{
    Result<> stored = saveWindowPosition(*this, m_profile.profile(), WindowId::Main);
    if (stored)
        stored = m_profile.setTicked(Key::AlwaysOnTop, m_alwaysOnTop->isChecked());
    if (!stored)
        warnNotStored(*this, stored.error());
    return stored.ok();
}

void MainWindow::keepOnTop()
{
    if (isHidden())
        return; // waiting in the tray
    std::vector<NativeWindow> openedWindows;
    for (const QWidget* window : QApplication::topLevelWidgets()) {
        if (window != this && window->isVisible())
            openedWindows.push_back(static_cast<NativeWindow>(window->winId()));
    }
    korvane::keepOnTop(m_services.stacking, static_cast<NativeWindow>(winId()), openedWindows);
}

bool MainWindow::launch(Key commandKey, WindowStyle style)
{
    const LaunchResult result = m_services.launcher.start(m_profile.text(commandKey), style);
    showStatus(fromStd(result.error()));
    return result.ok();
}

// START DAEMON, from the button or the tray: first a look at the other copies' nodes.
void MainWindow::startDaemonAfterCheck()
{
    checkBeforeStart(*this, m_profile, m_services.settings, [this] { m_node->start(); });
}

// The node's model hears the watcher and the profile; the panel, the companion and the tray show
// what it knows, and every request goes to it.
void MainWindow::followNode()
{
    m_companion
        = new DaemonCompanion(m_profile, m_services.keepAwake, m_services.notices, m_services.shutdownGuard, this);
    connect(m_watcher, &ProcessWatcher::daemonProcesses, m_node, &NodeModel::setDaemonProcesses);
    connect(&m_profile, &LiveProfile::changed, m_node, &NodeModel::profileChanged);
    connect(&m_profile, &LiveProfile::changed, m_companion, &DaemonCompanion::profileChanged);
    connect(m_node, &NodeModel::changed, m_nodeStatus, &NodeStatusPanel::render);
    connect(m_node, &NodeModel::changed, m_companion, &DaemonCompanion::show);
    connect(m_node, &NodeModel::statusMessage, this, &MainWindow::showStatus);
    connect(m_node, &NodeModel::notice, m_companion, &DaemonCompanion::notify);
    connect(m_nodeStatus, &NodeStatusPanel::rpcStopChosen, m_node, &NodeModel::stopThroughRpc);
    connect(m_nodeStatus, &NodeStatusPanel::askAgainChosen, m_node, &NodeModel::askAgain);
    connect(m_nodeStatus, &NodeStatusPanel::detailsChosen, this, &MainWindow::openNodeDetails);
    connect(m_nodeStatus, &NodeStatusPanel::reindexChosen, m_node, &NodeModel::startReindexing);
    connect(m_companion, &DaemonCompanion::statusMessage, this, &MainWindow::showStatus);
    connect(m_companion, &DaemonCompanion::shutdownStopDue, m_node, &NodeModel::stop);
    m_nodeStatus->render(m_node->snapshot());
}

void MainWindow::allowLaunch(std::optional<bool> startButtons, std::optional<bool> cliStop)
{
    if (cliStop)
        m_cliStop->setEnabled(*cliStop);
    if (startButtons) {
        m_qtStart->setEnabled(*startButtons);
        m_daemonStart->setEnabled(*startButtons);
    }
}

void MainWindow::buildTray()
{
    m_tray = new TrayIcon(*this);
    connect(m_tray, &TrayIcon::startDaemonChosen, this, &MainWindow::startDaemonAfterCheck);
    connect(m_tray, &TrayIcon::cliStopChosen, m_node, &NodeModel::stopThroughCli);
    connect(m_tray, &TrayIcon::detailsChosen, this, &MainWindow::openNodeDetails);
    connect(m_tray, &TrayIcon::exitChosen, this, &QWidget::close);
    connect(m_watcher, &ProcessWatcher::launchAccess, m_tray, &TrayIcon::allowLaunch);
    connect(m_node, &NodeModel::changed, m_tray, &TrayIcon::showNode);
    showTrayCoin();
    m_tray->showNode(m_node->snapshot());
    m_tray->show();
}

// Read when it changes, not with each of the watcher's ticks that show the tray.
void MainWindow::showTrayCoin()
{
    const std::string coin = m_profile.text(Key::CryptoName);
    m_tray->setCoin(coin.empty() ? windowTitle() : fromStd(coin));
}

} // namespace korvane
