#include "app/main_settings_window.h"
#include "app/main_window.h"
#include "platform/fake/fake_services.h"
#include "tests/gui/driver.h"
#include "tests/gui/expected.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QThreadPool>
#include <QTimer>
#include <gtest/gtest.h>

namespace korvane {
namespace {

using test::accessibleName;
using test::child;
using test::click;
using test::text;
using test::tick;
using test::ticked;
using test::type;
using test::whileModal;

class LaunchWindowsTest : public ::testing::Test
{
protected:
    LaunchWindowsTest()
    {
        m_fakes.ownExecutable.executableName = "BTC";
        m_fakes.ownExecutable.executableFolder = "/opt/nodes";
    }
    ~LaunchWindowsTest() override
    {
        m_main.reset();
        QThreadPool::globalInstance()->waitForDone(); // the window's work ends before the services it uses
    }

    MainWindow& mainWindow()
    {
        if (!m_main) {
            m_main = std::make_unique<MainWindow>(m_services);
            m_main->show();
            EXPECT_TRUE(QTest::qWaitForWindowExposed(m_main.get()));
        }
        return *m_main;
    }

    // Opens the main settings window from the main window's button and runs `act` in it.
    void inMainSettings(const std::function<void(QWidget&)>& act)
    {
        MainWindow& main = mainWindow();
        ASSERT_TRUE(whileModal([&] { click(main, "SETTINGS_BUTTON"); }, act));
    }

    // Opens the main settings window with another system's conventions.
    void inMainSettings(const NodeConventions& conventions, const std::function<void(QWidget&)>& act)
    {
        MainSettingsWindow settings(m_services, mainWindow().profile(), &mainWindow(), conventions);
        ASSERT_TRUE(whileModal([&] { settings.exec(); }, act));
    }

    static void inWindowOpenedBy(QWidget& opener, const char* buttonName, const std::function<void(QWidget&)>& act)
    {
        ASSERT_TRUE(whileModal([&] { click(opener, buttonName); }, act));
    }

    std::string stored(const std::string& key) const
    {
        return m_fakes.settings.getSetting("QL_KORVANE", "BTC", key, "<none>");
    }

    void store(const std::string& key, const std::string& value)
    {
        EXPECT_TRUE(m_fakes.settings.saveSetting("QL_KORVANE", "BTC", key, value));
    }

    fake::Services m_fakes;
    Services m_services = m_fakes.services();
    std::unique_ptr<MainWindow> m_main;
};

TEST_F(LaunchWindowsTest, AFreshCopyOpensTheMainSettingsInDefaultMode)
{
    inMainSettings([&](QWidget& settings) {
        EXPECT_EQ(settings.objectName(), "KORVANE_MAIN_SETTINGS");
        EXPECT_EQ(settings.windowTitle(), "KORVANE - MAIN SETTINGS");
        EXPECT_EQ(settings.parentWidget(), m_main.get());
        auto* location = child<QLineEdit>(settings, "CONF_FILE_LOCATION_TEXTBOX");
        EXPECT_EQ(location->text(), "/opt/nodes/BTC-CRYPTO-CONFIG.conf");
        EXPECT_EQ(location->palette().color(QPalette::Base), test::seen::kGreen);
        EXPECT_FALSE(location->isEnabled());
        EXPECT_TRUE(location->isReadOnly());
        EXPECT_FALSE(child(settings, "CONF_BROWSE_BUTTON")->isEnabled());
        EXPECT_TRUE(child(settings, "CONF_MANAGER_BUTTON")->isEnabled());
        EXPECT_FALSE(child<QCheckBox>(settings, "USE_OWN_CONF_TICKBOX")->isChecked());
        click(settings, "CANCEL_BUTTON");
    });
    EXPECT_EQ(stored("CONF_FILE_LOCATION_TEXTBOX"), "/opt/nodes/BTC-CRYPTO-CONFIG.conf");
    EXPECT_EQ(stored("USE_OWN_CONF_TICKBOX"), "0");
    EXPECT_NE(stored("MAIN_SETTINGS-Left"), "<none>");

    m_fakes.ownExecutable.executableFolder = "C:\\Nodes";
    inMainSettings(windowsNodeConventions(), [&](QWidget& settings) {
        EXPECT_EQ(text(settings, "CONF_FILE_LOCATION_TEXTBOX"), "C:\\Nodes\\BTC-CRYPTO-CONFIG.conf");
        EXPECT_EQ(text(settings, "MULTIPLE_CONFIGURATIONS_LABEL"),
                  "FOR MULTIPLE CONFIGURATIONS, COPY \".exe\" FILE TO A NEW FILENAME, RUN, AND CONFIGURE.");
        settings.close();
    });
}

TEST_F(LaunchWindowsTest, TheDesktopChoicesStoreOnCloseAndStartAtLoginChangesAtOnce)
{
    m_fakes.autostart.failure = "cannot create the folder /home/u/.config/autostart: Permission denied";
    inMainSettings([&](QWidget& settings) {
        auto* keepAwake = child<QComboBox>(settings, "KEEP_AWAKE_COMBOBOX");
        EXPECT_EQ(keepAwake->currentText(), "While the daemon runs");
        EXPECT_EQ(child<QLabel>(settings, "KEEP_AWAKE_LABEL")->buddy(), keepAwake) << "read by its label";
        keepAwake->setCurrentIndex(keepAwake->findData(QStringLiteral("syncing")));
        tick(settings, "RESTART_DAEMON_TICKBOX");

        tick(settings, "START_AT_LOGIN_TICKBOX");
        EXPECT_FALSE(ticked(settings, "START_AT_LOGIN_TICKBOX")) << "a refused entry is not shown as made";
        EXPECT_TRUE(child<QLabel>(settings, "STATUS_LABEL")->text().contains(QLatin1String("Permission denied")));
        m_fakes.autostart.failure.clear();
        tick(settings, "START_AT_LOGIN_TICKBOX");
        EXPECT_TRUE(m_fakes.autostart.on);
        click(settings, "OK_BUTTON");
    });
    EXPECT_EQ(stored("KEEP_AWAKE_COMBOBOX"), "syncing");
    EXPECT_EQ(stored("RESTART_DAEMON_TICKBOX"), "1");
    inMainSettings([&](QWidget& settings) {
        EXPECT_EQ(child<QComboBox>(settings, "KEEP_AWAKE_COMBOBOX")->currentText(), "Only while the node is syncing");
        EXPECT_TRUE(ticked(settings, "START_AT_LOGIN_TICKBOX"));
        click(settings, "CANCEL_BUTTON");
    });
}

TEST_F(LaunchWindowsTest, TheOwnConfTickStoresAtOnceAndPickingWaitsForConfirmation)
{
    inMainSettings([&](QWidget& settings) {
        tick(settings, "USE_OWN_CONF_TICKBOX");
        EXPECT_EQ(stored("USE_OWN_CONF_TICKBOX"), "1");
        EXPECT_EQ(stored("CONF_FILE_LOCATION_TEXTBOX"), "");
        auto* location = child<QLineEdit>(settings, "CONF_FILE_LOCATION_TEXTBOX");
        EXPECT_TRUE(location->text().isEmpty());
        EXPECT_TRUE(location->isEnabled());
        EXPECT_FALSE(location->isReadOnly());
        EXPECT_TRUE(child(settings, "CONF_FILE_LOCATION_LABEL")->isEnabled());
        EXPECT_TRUE(child(settings, "CONF_BROWSE_BUTTON")->isEnabled());
        EXPECT_FALSE(child(settings, "CONF_MANAGER_BUTTON")->isEnabled());

        m_fakes.fileDialogs.nextAnswers = { "/home/user/own.conf", std::nullopt };
        click(settings, "CONF_BROWSE_BUTTON");
        EXPECT_EQ(location->text(), "/home/user/own.conf");
        EXPECT_EQ(stored("CONF_FILE_LOCATION_TEXTBOX"), "");
        click(settings, "CONF_BROWSE_BUTTON");
        EXPECT_EQ(location->text(), "/home/user/own.conf");
        ASSERT_EQ(m_fakes.fileDialogs.fileRequests.size(), 2u);
        const FileOpenRequest& request = m_fakes.fileDialogs.fileRequests[0];
        EXPECT_EQ(request.title, "SELECT \".CONF\" FILE:");
        EXPECT_EQ(request.filter, "CONF Files (*.conf)|*.conf|All files (*.*)|*.*");
        EXPECT_EQ(request.defaultExtension, "conf");
        EXPECT_EQ(request.initialFolder, "/opt/nodes");

        // Clearing the tick replaces the picked file by the default one, stored at once.
        tick(settings, "USE_OWN_CONF_TICKBOX");
        EXPECT_EQ(stored("USE_OWN_CONF_TICKBOX"), "0");
        EXPECT_EQ(stored("CONF_FILE_LOCATION_TEXTBOX"), "/opt/nodes/BTC-CRYPTO-CONFIG.conf");
        EXPECT_EQ(location->text(), "/opt/nodes/BTC-CRYPTO-CONFIG.conf");
        EXPECT_FALSE(child(settings, "CONF_FILE_LOCATION_LABEL")->isEnabled());
        EXPECT_FALSE(location->isEnabled());
        EXPECT_TRUE(child(settings, "CONF_MANAGER_BUTTON")->isEnabled());

        m_fakes.fileDialogs.nextAnswers = { "/home/user/own.conf" };
        tick(settings, "USE_OWN_CONF_TICKBOX");
        click(settings, "CONF_BROWSE_BUTTON");
        click(settings, "OK_BUTTON");
    });
    EXPECT_EQ(stored("USE_OWN_CONF_TICKBOX"), "1");
    EXPECT_EQ(stored("CONF_FILE_LOCATION_TEXTBOX"), "/home/user/own.conf");

    inMainSettings([&](QWidget& settings) {
        EXPECT_TRUE(child<QCheckBox>(settings, "USE_OWN_CONF_TICKBOX")->isChecked());
        EXPECT_EQ(text(settings, "CONF_FILE_LOCATION_TEXTBOX"), "/home/user/own.conf");
        EXPECT_TRUE(child(settings, "CONF_BROWSE_BUTTON")->isEnabled());
        QTest::keyClick(&settings, Qt::Key_Escape);
    });
}

TEST_F(LaunchWindowsTest, TheMainWindowsFolderSizeTimerFollowsEachClickThroughTheProfile)
{
    MainWindow& main = mainWindow();
    const auto* shownTick = child<QCheckBox>(main, "AUTO_UPDATE_FOLDERSIZE_TICKBOX");
    const auto* timer = child<QTimer>(main, "BC_FOLDERSIZE_TIMER");
    inMainSettings([&](QWidget& settings) {
        tick(settings, "AUTO_UPDATE_FOLDERSIZE_TICKBOX");
        EXPECT_TRUE(shownTick->isChecked());
        EXPECT_TRUE(timer->isActive());
        EXPECT_EQ(stored("AUTO_UPDATE_FOLDERSIZE_TICKBOX"), "1");
        child<QCheckBox>(settings, "AUTO_UPDATE_FOLDERSIZE_TICKBOX")->toggle(); // as a screen reader does
        EXPECT_FALSE(shownTick->isChecked());
        EXPECT_FALSE(timer->isActive());
        tick(settings, "AUTO_UPDATE_FOLDERSIZE_TICKBOX");
        click(settings, "CANCEL_BUTTON");
    });
    EXPECT_EQ(stored("AUTO_UPDATE_FOLDERSIZE_TICKBOX"), "1");
    EXPECT_TRUE(timer->isActive());
}

TEST_F(LaunchWindowsTest, SaveStoresTheProfileAndPublishesItToTheMainWindow)
{
    MainWindow& main = mainWindow();
    inMainSettings([&](QWidget& settings) {
        inWindowOpenedBy(settings, "CRYPTO_SETTINGS_BUTTON", [&](QWidget& profile) {
            EXPECT_EQ(profile.windowTitle(), "KORVANE - CRYPTO SETTINGS");
            EXPECT_EQ(profile.parentWidget(), &settings);
            type(profile, "CRYPTO_NAME_TEXTBOX", "Bitcoin");
            m_fakes.fileDialogs.nextAnswers = { "/srv/btc" };
            click(profile, "BROWSE_BLOCKCHAIN_FOLDER_BUTTON");
            for (const char* use : { "USE_QT_FOLDER_BUTTON", "USE_QT_FILE_BUTTON", "USE_DAEMON_FOLDER_BUTTON",
                                     "USE_DAEMONCLI_FILE_BUTTON", "USE_DAEMOND_FILE_BUTTON" })
                click(profile, use);
            tick(profile, "QT_WALLET_TICKBOX");
            tick(profile, "DAEMON_WALLET_TICKBOX");
            tick(profile, "DAEMON_DISABLE_WALLET_TICKBOX");
            tick(profile, "CLI_DAEMON_TICKBOX");
            EXPECT_EQ(stored("QT_WALLET_TICKBOX"), "<none>");

            const int writesBefore = m_fakes.settings.writes;
            click(profile, "SAVE_BUTTON");
            EXPECT_EQ(m_fakes.settings.writes, writesBefore + 1);
            EXPECT_EQ(text(profile, "CANCEL_BUTTON"), "Close");
            EXPECT_EQ(accessibleName(child(profile, "CANCEL_BUTTON")), "Close");
            EXPECT_EQ(text(profile, "QL_QT_COMMAND_TEXTBOX"),
                      "\"/usr/local/bin/bitcoin-qt\" -conf=\"/opt/nodes/BTC-CRYPTO-CONFIG.conf\" "
                      "-datadir=\"/srv/btc\" -disablewallet=0");
            click(profile, "CANCEL_BUTTON");
        });
        click(settings, "OK_BUTTON");
    });

    const std::pair<const char*, const char*> expected[] = {
        { "CRYPTO_NAME_TEXTBOX", "Bitcoin" },
        { "BLOCKCHAIN_HOME_TEXTBOX", "/srv/btc" },
        { "QT_LOCATION_TEXTBOX", "/usr/local/bin" },
        { "QT_NAME_TEXTBOX", "bitcoin-qt" },
        { "DAEMON_CLI_LOCATION_TEXTBOX", "/usr/local/bin" },
        { "CLI_NAME_TEXTBOX", "bitcoin-cli" },
        { "DAEMON_NAME_TEXTBOX", "bitcoind" },
        { "QT_WALLET_TICKBOX", "1" },
        { "QT_DISABLE_WALLET_TICKBOX", "0" },
        { "DAEMON_WALLET_TICKBOX", "1" },
        { "DAEMON_DISABLE_WALLET_TICKBOX", "1" },
        { "CLI_DAEMON_TICKBOX", "1" },
        { "DISABLE_DAEMON_TICKBOX", "0" },
        { "QL_QT_COMMAND_TEXTBOX",
          "\"/usr/local/bin/bitcoin-qt\" -conf=\"/opt/nodes/BTC-CRYPTO-CONFIG.conf\" "
          "-datadir=\"/srv/btc\" -disablewallet=0" },
        { "QL_D_COMMAND_TEXTBOX",
          "\"/usr/local/bin/bitcoind\" -conf=\"/opt/nodes/BTC-CRYPTO-CONFIG.conf\" "
          "-datadir=\"/srv/btc\" -disablewallet=1" },
        { "QLCLI_STOP_COMMAND_TEXTBOX",
          "\"/usr/local/bin/bitcoin-cli\" -conf=\"/opt/nodes/BTC-CRYPTO-CONFIG.conf\" -daemon=1 stop" },
    };
    for (const auto& [key, value] : expected)
        EXPECT_EQ(stored(key), value) << key;
    for (const char* shown : { "CRYPTO_NAME_TEXTBOX", "BLOCKCHAIN_HOME_TEXTBOX", "QT_NAME_TEXTBOX",
                               "DAEMON_NAME_TEXTBOX", "CLI_NAME_TEXTBOX" })
        EXPECT_EQ(text(main, shown).toStdString(), stored(shown)) << shown;
    // The main window's buttons run the saved command lines; the CLI stop is waited for, to be read.
    for (const char* button : { "QT_START_BUTTON", "DAEMON_START_BUTTON", "CLI_STOP_BUTTON" })
        click(main, button);
    QTRY_COMPARE(m_fakes.launcher.starts.size(), 2u);
    EXPECT_EQ(m_fakes.launcher.starts[0].commandLine, stored("QL_QT_COMMAND_TEXTBOX"));
    EXPECT_EQ(m_fakes.launcher.starts[1].commandLine, stored("QL_D_COMMAND_TEXTBOX"));
    QTRY_COMPARE(m_fakes.programs.runs().size(), 1u);
    const ProgramRun stop = m_fakes.programs.runs()[0];
    EXPECT_EQ(stop.program, "/usr/local/bin/bitcoin-cli");
    EXPECT_EQ(stop.arguments,
              (std::vector<std::string> { "-conf=/opt/nodes/BTC-CRYPTO-CONFIG.conf", "-daemon=1", "stop" }));
}

TEST_F(LaunchWindowsTest, SaveKeepsUneditedBytesAndShowsAFailureInItsOwnWindow)
{
    const std::string latin1Folder = "/srv/n\xE9ud"; // not UTF-8
    store("BLOCKCHAIN_HOME_TEXTBOX", latin1Folder);
    inMainSettings([&](QWidget& settings) {
        inWindowOpenedBy(settings, "CRYPTO_SETTINGS_BUTTON", [&](QWidget& profile) {
            m_fakes.settings.failSaves = true;
            click(profile, "SAVE_BUTTON");
            EXPECT_TRUE(text(profile, "STATUS_LABEL").contains("disk full"));
            EXPECT_EQ(text(profile, "CANCEL_BUTTON"), "Cancel");
            EXPECT_TRUE(text(profile, "QL_D_COMMAND_TEXTBOX").isEmpty()) << "lines not stored are not shown";

            m_fakes.settings.failSaves = false;
            click(profile, "SAVE_BUTTON");
            EXPECT_TRUE(text(profile, "STATUS_LABEL").isEmpty());
            click(profile, "CANCEL_BUTTON");
        });
        click(settings, "CANCEL_BUTTON");
    });
    EXPECT_EQ(stored("BLOCKCHAIN_HOME_TEXTBOX"), latin1Folder);
    EXPECT_NE(stored("QL_D_COMMAND_TEXTBOX").find("-datadir=\"" + latin1Folder + "\""), std::string::npos);
}

TEST_F(LaunchWindowsTest, ClosingTheProfileWithoutSaveChangesNeitherStoreNorMainWindow)
{
    store("CRYPTO_NAME_TEXTBOX", "Bitcoin");
    store("QT_WALLET_TICKBOX", "1");
    MainWindow& main = mainWindow();
    inMainSettings([&](QWidget& settings) {
        inWindowOpenedBy(settings, "CRYPTO_SETTINGS_BUTTON", [&](QWidget& profile) {
            EXPECT_EQ(text(profile, "CRYPTO_NAME_TEXTBOX"), "Bitcoin");
            type(profile, "CRYPTO_NAME_TEXTBOX", "Litecoin");
            click(profile, "USE_QT_FILE_BUTTON");
            tick(profile, "QT_WALLET_TICKBOX");
            profile.close();
        });
        inWindowOpenedBy(settings, "CRYPTO_SETTINGS_BUTTON", [&](QWidget& profile) {
            EXPECT_EQ(text(profile, "CRYPTO_NAME_TEXTBOX"), "Bitcoin");
            EXPECT_TRUE(child<QCheckBox>(profile, "QT_WALLET_TICKBOX")->isChecked());
            EXPECT_EQ(text(profile, "CANCEL_BUTTON"), "Cancel");
            click(profile, "CANCEL_BUTTON");
        });
        click(settings, "CANCEL_BUTTON");
    });
    EXPECT_EQ(stored("CRYPTO_NAME_TEXTBOX"), "Bitcoin");
    EXPECT_EQ(stored("QT_NAME_TEXTBOX"), "<none>");
    EXPECT_EQ(stored("QT_WALLET_TICKBOX"), "1");
    EXPECT_EQ(stored("QL_QT_COMMAND_TEXTBOX"), "<none>");
    EXPECT_NE(stored("CRYPTO_SETTINGS-Left"), "<none>");
    EXPECT_EQ(text(main, "CRYPTO_NAME_TEXTBOX"), "Bitcoin");
}

TEST_F(LaunchWindowsTest, ANotYetConfirmedConfFileIsTheOneTheNextSaveUses)
{
    inMainSettings([&](QWidget& settings) {
        tick(settings, "USE_OWN_CONF_TICKBOX");
        m_fakes.fileDialogs.nextAnswers = { "/home/user/own.conf" };
        click(settings, "CONF_BROWSE_BUTTON");
        inWindowOpenedBy(settings, "CRYPTO_SETTINGS_BUTTON", [&](QWidget& profile) {
            click(profile, "SAVE_BUTTON");
            click(profile, "CANCEL_BUTTON");
        });
        EXPECT_EQ(stored("CONF_FILE_LOCATION_TEXTBOX"), "");
        click(settings, "CANCEL_BUTTON");
    });
    EXPECT_EQ(stored("QL_QT_COMMAND_TEXTBOX"), "\"/\" -conf=\"/home/user/own.conf\" -datadir=\"\" ");
    EXPECT_EQ(stored("QLCLI_STOP_COMMAND_TEXTBOX"), "\"/\" -conf=\"/home/user/own.conf\"  stop");
}

TEST_F(LaunchWindowsTest, StoredPairsOpenInTheirStatesAndSaveNeverStoresDisabledAlone)
{
    store("QT_WALLET_TICKBOX", "1");
    store("QT_DISABLE_WALLET_TICKBOX", "1");
    store("DAEMON_WALLET_TICKBOX", "0");
    store("DAEMON_DISABLE_WALLET_TICKBOX", "1");
    inMainSettings([&](QWidget& settings) {
        inWindowOpenedBy(settings, "CRYPTO_SETTINGS_BUTTON", [&](QWidget& profile) {
            auto* qtWallet = child<QCheckBox>(profile, "QT_WALLET_TICKBOX");
            auto* qtDisabled = child<QCheckBox>(profile, "QT_DISABLE_WALLET_TICKBOX");
            EXPECT_TRUE(qtWallet->isChecked());
            EXPECT_FALSE(qtWallet->isEnabled());
            EXPECT_TRUE(qtDisabled->isChecked());
            EXPECT_TRUE(qtDisabled->isEnabled());
            EXPECT_EQ(text(profile, "QT_DASH_DISABLE_WALLET_EQUALS_TEXTBOX"), "-disablewallet=1");
            EXPECT_EQ(qtDisabled->toolTip(), "!!! DISABLES ALL WALLET FUNCTIONALITY !!!");
            EXPECT_EQ(qtWallet->toolTip(), "disablewallet=");

            auto* daemonDisabled = child<QCheckBox>(profile, "DAEMON_DISABLE_WALLET_TICKBOX");
            EXPECT_FALSE(child<QCheckBox>(profile, "DAEMON_WALLET_TICKBOX")->isChecked());
            EXPECT_FALSE(daemonDisabled->isChecked());
            EXPECT_FALSE(daemonDisabled->isEnabled());
            tick(profile, "DAEMON_DISABLE_WALLET_TICKBOX");
            tick(profile, "QT_WALLET_TICKBOX");
            EXPECT_FALSE(daemonDisabled->isChecked());
            EXPECT_TRUE(qtWallet->isChecked());

            // Through On to Off: clearing "Disabled" first makes the main tick clickable again.
            tick(profile, "QT_DISABLE_WALLET_TICKBOX");
            EXPECT_EQ(text(profile, "QT_DASH_DISABLE_WALLET_EQUALS_TEXTBOX"), "-disablewallet=0");
            tick(profile, "QT_WALLET_TICKBOX");
            EXPECT_FALSE(qtWallet->isChecked());
            EXPECT_FALSE(qtDisabled->isEnabled());
            EXPECT_TRUE(text(profile, "QT_DASH_DISABLE_WALLET_EQUALS_TEXTBOX").isEmpty());
            click(profile, "SAVE_BUTTON");
            click(profile, "CANCEL_BUTTON");
        });
        click(settings, "CANCEL_BUTTON");
    });
    EXPECT_EQ(stored("QT_WALLET_TICKBOX"), "0");
    EXPECT_EQ(stored("QT_DISABLE_WALLET_TICKBOX"), "0");
    EXPECT_EQ(stored("DAEMON_WALLET_TICKBOX"), "0");
    EXPECT_EQ(stored("DAEMON_DISABLE_WALLET_TICKBOX"), "0");
}

TEST_F(LaunchWindowsTest, APairFollowsItsTicksHoweverTheyChange)
{
    inMainSettings([&](QWidget& settings) {
        inWindowOpenedBy(settings, "CRYPTO_SETTINGS_BUTTON", [&](QWidget& profile) {
            auto* wallet = child<QCheckBox>(profile, "DAEMON_WALLET_TICKBOX");
            auto* disabled = child<QCheckBox>(profile, "DAEMON_DISABLE_WALLET_TICKBOX");
            const auto option = [&] { return text(profile, "DAEMON_DASH_DISABLE_WALLET_EQUALS_TEXTBOX"); };
            wallet->toggle(); // a screen reader's "Toggle"
            EXPECT_EQ(option(), "-disablewallet=0");
            QTest::keyClick(disabled, Qt::Key_Space);
            EXPECT_EQ(option(), "-disablewallet=1");
            wallet->setChecked(false); // refused while "Disabled" is ticked
            EXPECT_TRUE(wallet->isChecked());
            EXPECT_EQ(option(), "-disablewallet=1");
            click(profile, "CANCEL_BUTTON");
        });
        click(settings, "CANCEL_BUTTON");
    });
}

TEST_F(LaunchWindowsTest, PickersAskWithTheirTextsAndACancelChangesNothing)
{
    inMainSettings([&](QWidget& settings) {
        inWindowOpenedBy(settings, "CRYPTO_SETTINGS_BUTTON", [&](QWidget& profile) {
            auto& dialogs = m_fakes.fileDialogs;
            type(profile, "QT_LOCATION_TEXTBOX", "/opt/bitcoin/bin");
            dialogs.nextAnswers = { "/elsewhere/bitcoin-qt", std::nullopt, std::nullopt, "/opt/daemons" };
            click(profile, "BROWSE_QT_FILE_BUTTON");
            EXPECT_EQ(text(profile, "QT_NAME_TEXTBOX"), "bitcoin-qt");
            EXPECT_EQ(text(profile, "QT_LOCATION_TEXTBOX"), "/opt/bitcoin/bin");
            click(profile, "BROWSE_QT_FILE_BUTTON");
            EXPECT_EQ(text(profile, "QT_NAME_TEXTBOX"), "bitcoin-qt");
            click(profile, "BROWSE_QT_FOLDER_BUTTON");
            EXPECT_EQ(text(profile, "QT_LOCATION_TEXTBOX"), "/opt/bitcoin/bin");
            click(profile, "BROWSE_DAEMON_FOLDER_BUTTON");
            EXPECT_EQ(text(profile, "DAEMON_CLI_LOCATION_TEXTBOX"), "/opt/daemons");

            ASSERT_EQ(dialogs.fileRequests.size(), 2u);
            EXPECT_EQ(dialogs.fileRequests[0].title, "Select QT File");
            EXPECT_EQ(dialogs.fileRequests[0].filter, "All files (*)|*");
            EXPECT_EQ(dialogs.fileRequests[0].defaultExtension, "");
            EXPECT_EQ(dialogs.fileRequests[0].initialFolder, "/opt/bitcoin/bin");
            EXPECT_EQ(dialogs.folderPrompts,
                      (std::vector<std::string> { "QT - Program folder", "DAEMON - Program Folder" }));
            EXPECT_EQ(text(profile, "CLI_NAME_TEXTBOX"), "");
            click(profile, "CANCEL_BUTTON");
        });
        click(settings, "CANCEL_BUTTON");
    });
    EXPECT_EQ(stored("QT_NAME_TEXTBOX"), "<none>");
}

TEST_F(LaunchWindowsTest, WindowsTextsAndPickersInTheProfileWindow)
{
    m_fakes.ownExecutable.executableFolder = "C:\\Nodes";
    inMainSettings(windowsNodeConventions(), [&](QWidget& settings) {
        inWindowOpenedBy(settings, "CRYPTO_SETTINGS_BUTTON", [&](QWidget& profile) {
            const QList<QLabel*> labels = profile.findChildren<QLabel*>();
            const auto shows = [&](const QString& caption) {
                return std::any_of(labels.begin(), labels.end(), [&](QLabel* l) { return l->text() == caption; });
            };
            EXPECT_TRUE(shows("DAEMOND.exe && DAEMON-CLI.exe - Folder - eg C:\\Program Files\\Bitcoin\\Daemon"));
            EXPECT_TRUE(shows("QT.exe - File - eg bitcoin-qt.exe"));
            EXPECT_EQ(accessibleName(child(profile, "DAEMON_CLI_LOCATION_TEXTBOX")),
                      "DAEMOND.exe & DAEMON-CLI.exe - Folder - eg C:\\Program Files\\Bitcoin\\Daemon");

            auto& dialogs = m_fakes.fileDialogs;
            click(profile, "USE_DAEMON_FOLDER_BUTTON");
            dialogs.nextAnswers = { "C:\\Apps\\node\\bitcoind.exe", "D:\\" };
            click(profile, "BROWSE_DAEMOND_FILE_BUTTON");
            click(profile, "BROWSE_BLOCKCHAIN_FOLDER_BUTTON");
            EXPECT_EQ(text(profile, "DAEMON_NAME_TEXTBOX"), "bitcoind.exe");
            ASSERT_EQ(dialogs.fileRequests.size(), 1u);
            EXPECT_EQ(dialogs.fileRequests[0].title, "Select DAEMOND.exe File");
            EXPECT_EQ(dialogs.fileRequests[0].filter, "Applications (*.exe)|*.exe|All files (*.*)|*.*");
            EXPECT_EQ(dialogs.fileRequests[0].defaultExtension, "exe");
            EXPECT_EQ(dialogs.fileRequests[0].initialFolder, "C:\\Program Files\\Bitcoin\\Daemon");
            EXPECT_EQ(dialogs.folderPrompts, std::vector<std::string> { "BLOCKCHAIN HOME FOLDER" });

            click(profile, "SAVE_BUTTON");
            EXPECT_EQ(text(profile, "QL_D_COMMAND_TEXTBOX"),
                      R"("C:\Program Files\Bitcoin\Daemon\bitcoind.exe" -conf="C:\Nodes\BTC-CRYPTO-CONFIG.conf" )"
                      R"(-datadir="D:\\" )");
            click(profile, "CANCEL_BUTTON");
        });
        click(settings, "CANCEL_BUTTON");
    });
}

TEST_F(LaunchWindowsTest, OutputCommandsShowTheSavedLinesExactly)
{
    store("QL_QT_COMMAND_TEXTBOX", "stale");
    inMainSettings([&](QWidget& settings) {
        inWindowOpenedBy(settings, "CRYPTO_SETTINGS_BUTTON", [&](QWidget& profile) {
            click(profile, "USE_QT_FOLDER_BUTTON");
            click(profile, "USE_QT_FILE_BUTTON");
            click(profile, "SAVE_BUTTON");
            type(profile, "QT_NAME_TEXTBOX", "unsaved");
            inWindowOpenedBy(profile, "VIEW_OUTPUT_COMMANDS_BUTTON", [&](QWidget& output) {
                EXPECT_EQ(output.windowTitle(), "KORVANE - OUTPUT COMMANDS - SINGLE WINDOW");
                EXPECT_EQ(output.parentWidget(), &profile);
                EXPECT_EQ(text(output, "COMMAND_NAME_LABEL"), "RUN COMMAND - ");
                EXPECT_TRUE(text(output, "ALL_COMMANDS_TEXTBOX").isEmpty());
                click(output, "QT_COMMAND_BUTTON");
                EXPECT_EQ(text(output, "COMMAND_NAME_LABEL"), "RUN COMMAND - QT");
                EXPECT_EQ(text(output, "ALL_COMMANDS_TEXTBOX"),
                          "\"/usr/local/bin/bitcoin-qt\" -conf=\"/opt/nodes/BTC-CRYPTO-CONFIG.conf\" -datadir=\"\" ");
                click(output, "OK_BUTTON");
            });
            click(profile, "CANCEL_BUTTON");
        });
        inWindowOpenedBy(settings, "VIEW_OUTPUT_COMMANDS_BUTTON", [&](QWidget& output) {
            EXPECT_TRUE(text(output, "ALL_COMMANDS_TEXTBOX").isEmpty());
            click(output, "CLI_STOP_COMMAND_BUTTON");
            EXPECT_EQ(text(output, "COMMAND_NAME_LABEL"), "RUN COMMAND - CLI - STOP");
            EXPECT_EQ(text(output, "ALL_COMMANDS_TEXTBOX"), "\"/\" -conf=\"/opt/nodes/BTC-CRYPTO-CONFIG.conf\"  stop");
            click(output, "DAEMON_COMMAND_BUTTON");
            EXPECT_EQ(text(output, "COMMAND_NAME_LABEL"), "RUN COMMAND - DAEMON");
            output.close();
        });
        click(settings, "CANCEL_BUTTON");
    });
    EXPECT_NE(stored("SINGLE_OUTPUT_COMMANDS_WINDOW-Left"), "<none>");
}

} // namespace
} // namespace korvane
