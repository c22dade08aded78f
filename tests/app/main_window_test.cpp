#include "app/main_settings_window.h"
#include "app/main_window.h"
#include "gui/light.h"
#include "monitor/node_status_panel.h"
#include "platform/fake/fake_services.h"
#include "tests/gui/driver.h"
#include "tests/gui/expected.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpontaneKeyEvent>
#include <QSystemTrayIcon>
#include <QTest>
#include <QThreadPool>
#include <QTimer>
#include <gtest/gtest.h>

namespace korvane {
namespace {

using test::child;

// A close from the desktop, as its close box sends; returns whether the window let it close.
bool closeFromTheDesktop(QWidget& window)
{
    QCloseEvent close;
    QSpontaneKeyEvent::setSpontaneous(&close);
    QApplication::instance()->notify(&window, &close); // sendEvent would make it the program's own
    return close.isAccepted();
}

// 96 dots per inch on the offscreen platform: 15 twips to a pixel, so 1000 twips are 66.7 pixels.
constexpr int kDefaultLeftPx = 67;

class MainWindowTest : public ::testing::Test
{
protected:
    // A window's work off the GUI thread ends before the services it uses go.
    void TearDown() override { QThreadPool::globalInstance()->waitForDone(); }

    std::unique_ptr<MainWindow> open()
    {
        auto window = std::make_unique<MainWindow>(m_services.asServices);
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        return window;
    }

    std::string stored(const std::string& key)
    {
        return m_services.fakes.settings.getSetting("QL_KORVANE", m_services.fakes.ownExecutable.name(), key, "<none>");
    }

    struct Fakes
    {
        fake::Services fakes;
        Services asServices = fakes.services();
    } m_services;
};

TEST_F(MainWindowTest, FirstStartShowsTheDefaultsUnderTheExecutablesName)
{
    m_services.fakes.ownExecutable.executableName = "BTC.main";
    auto window = open();

    EXPECT_EQ(window->objectName(), "KORVANE_MAIN");
    EXPECT_EQ(window->windowTitle(), "KORVANE - BTC.main");
    EXPECT_EQ(window->pos(), QPoint(kDefaultLeftPx, kDefaultLeftPx));
    EXPECT_GE(window->width(), 6720 / 15);
    EXPECT_GE(window->height(), 2925 / 15);
    EXPECT_TRUE(child<QCheckBox>(*window, "AlwaysOnTop_TICKBOX")->isChecked());
    EXPECT_FALSE(child<QCheckBox>(*window, "AUTO_UPDATE_FOLDERSIZE_TICKBOX")->isChecked());
    EXPECT_EQ(child<QLineEdit>(*window, "HEARTBEAT_COUNTDOWN_TIME_TEXTBOX")->text(), "00:05:00");
    EXPECT_EQ(child<QLineEdit>(*window, "APP_EXE_NAME_TEXTBOX")->text(), "BTC.main");
    EXPECT_TRUE(child<QPlainTextEdit>(*window, "BC_FOLDER_SIZE_BEFORE")->toPlainText().isEmpty());
    for (const char* name : { "CRYPTO_NAME_TEXTBOX", "BLOCKCHAIN_HOME_TEXTBOX", "QT_NAME_TEXTBOX",
                              "DAEMON_NAME_TEXTBOX", "CLI_NAME_TEXTBOX" })
        EXPECT_TRUE(child<QLineEdit>(*window, name)->text().isEmpty()) << name;
    for (int i = 1; i <= 7; ++i) {
        auto* light = child(*window, QStringLiteral("KITT_LABEL_%1").arg(i));
        EXPECT_EQ(light->palette().color(QPalette::Window), test::seen::kRed);
    }

    auto* watcher = child<QTimer>(*window, "MULTI_PROCESS_WATCHER_TIMER");
    EXPECT_TRUE(watcher->isActive());
    EXPECT_EQ(watcher->interval(), 250);
    EXPECT_TRUE(child<QTimer>(*window, "NCS_TIMER")->isActive());
    EXPECT_TRUE(child<QTimer>(*window, "AlwaysOnTopTimer")->isActive());
    EXPECT_FALSE(child<QTimer>(*window, "BC_FOLDERSIZE_TIMER")->isActive());
    EXPECT_FALSE(child<QTimer>(*window, "HEARTBEAT_TIMER")->isActive());
    EXPECT_EQ(child<QTimer>(*window, "KITT_RED_TIMER")->interval(), 100);
}

TEST_F(MainWindowTest, ShowsTheStoredProfile)
{
    auto& store = m_services.fakes.settings;
    const std::string section = m_services.fakes.ownExecutable.name();
    EXPECT_TRUE(store.saveSetting("QL_KORVANE", section, "CRYPTO_NAME_TEXTBOX", "Bitcoin"));
    EXPECT_TRUE(
        store.saveSetting("QL_KORVANE", section, "QL_D_COMMAND_TEXTBOX", "\"/usr/bin/bitcoind\" -conf=\"a b\" "));
    EXPECT_TRUE(store.saveSetting("QL_KORVANE", section, "AUTO_UPDATE_FOLDERSIZE_TICKBOX", "1"));
    EXPECT_TRUE(store.saveSetting("QL_KORVANE", section, "AlwaysOnTop_TICKBOX", "0"));
    auto window = open();

    EXPECT_EQ(child<QLineEdit>(*window, "CRYPTO_NAME_TEXTBOX")->text(), "Bitcoin");
    QTest::mouseClick(child<QPushButton>(*window, "DAEMON_START_BUTTON"), Qt::LeftButton);
    QTRY_COMPARE(m_services.fakes.launcher.starts.size(), 1u);
    EXPECT_EQ(m_services.fakes.launcher.starts[0].commandLine, "\"/usr/bin/bitcoind\" -conf=\"a b\" ");
    EXPECT_TRUE(child<QTimer>(*window, "BC_FOLDERSIZE_TIMER")->isActive());
    EXPECT_FALSE(child<QTimer>(*window, "AlwaysOnTopTimer")->isActive());
}

TEST_F(MainWindowTest, ExitAndTheCloseBoxBothSavePositionAndAlwaysOnTop)
{
    for (const char* route : { "exit", "close box" }) {
        SCOPED_TRACE(route);
        auto window = open();
        window->move(300, 150);
        child<QCheckBox>(*window, "AlwaysOnTop_TICKBOX")->setChecked(std::string(route) == "exit" ? false : true);
        if (std::string(route) == "exit")
            QTest::mouseClick(child<QPushButton>(*window, "EXIT_BUTTON"), Qt::LeftButton);
        else
            window->close();
        EXPECT_FALSE(window->isVisible());
        EXPECT_EQ(stored("MAIN_Left"), "4500");
        EXPECT_EQ(stored("MAIN_Top"), "2250");
        EXPECT_EQ(stored("AlwaysOnTop_TICKBOX"), std::string(route) == "exit" ? "0" : "1");

        auto reopened = open();
        EXPECT_EQ(reopened->pos(), QPoint(300, 150));
        reopened->hide();
        m_services.fakes.settings = fake::SettingsStore();
    }
}

TEST_F(MainWindowTest, ASizeChangeDoesNotSurviveARestart)
{
    auto first = open();
    const QSize designSize = first->size();
    first->resize(designSize + QSize(200, 120));
    first->close();
    EXPECT_EQ(stored("MAIN_Width"), "<none>");

    auto second = open();
    EXPECT_EQ(second->size(), designSize);
}

TEST_F(MainWindowTest, LaunchButtonsRunTheProfilesCommandLinesAtTheMomentOfTheClick)
{
    auto window = open();
    EXPECT_TRUE(window->profile().setText(Key::QtCommand, "\"/opt/btc/bitcoin-qt\" -datadir=\"/d\" "));
    EXPECT_TRUE(window->profile().setText(Key::DaemonCommand, "bitcoind -daemon"));
    EXPECT_TRUE(window->profile().setText(Key::CliStopCommand, "bitcoin-cli  stop"));

    QTest::mouseClick(child<QPushButton>(*window, "QT_START_BUTTON"), Qt::LeftButton);
    QTest::mouseClick(child<QPushButton>(*window, "DAEMON_START_BUTTON"), Qt::LeftButton);
    QTest::mouseClick(child<QPushButton>(*window, "CLI_STOP_BUTTON"), Qt::LeftButton);

    // The daemon starts once its log's size is taken, off the GUI thread; the CLI stop is waited
    // for there, so its end can be read.
    const auto& starts = m_services.fakes.launcher.starts;
    QTRY_COMPARE(starts.size(), 2u);
    EXPECT_EQ(starts[0].commandLine, "\"/opt/btc/bitcoin-qt\" -datadir=\"/d\" ");
    EXPECT_EQ(starts[0].style, WindowStyle::NormalFocused);
    EXPECT_EQ(starts[1].commandLine, "bitcoind -daemon");
    EXPECT_EQ(starts[1].style, WindowStyle::Hidden);
    EXPECT_TRUE(starts[1].errorOutputFile.ends_with("QL-KORVANE-V1-daemon-errors.txt")) << starts[1].errorOutputFile;
    QTRY_COMPARE(m_services.fakes.programs.runs().size(), 1u);
    const ProgramRun stop = m_services.fakes.programs.runs().front();
    EXPECT_EQ(stop.program, "bitcoin-cli");
    EXPECT_EQ(stop.arguments, std::vector<std::string> { "stop" });
}

TEST_F(MainWindowTest, AStoredCommandRunsByteForByteHoweverLong)
{
    // A folder name in Latin-1, which is not UTF-8, and a line longer than a text box takes by default.
    const std::string line = "\"/opt/n\xE9ud/bitcoind\" -datadir=\"" + std::string(40000, 'd') + "\"";
    EXPECT_TRUE(m_services.fakes.settings.saveSetting("QL_KORVANE", "QL-KORVANE-V1", "QL_D_COMMAND_TEXTBOX", line));
    auto window = open();
    QTest::mouseClick(child<QPushButton>(*window, "DAEMON_START_BUTTON"), Qt::LeftButton);
    QTRY_COMPARE(m_services.fakes.launcher.starts.size(), 1u);
    EXPECT_EQ(m_services.fakes.launcher.starts[0].commandLine, line);
}

TEST_F(MainWindowTest, AFailedStartIsReportedInTheStatusLineAndTheWindowGoesOn)
{
    m_services.fakes.launcher.failure = "No such file or directory";
    auto window = open();
    EXPECT_TRUE(window->profile().setText(Key::DaemonCommand, "bitcoind"));
    QTest::mouseClick(child<QPushButton>(*window, "DAEMON_START_BUTTON"), Qt::LeftButton);

    QTRY_VERIFY(!child<QLabel>(*window, "STATUS_LABEL")->text().isEmpty());
    const QString status = child<QLabel>(*window, "STATUS_LABEL")->text();
    EXPECT_TRUE(status.contains("bitcoind")) << status.toStdString();
    EXPECT_TRUE(status.contains("No such file or directory")) << status.toStdString();
    EXPECT_TRUE(window->isVisible());

    m_services.fakes.launcher.failure.clear();
    QTest::mouseClick(child<QPushButton>(*window, "DAEMON_START_BUTTON"), Qt::LeftButton);
    QTRY_VERIFY(child<QLabel>(*window, "STATUS_LABEL")->text().isEmpty());
}

// The main window joins the node's model to the watcher and the desktop: while the daemon runs
// shutdown is held off and the computer kept awake; a shutdown stops the node through the CLI stop
// line; the program's own runs of the daemon (for its help) are no start and no end.
TEST_F(MainWindowTest, TheNodesModelHearsTheWatcherAndAShutdownStopsTheNode)
{
    auto& fakes = m_services.fakes;
    fakes.programs.setAnswer([](const ProgramRun&, std::stop_token) {
        ProgramOutput stopped;
        stopped.outcome = ProgramOutcome::Finished;
        stopped.exitCode = 0;
        return stopped;
    });
    auto window = open();
    EXPECT_TRUE(window->profile().setText(Key::DaemonName, "litecoind"));
    EXPECT_TRUE(window->profile().setText(Key::CliStopCommand, "litecoin-cli stop"));
    fakes.programs.runStarted(fakes.processes.start("litecoind"));
    QTest::qWait(600);
    EXPECT_FALSE(fakes.shutdownGuard.held()) << "the program's own run of the daemon";
    fakes.processes.stopAll("litecoind");

    fakes.processes.start("litecoind");
    QTRY_VERIFY(fakes.shutdownGuard.held());
    EXPECT_TRUE(fakes.keepAwake.held());
    fakes.shutdownGuard.requestShutdown();
    QTRY_COMPARE(fakes.programs.runs().size(), 1u);
    EXPECT_EQ(fakes.programs.runs().back().program, "litecoin-cli");
    QTRY_VERIFY(child<QLabel>(*window, "NODE_STOP_LABEL")->text().startsWith("stopping"));
    fakes.processes.stopAll("litecoind");
    QTRY_VERIFY(!fakes.shutdownGuard.held());
    EXPECT_FALSE(fakes.keepAwake.held());
    EXPECT_TRUE(fakes.notices.shown.empty()) << "a stop from here is no news";
}

TEST_F(MainWindowTest, AnUnusableProfileIsNamedAtStartAndStaysInView)
{
    m_services.fakes.settings.problemText = "Cannot read the profile /home/u/BTC.ini: Is a directory";
    auto window = open();
    QTest::mouseClick(child<QPushButton>(*window, "DAEMON_START_BUTTON"), Qt::LeftButton);
    EXPECT_TRUE(
        child<QLabel>(*window, "STATUS_LABEL")->text().startsWith(m_services.fakes.settings.problemText.c_str()));
}

TEST_F(MainWindowTest, KeepOnTopTakesAnotherFrontWindowOutOfTheTopMostBand)
{
    auto window = open();
    auto& stacking = m_services.fakes.stacking;
    const auto own = static_cast<NativeWindow>(window->winId());
    stacking.foreground = 4242;
    stacking.topmost.insert(4242);

    EXPECT_TRUE(QTest::qWaitFor([&] { return stacking.topmost.count(own) != 0; }, 3000));
    EXPECT_FALSE(stacking.topmost.count(4242));

    stacking.calls.clear();
    stacking.foreground = own;
    QTest::qWait(1100);
    EXPECT_TRUE(stacking.calls.empty());
}

TEST_F(MainWindowTest, KeepOnTopNeverCoversTheWindowsTheMainWindowOpened)
{
    auto window = open();
    QWidget dialog(window.get(), Qt::Dialog);
    dialog.show();
    auto& stacking = m_services.fakes.stacking;
    stacking.foreground = static_cast<NativeWindow>(dialog.winId());

    QTest::qWait(1100);
    EXPECT_TRUE(stacking.calls.empty());
}

TEST_F(MainWindowTest, AFailedSaveAtExitIsShownBeforeTheWindowCloses)
{
    auto window = open();
    m_services.fakes.settings.failSaves = true;
    QString warning;
    bool openWhileWarned = false;
    EXPECT_TRUE(test::whileModal([&] { QTest::mouseClick(child<QPushButton>(*window, "EXIT_BUTTON"), Qt::LeftButton); },
                                 [&](QWidget& box) {
                                     warning = qobject_cast<QMessageBox*>(&box)->text();
                                     openWhileWarned = window->isVisible();
                                     box.close();
                                 }));
    EXPECT_TRUE(openWhileWarned);
    EXPECT_TRUE(warning.contains("disk full")) << warning.toStdString();
    EXPECT_FALSE(window->isVisible());
}

TEST_F(MainWindowTest, WithoutATrayCloseToTrayIsGreyedAndSaysWhyAndTheCloseBoxEnds)
{
    EXPECT_TRUE(m_services.fakes.settings.saveSetting("QL_KORVANE", "QL-KORVANE-V1", "CLOSE_TO_TRAY_TICKBOX", "1"));
    auto window = open();
    EXPECT_EQ(window->findChild<QSystemTrayIcon*>(), nullptr);
    {
        MainSettingsWindow settings(m_services.asServices, window->profile(), window.get());
        auto* closeToTray = child<QCheckBox>(settings, "CLOSE_TO_TRAY_TICKBOX");
        EXPECT_FALSE(closeToTray->isEnabled());
        EXPECT_TRUE(closeToTray->toolTip().startsWith("No system tray on this desktop"))
            << closeToTray->toolTip().toStdString();
    }
    window->move(300, 150);
    EXPECT_TRUE(closeFromTheDesktop(*window));
    EXPECT_EQ(stored("MAIN_Left"), "4500");
}

TEST_F(MainWindowTest, WithATrayTheCloseBoxHidesToItAndItsMenuActsAsTheButtons)
{
    m_services.fakes.tray.present = true;
    auto window = open();
    auto* tray = window->findChild<QSystemTrayIcon*>();
    ASSERT_NE(tray, nullptr);
    EXPECT_TRUE(tray->isVisible());
    EXPECT_TRUE(QTest::qWaitFor([&] { return tray->toolTip() == "KORVANE - QL-KORVANE-V1: node stopped"; }, 2000))
        << tray->toolTip().toStdString();
    {
        MainSettingsWindow settings(m_services.asServices, window->profile(), window.get());
        EXPECT_TRUE(child<QCheckBox>(settings, "CLOSE_TO_TRAY_TICKBOX")->isEnabled());
        test::tick(settings, "CLOSE_TO_TRAY_TICKBOX");
        test::click(settings, "OK_BUTTON");
    }
    EXPECT_EQ(stored("CLOSE_TO_TRAY_TICKBOX"), "1");

    // Its entries do what the buttons do, and are greyed with them while the daemon runs.
    QMenu& menu = *tray->contextMenu();
    EXPECT_TRUE(window->profile().setText(Key::DaemonCommand, "litecoind -daemon"));
    EXPECT_TRUE(window->profile().setText(Key::CliStopCommand, "litecoin-cli stop"));
    EXPECT_TRUE(window->profile().setText(Key::DaemonName, "litecoind"));
    m_services.fakes.programs.setAnswer([](const ProgramRun&, std::stop_token) {
        ProgramOutput stopped;
        stopped.outcome = ProgramOutcome::Finished;
        stopped.exitCode = 0;
        return stopped;
    });
    test::control<QAction>(menu, "TRAY_DAEMON_START_ACTION").trigger();
    QTRY_COMPARE(m_services.fakes.launcher.starts.size(), 1u);
    m_services.fakes.processes.start("litecoind");
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return !child<QPushButton>(*window, "DAEMON_START_BUTTON")->isEnabled(); }, 2000));
    EXPECT_FALSE(test::control<QAction>(menu, "TRAY_DAEMON_START_ACTION").isEnabled());
    test::control<QAction>(menu, "TRAY_CLI_STOP_ACTION").trigger();
    EXPECT_EQ(m_services.fakes.launcher.starts[0].commandLine, "litecoind -daemon");
    QTRY_COMPARE(m_services.fakes.programs.runs().size(), 1u);
    EXPECT_EQ(m_services.fakes.programs.runs()[0].program, "litecoin-cli");
    QTRY_COMPARE(tray->toolTip(), "KORVANE - QL-KORVANE-V1: node stopping \u2014 do not shut down the computer");

    window->move(300, 150);
    EXPECT_FALSE(closeFromTheDesktop(*window));
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(stored("MAIN_Left"), "<none>");
    test::control<QAction>(menu, "TRAY_SHOW_HIDE_ACTION").trigger();
    EXPECT_TRUE(window->isVisible());

    test::control<QAction>(menu, "TRAY_EXIT_ACTION").trigger();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(stored("MAIN_Left"), "4500");
}

} // namespace
} // namespace korvane
