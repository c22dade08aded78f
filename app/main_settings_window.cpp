#include "app/main_settings_window.h"

#include "conf/conf_check_panel.h"
#include "conf/conf_generator_window.h"
#include "gui/colours.h"
#include "gui/controls.h"
#include "gui/live_profile.h"
#include "launch/crypto_settings_window.h"
#include "launch/output_commands_window.h"
#include "platform/services.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>

namespace korvane {
namespace {

constexpr const char* kConfFilter = "CONF Files (*.conf)|*.conf|All files (*.*)|*.*";
constexpr const char* kConfExtension = "conf";

} // namespace

MainSettingsWindow::MainSettingsWindow(Services& services,
                                       LiveProfile& profile,
                                       QWidget* owner,
                                       const NodeConventions& conventions)
    : KorvaneDialog(WindowId::MainSettings, profile, owner)
    , m_services(services)
    , m_conventions(conventions)
    , m_generatedConf(defaultConfLocation(conventions, services.ownExecutable.folder(), services.ownExecutable.name()))
{
    setObjectName(QStringLiteral("KORVANE_MAIN_SETTINGS"));
    setWindowTitle(QStringLiteral("KORVANE - MAIN SETTINGS"));
    buildControls();
    load();
}

Result<> MainSettingsWindow::unload()
{
    return m_values.store(profile());
}

void MainSettingsWindow::buildControls()
{
    m_autoUpdateFolderSize
        = controls::tickBox(Key::AutoUpdateFolderSize, QStringLiteral("Auto Update Blockchain Folder Size"), this);
    m_autoUpdateFolderSize->setToolTip(QStringLiteral("Updates Every 60 Secs"));
    connect(m_autoUpdateFolderSize, &QCheckBox::toggled, this, &MainSettingsWindow::publishAutoUpdate);

    auto* hint = new QLabel(controls::fromStd(m_conventions.multipleConfigurationsHint), this);
    hint->setObjectName(QStringLiteral("MULTIPLE_CONFIGURATIONS_LABEL"));
    hint->setWordWrap(true);

    auto* page = new QVBoxLayout(this);
    page->addWidget(controls::heading(QStringLiteral("MAIN SETTINGS"), this));
    page->addLayout(buildConfRows());
    m_confCheck = new ConfCheckLine(profile(), m_services.settings, this);
    connect(m_confLocation, &QLineEdit::textChanged, m_confCheck, &ConfCheckLine::check);
    page->addWidget(m_confCheck);
    page->addLayout(buildWindowButtons());
    page->addLayout(buildFolderSizeAndTrayRow());
    page->addLayout(buildDesktopRow());
    page->addWidget(hint);
    page->addStretch(1);
    page->addLayout(buildClosingButtons());
    addStatusLine(page);

    m_values.add(Key::UseOwnConf, m_useOwnConf);
    m_values.add(Key::ConfFileLocation, m_confLocation);
    m_values.add(Key::AutoUpdateFolderSize, m_autoUpdateFolderSize);
    m_values.add(Key::KeepAwakeWhile, m_keepAwake);
    m_values.add(Key::RestartDaemonTick, m_restartDaemon);
    m_values.add(Key::CloseToTray, m_closeToTray);
}

QLayout* MainSettingsWindow::buildFolderSizeAndTrayRow()
{
    m_closeToTray = controls::tickBox(Key::CloseToTray, QStringLiteral("Close to the tray"), this);
    const bool trayAvailable = m_services.tray.available();
    m_closeToTray->setEnabled(trayAvailable);
    m_closeToTray->setToolTip(
        trayAvailable ? QStringLiteral("The main window's close box hides it to the tray; Exit ends the program")
                      : QStringLiteral("No system tray on this desktop (a GNOME session without a tray extension, "
                                       "for example)"));

    auto* row = new QHBoxLayout;
    row->addWidget(m_autoUpdateFolderSize);
    row->addWidget(m_closeToTray);
    row->addStretch(1);
    return row;
}

QLayout* MainSettingsWindow::buildDesktopRow()
{
    m_keepAwake = new QComboBox(this);
    m_keepAwake->setObjectName(controls::objectNameOf(Key::KeepAwakeWhile));
    m_keepAwake->addItem(QStringLiteral("Off"), QStringLiteral("off"));
    m_keepAwake->addItem(QStringLiteral("While the daemon runs"), QStringLiteral("daemon"));
    m_keepAwake->addItem(QStringLiteral("Only while the node is syncing"), QStringLiteral("syncing"));
    m_keepAwake->setToolTip(QStringLiteral("Asks the system not to sleep, as a video player does"));
    auto* keepAwakeLabel = new QLabel(QStringLiteral("Keep the computer awake:"), this);
    keepAwakeLabel->setObjectName(QStringLiteral("KEEP_AWAKE_LABEL"));
    keepAwakeLabel->setBuddy(m_keepAwake);
    // A screen reader reads the choice by its label (a relation on Linux, the name on Windows).
    m_keepAwake->setAccessibleName(keepAwakeLabel->text());

    m_restartDaemon
        = controls::tickBox(Key::RestartDaemonTick, QStringLiteral("Restart the daemon if it ends by itself"), this);
    m_restartDaemon->setToolTip(
        QStringLiteral("After 1, 2, 4, 8 and 16 minutes; no more after 5 restarts within an hour"));

    m_startAtLogin = controls::tickBox("START_AT_LOGIN_TICKBOX", QStringLiteral("Start at login"), this);
    m_startAtLogin->setToolTip(QStringLiteral("Starts this copy of the program when you log in"));
    m_startAtLogin->setChecked(m_services.autostart.enabled());
    connect(m_startAtLogin, &QCheckBox::toggled, this, &MainSettingsWindow::switchStartAtLogin);

    auto* row = new QHBoxLayout;
    row->addWidget(keepAwakeLabel);
    row->addWidget(m_keepAwake);
    row->addWidget(m_restartDaemon);
    row->addWidget(m_startAtLogin);
    row->addStretch(1);
    return row;
}

// The entry is this copy's own, outside the profile: it is added or removed at once.
void MainSettingsWindow::switchStartAtLogin(bool ticked)
{
    const Result<> changed = ticked ? m_services.autostart.enable() : m_services.autostart.disable();
    if (changed) {
        showStatus(QString());
        return;
    }
    const QSignalBlocker keepRule(m_startAtLogin);
    m_startAtLogin->setChecked(!ticked);
    showStatus(QStringLiteral("Start at login was not changed: %1").arg(controls::fromStd(changed.error())));
}

QLayout* MainSettingsWindow::buildConfRows()
{
    m_useOwnConf = controls::tickBox(Key::UseOwnConf, QStringLiteral("USE OWN \".CONF\" FILE"), this);
    connect(m_useOwnConf, &QCheckBox::toggled, this, &MainSettingsWindow::switchConfMode);

    const QString confCaption = QStringLiteral("SELECT \".CONF\" FILE:");
    m_confLabel = new QLabel(confCaption, this);
    m_confLabel->setObjectName(QStringLiteral("CONF_FILE_LOCATION_LABEL"));

    m_confLocation = controls::keyLineEdit(Key::ConfFileLocation, this);
    m_confLabel->setBuddy(m_confLocation);

    m_confBrowse = controls::button("CONF_BROWSE_BUTTON", QString(), this);
    m_confBrowse->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    m_confBrowse->setAccessibleName(confCaption);
    m_confBrowse->setToolTip(QStringLiteral("Choose the coin's own \".conf\" file"));
    connect(m_confBrowse, &QPushButton::clicked, this, &MainSettingsWindow::pickConfFile);

    auto* location = new QHBoxLayout;
    location->addWidget(m_confLabel);
    location->addWidget(m_confLocation, 1);
    location->addWidget(m_confBrowse);

    auto* rows = new QVBoxLayout;
    rows->addWidget(m_useOwnConf);
    rows->addLayout(location);
    return rows;
}

QLayout* MainSettingsWindow::buildWindowButtons()
{
    m_confManager = controls::button("CONF_MANAGER_BUTTON", QStringLiteral("CRYPTO \".CONF\" FILE MANAGER"), this);
    auto* cryptoSettings = controls::button("CRYPTO_SETTINGS_BUTTON", QStringLiteral("CRYPTO SETTINGS"), this);
    auto* outputCommands
        = controls::button("VIEW_OUTPUT_COMMANDS_BUTTON", QStringLiteral("VIEW OUTPUT COMMANDS"), this);
    connect(m_confManager, &QPushButton::clicked, this, &MainSettingsWindow::openConfGenerator);
    connect(cryptoSettings, &QPushButton::clicked, this, &MainSettingsWindow::openCryptoSettings);
    connect(outputCommands, &QPushButton::clicked, this, &MainSettingsWindow::openOutputCommands);

    auto* row = new QHBoxLayout;
    row->addWidget(m_confManager);
    row->addWidget(cryptoSettings);
    row->addWidget(outputCommands);
    return row;
}

QLayout* MainSettingsWindow::buildClosingButtons()
{
    auto* ok = controls::button("OK_BUTTON", QStringLiteral("OK"), this);
    auto* cancel = controls::button("CANCEL_BUTTON", QStringLiteral("Cancel"), this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(ok);
    row->addWidget(cancel);
    return row;
}

void MainSettingsWindow::load()
{
    // Setting a tick runs its rule as a click would: own mode reloads and stores the location.
    m_values.load(profile());

    const bool ownConf = m_useOwnConf->isChecked();
    showConfMode(ownConf);
    if (!ownConf)
        controls::paintBackground(*m_confLocation, QPalette::Base, colours::kGreen);
}

void MainSettingsWindow::switchConfMode(bool ownConf)
{
    m_confLabel->setEnabled(ownConf);
    showConfMode(ownConf);
    const KeyValue mode[] = { { Key::UseOwnConf, std::string(tickText(ownConf)) },
                              { Key::ConfFileLocation, m_confLocation->text().toStdString() } };
    stored(profile().setValues(mode));
}

// Own mode lets the user type or pick the stored location. Default mode shows the file that the
// conf generator writes beside the program, and only then can the generator be opened.
void MainSettingsWindow::showConfMode(bool ownConf)
{
    m_confLocation->setEnabled(ownConf);
    m_confLocation->setReadOnly(!ownConf);
    m_confBrowse->setEnabled(ownConf);
    m_confManager->setEnabled(!ownConf);
    m_confLocation->setText(ownConf ? controls::fromStd(profile().text(Key::ConfFileLocation))
                                    : controls::fromStd(m_generatedConf));
}

// The main window's refresh follows the tick at once, through the profile.
void MainSettingsWindow::publishAutoUpdate(bool ticked)
{
    if (profile().ticked(Key::AutoUpdateFolderSize) != ticked)
        stored(profile().setTicked(Key::AutoUpdateFolderSize, ticked));
}

void MainSettingsWindow::pickConfFile()
{
    const FileOpenRequest request { m_confLabel->text().toStdString(), kConfFilter, kConfExtension,
                                    m_services.ownExecutable.folder() };
    if (const auto chosen = m_services.fileDialogs.pickOpenFile(controls::nativeWindowOf(*this), request))
        m_confLocation->setText(controls::fromStd(*chosen));
}

void MainSettingsWindow::openConfGenerator()
{
    ConfGeneratorWindow window(m_services, profile(), m_generatedConf, this);
    window.exec();
    m_confCheck->check(m_confLocation->text());
}

void MainSettingsWindow::openCryptoSettings()
{
    CryptoSettingsWindow window(m_services, profile(), m_confLocation->text(), m_conventions, this);
    window.exec();
    m_confCheck->check(m_confLocation->text());
}

void MainSettingsWindow::openOutputCommands()
{
    OutputCommandsWindow window(profile(), this);
    window.exec();
}

} // namespace korvane
