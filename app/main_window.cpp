#include "app/main_window.h"

#include "gui/colours.h"
#include "gui/controls.h"
#include "gui/korvane_dialog.h"
#include "gui/light.h"
#include "gui/window_geometry.h"
#include "info/about_window.h"
#include "launch/main_settings_window.h"
#include "monitor/folder_size_panel.h"
#include "monitor/lock_lights.h"
#include "node/node_status_panel.h"
#include "processes/process_watcher.h"
#include "processes/terminator_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextDocument>
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
    bool shown;
};

// The profile text boxes, in the order they are filled when the window loads.
constexpr FieldDesign kProfileFields[] = {
    { Key::CryptoName, "CRYPTO-NAME", true },
    { Key::BlockchainHome, "CRYPTO BLOCKCHAIN - HOME FOLDER", true },
    { Key::QtName, "QT-NAME", true },
    { Key::CliName, "CLI-NAME", true },
    { Key::DaemonName, "DAEMON-NAME", true },
    { Key::QtCommand, "QL_QT_COMMAND_TEXTBOX", false },
    { Key::DaemonCommand, "QL_D_COMMAND_TEXTBOX", false },
    { Key::CliStopCommand, "QLCLI_STOP_COMMAND_TEXTBOX", false },
};

struct LightDesign
{
    const char* name;
    const char* text;
    const char* toolTip;
};

constexpr LightDesign kProcessLights[] = {
    { "PROCESS_TEXTBOX_1", "QT", "QT PROCESS - GREEN=RUNNING, RED=STOPPED" },
    { "PROCESS_TEXTBOX_2", "DAEMON", "DAEMON  PROCESS - GREEN=RUNNING, RED=STOPPED" },
    { "PROCESS_TEXTBOX_3", "CLI", "CLI  PROCESS - GREEN=RUNNING, RED=STOPPED" },
    { "PROCESS_TEXTBOX_4", "SE",
      "\"%1\" PROCESS - EMAIL SENDING UTILITY -  GREEN=RUNNING, RED=STOPPED" }, // %1: the utility's name
};

constexpr LightDesign kLockLights[] = {
    { "VERT_NUM_LIGHT_LABEL", "N", "NUM LOCK STATUS - DOUBLE-CLICK TO TURN ON / OFF" },
    { "VERT_CAPS_LIGHT_LABEL", "C", "CAPS LOCK STATUS - DOUBLE-CLICK TO TURN ON / OFF" },
    { "VERT_SCROLL_LIGHT_LABEL", "S", "SCROLL LOCK STATUS - DOUBLE-CLICK TO TURN ON / OFF" },
};

constexpr const char* kFileSizeBoxes[] = {
    "FILE_SIZE_BYTES_TEXTBOX",     "FILE_SIZE_KILOBYTES_TEXTBOX", "FILE_SIZE_MEGABYTES_TEXTBOX",
    "FILE_SIZE_GIGABYTES_TEXTBOX", "FILE_SIZE_TERABYTES_TEXTBOX", "FILE_SIZE_PETABYTES_TEXTBOX",
};

void setRunning(QTimer* timer, bool running)
{
    if (running)
        timer->start();
    else
        timer->stop();
}

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
    startWatcher();
    new FolderSizePanel({ m_folderSizeSummary, m_measureFolderSize, m_fileSizeBoxes, m_folderSizeTimer }, m_profile,
                        m_services.folderSize, this);
    connect(&m_profile, &LiveProfile::changed, this, &MainWindow::follow);
    connect(m_watcher, &ProcessWatcher::shown, m_nodeStatus, [this](const RunningStates& states) {
        m_nodeStatus->setDaemonRunning(states[index(WatchedProgram::Daemon)].value_or(false));
    });
}

MainWindow::~MainWindow() = default;

void MainWindow::showStatus(const QString& message)
{
    QStringList shown;
    for (const QString& part : { m_profileProblem, message }) {
        if (!part.isEmpty())
            shown << part;
    }
    m_status->setText(shown.join(QStringLiteral(" | ")));
    m_status->setToolTip(m_status->text());
}

void MainWindow::openSettings()
{
    MainSettingsWindow settings(m_services, m_profile, this);
    settings.exec();
}

void MainWindow::openTerminator()
{
    TerminatorWindow terminator(m_profile, m_services.processes, *m_watcher, this);
    terminator.exec();
}

void MainWindow::openAbout()
{
    AboutWindow about(m_profile, this);
    about.exec();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    saveOnUnload();
    event->accept();
}

void MainWindow::startWatcher()
{
    const auto nameBox = [this](Key key) { return qobject_cast<QLineEdit*>(m_profileFields.widget(key)); };
    const WatcherControls controls {
        { nameBox(Key::QtName), nameBox(Key::DaemonName), nameBox(Key::CliName) },
        { m_processLights.at(0), m_processLights.at(1), m_processLights.at(2), m_processLights.at(3) },
        m_cliStop,
        { m_qtStart, m_daemonStart },
        m_watcherTimer,
    };
    m_watcher = new ProcessWatcher(controls, m_services.processes, this);
}

void MainWindow::buildControls()
{
    auto* columns = new QHBoxLayout;
    columns->addLayout(buildProfileBox(), 3);
    columns->addLayout(buildLaunchBox(), 2);
    columns->addLayout(buildFolderSizeBox(), 2);

    m_status = controls::statusLine(this);
    m_status->setWordWrap(false);
    m_status->setVisible(true);

    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(6, 4, 6, 4);
    page->setSpacing(4);
    page->addLayout(buildHeader());
    page->addLayout(columns);
    m_nodeStatus = new NodeStatusPanel(m_profile, this);
    page->addWidget(m_nodeStatus);
    page->addLayout(buildHeartbeatRow());
    page->addLayout(buildFooter());
    page->addWidget(m_status);

    m_watcherTimer = addTimer("MULTI_PROCESS_WATCHER_TIMER", 250);
    m_watcherTimer->start();
    auto* lockLightsTimer = addTimer("NCS_TIMER", 1000);
    lockLightsTimer->start();
    new LockLights(m_lockLights, lockLightsTimer, m_services.keyboard, this);
    m_alwaysOnTopTimer = addTimer("AlwaysOnTopTimer", 1000);
    connect(m_alwaysOnTopTimer, &QTimer::timeout, this, &MainWindow::keepOnTop);
    m_folderSizeTimer = addTimer("BC_FOLDERSIZE_TIMER", 60000);
    m_heartbeat.countdownTimer = addTimer("HEARTBEAT_TIMER", 1000);
    // A coarse timer may fire up to 5% early, which a countdown would add up tick after tick.
    m_heartbeat.countdownTimer->setTimerType(Qt::PreciseTimer);
    m_heartbeat.firstPressTimer = addTimer("NUMLOCK_TIMER_1", 750);
    m_heartbeat.secondPressTimer = addTimer("NUMLOCK_TIMER_2", 750);
    m_heartbeat.scannerTimer = addTimer("KITT_RED_TIMER", 100);
    auto* heartbeat = new HeartbeatPanel(m_heartbeat, m_services.keyboard, this);
    connect(heartbeat, &HeartbeatPanel::statusMessage, this, &MainWindow::showStatus);
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
        field->setVisible(design.shown);
        m_profileFields.add(design.key, field);
        if (design.shown)
            box->addWidget(field);
    }
    box->addStretch(1);
    return box;
}

QLayout* MainWindow::buildLaunchBox()
{
    auto* lights = new QHBoxLayout;
    lights->setSpacing(2);
    for (const auto& design : kProcessLights) {
        auto* light = named(new Light(QString::fromLatin1(design.text), this), design.name);
        QString toolTip = QString::fromLatin1(design.toolTip);
        if (toolTip.contains(QLatin1String("%1")))
            toolTip = toolTip.arg(controls::fromStd(emailUtilityName()));
        light->setToolTip(toolTip);
        lights->addWidget(light);
        m_processLights.push_back(light);
    }

    m_qtStart = button("QT_START_BUTTON", QStringLiteral("START QT"), this);
    m_daemonStart = button("DAEMON_START_BUTTON", QStringLiteral("START DAEMON"), this);
    m_cliStop = button("CLI_STOP_BUTTON", QStringLiteral("CLI \"STOP\""), this);
    auto* terminator = button("TERMINATOR_BUTTON", QStringLiteral("!!! PROCESS TERMINATOR !!!"), this);
    connect(m_qtStart, &QPushButton::clicked, this, [this] { launch(Key::QtCommand, WindowStyle::NormalFocused); });
    connect(m_daemonStart, &QPushButton::clicked, this, [this] { launch(Key::DaemonCommand, WindowStyle::Hidden); });
    connect(m_cliStop, &QPushButton::clicked, this, [this] {
        if (launch(Key::CliStopCommand, WindowStyle::Hidden))
            m_nodeStatus->stopAsked();
    });
    connect(terminator, &QPushButton::clicked, this, &MainWindow::openTerminator);

    auto* box = new QVBoxLayout;
    box->setSpacing(2);
    box->addWidget(label("Label1", QStringLiteral("Process Watcher"), this));
    box->addLayout(lights);
    box->addWidget(m_qtStart);
    box->addWidget(m_daemonStart);
    box->addWidget(m_cliStop);
    box->addWidget(terminator);
    box->addStretch(1);
    return box;
}

QLayout* MainWindow::buildFolderSizeBox()
{
    m_folderSizeSummary = named(new QPlainTextEdit(QStringLiteral("1\n2\n3\n4\n5\n6"), this), "BC_FOLDER_SIZE_BEFORE");
    m_folderSizeSummary->setReadOnly(true);
    m_folderSizeSummary->setToolTip(QStringLiteral("Blockchain Folder Size"));
    m_folderSizeSummary->setAccessibleName(QStringLiteral("Blockchain Folder Size"));
    // Six sizes, then room for a note on subfolders that could not be read; a long path wraps.
    const int margins = 2
        * (m_folderSizeSummary->frameWidth() + static_cast<int>(m_folderSizeSummary->document()->documentMargin()) + 1);
    m_folderSizeSummary->setFixedHeight(m_folderSizeSummary->fontMetrics().lineSpacing() * 8 + margins);

    m_autoUpdateFolderSize
        = tickBox(Key::AutoUpdateFolderSize, QStringLiteral("Auto Update Blockchain Folder Size"), this);
    // The option is switched in the settings window; this box only shows it.
    m_autoUpdateFolderSize->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_autoUpdateFolderSize->setFocusPolicy(Qt::NoFocus);

    auto* box = new QVBoxLayout;
    box->setSpacing(2);
    box->addWidget(label("BC_FOLDER_LABEL", QStringLiteral("Blockchain Folder Size:"), this));
    box->addWidget(m_folderSizeSummary);
    m_measureFolderSize = button("FFS_RUN_1_BUTTON", QStringLiteral("Get Folder Size Now"), this);
    box->addWidget(m_measureFolderSize);
    for (std::size_t unit = 0; unit < m_fileSizeBoxes.size(); ++unit) {
        const char* name = kFileSizeBoxes[unit];
        m_fileSizeBoxes[unit] = named(new QLineEdit(QString::fromLatin1(name), this), name);
        m_fileSizeBoxes[unit]->setVisible(false);
    }
    box->addStretch(1);
    return box;
}

QLayout* MainWindow::buildHeartbeatRow()
{
    auto* kittStart = button("KITT_START_BUTTON", QStringLiteral("START KITT"), this);
    m_heartbeat.startStop = kittStart;
    kittStart->setToolTip(QStringLiteral("START / STOP KITT \"Num-Lock\" HEARTBEAT"));

    auto* countdown = new QLineEdit(QStringLiteral("--:--:--"), this);
    m_heartbeat.countdown = countdown;
    countdown->setObjectName(controls::objectNameOf(Key::HeartbeatCountdown));
    countdown->setAccessibleName(QStringLiteral("Heartbeat countdown"));
    countdown->setAlignment(Qt::AlignCenter);
    countdown->setMaximumWidth(countdown->fontMetrics().horizontalAdvance(QStringLiteral("00:00:00")) + 16);

    auto* scanner = label("KITT_BACKGROUND_LABEL", QString(), this);
    m_heartbeat.indicator = scanner;
    auto* scannerRow = new QHBoxLayout(scanner);
    scannerRow->setContentsMargins(4, 4, 4, 4);
    scannerRow->setSpacing(3);
    for (std::size_t i = 0; i < m_heartbeat.scannerLights.size(); ++i) {
        auto* light = label(QStringLiteral("KITT_LABEL_%1").arg(i + 1).toLatin1().constData(), QString(), scanner);
        light->setMinimumSize(10, 8);
        scannerRow->addWidget(light);
        m_heartbeat.scannerLights[i] = light;
    }

    auto* row = new QHBoxLayout;
    row->setSpacing(4);
    row->addWidget(kittStart);
    row->addWidget(countdown);
    row->addWidget(scanner, 1);
    for (std::size_t i = 0; i < m_lockLights.size(); ++i) {
        const LightDesign& design = kLockLights[i];
        auto* light = named(new Light(QString::fromLatin1(design.text), this), design.name);
        light->setToolTip(QString::fromLatin1(design.toolTip));
        light->setFixedWidth(light->fontMetrics().horizontalAdvance(QLatin1Char('W')) + 10);
        row->addWidget(light);
        m_lockLights[i] = light;
    }
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
    row->addWidget(m_autoUpdateFolderSize);
    row->addStretch(1);
    row->addWidget(exit);
    return row;
}

QTimer* MainWindow::addTimer(const char* name, int intervalMs)
{
    auto* timer = named(new QTimer(this), name);
    timer->setInterval(intervalMs);
    return timer;
}

void MainWindow::load()
{
    restoreWindowGeometry(*this, m_profile.profile(), WindowId::Main);
    m_profileFields.load(m_profile);
    m_alwaysOnTop->setChecked(m_profile.ticked(Key::AlwaysOnTop));
    m_heartbeat.countdown->setText(m_profile.text(Key::HeartbeatCountdown));
    m_autoUpdateFolderSize->setChecked(m_profile.ticked(Key::AutoUpdateFolderSize));
    m_folderSizeSummary->setPlainText(QString());
    m_exeName->setText(fromStd(m_services.ownExecutable.name()));
    setWindowTitle(QStringLiteral("KORVANE - ") + m_exeName->text());

    // Keeping on top follows the stored option from the start; the tick box only changes what is
    // stored when the window closes.
    const bool onTop = m_alwaysOnTop->isChecked();
    setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
    setRunning(m_alwaysOnTopTimer, onTop);
    setRunning(m_folderSizeTimer, m_autoUpdateFolderSize->isChecked());
    m_profileProblem = fromStd(m_profile.profile().problem());
    showStatus(QString());
}

// Shows what another window changed in the profile.
void MainWindow::follow(Key key)
{
    m_profileFields.reload(m_profile, key);
    if (key == Key::AutoUpdateFolderSize) {
        m_autoUpdateFolderSize->setChecked(m_profile.ticked(key));
        setRunning(m_folderSizeTimer, m_autoUpdateFolderSize->isChecked());
    }
}

// Stores the position and the always-on-top option; a failure is shown before the program ends.
bool MainWindow::saveOnUnload()
{
    const bool positionStored = saveWindowPosition(*this, m_profile.profile(), WindowId::Main);
    const bool optionStored = positionStored && m_profile.setTicked(Key::AlwaysOnTop, m_alwaysOnTop->isChecked());
    if (!optionStored)
        warnNotStored(*this, m_profile);
    return optionStored;
}

void MainWindow::keepOnTop()
{
    std::vector<NativeWindow> openedWindows;
    for (const QWidget* window : QApplication::topLevelWidgets()) {
        if (window != this && window->isVisible())
            openedWindows.push_back(static_cast<NativeWindow>(window->winId()));
    }
    korvane::keepOnTop(m_services.stacking, static_cast<NativeWindow>(winId()), openedWindows);
}

bool MainWindow::launch(Key commandKey, WindowStyle style)
{
    const LaunchResult result = m_services.launcher.start(m_profileFields.value(commandKey), style);
    if (result.started) {
        showStatus(QString());
        return true;
    }
    const QString program = result.program.empty() ? QString() : QStringLiteral(" \"%1\"").arg(fromStd(result.program));
    showStatus(QStringLiteral("Could not start%1: %2").arg(program, fromStd(result.error)));
    return false;
}

} // namespace korvane
