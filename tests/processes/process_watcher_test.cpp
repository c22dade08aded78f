#include "gui/colours.h"
#include "platform/linux/linux_process_table.h"
#include "processes/process_watcher.h"
#include "tests/processes/helper_programs.h"
#include "tests/processes/watched_main_window.h"

#include <QCoreApplication>
#include <QPushButton>
#include <QThread>
#include <atomic>
#include <gtest/gtest.h>

namespace korvane {
namespace {

using test::ChildProcess;
using test::uniqueName;

class ProcessWatcherTest : public ::testing::Test
{
protected:
    bool enabled(const char* button) const { return main.control<QPushButton>(button).isEnabled(); }

    LinuxProcessTable table;
    test::HelperPrograms programs;
    test::WatchedMainWindow main { table };
};

// The daemon's processes come with each snapshot, by id.
TEST_F(ProcessWatcherTest, LightTurnsGreenWithinOneTickOfTheStartAndRedOnceTheProgramEnds)
{
    std::optional<std::vector<ProcessId>> daemonProcesses;
    QObject::connect(main.window().findChild<ProcessWatcher*>(), &ProcessWatcher::daemonProcesses, &main.window(),
                     [&daemonProcesses](const std::vector<ProcessId>& ids) { daemonProcesses = ids; });
    const std::string daemon = uniqueName("noded-");
    main.setName(Key::DaemonName, daemon);
    auto child = std::make_unique<ChildProcess>(programs.program(daemon));
    ASSERT_TRUE(main.showsFreshSnapshot());
    EXPECT_EQ(daemonProcesses, std::vector<ProcessId> { child->pid() });
    EXPECT_EQ(main.light(2).colour(), colours::kGreen);
    EXPECT_EQ(main.light(2).toolTip().toStdString(), daemon + " - DAEMON PROCESS RUNNING");
    EXPECT_EQ(main.light(4).colour(), colours::kRed);
    EXPECT_EQ(main.light(4).toolTip().toStdString(), std::string(emailUtilityName()) + " - PROCESS STOPPED");

    child.reset();
    ASSERT_TRUE(main.showsFreshSnapshot());
    EXPECT_EQ(daemonProcesses, std::vector<ProcessId>());
    EXPECT_EQ(main.light(2).colour(), colours::kRed);
    EXPECT_EQ(main.light(2).toolTip().toStdString(), daemon + " - DAEMON PROCESS STOPPED");
}

TEST_F(ProcessWatcherTest, LightWithoutANameShowsItsDesignLook)
{
    const QString designToolTip = main.light(1).toolTip();
    main.setName(Key::QtName, uniqueName("wallet-"));
    ASSERT_TRUE(main.showsFreshSnapshot());
    EXPECT_EQ(main.light(1).colour(), colours::kRed);

    main.setName(Key::QtName, "");
    ASSERT_TRUE(main.showsFreshSnapshot());
    EXPECT_FALSE(main.light(1).colour().isValid());
    EXPECT_EQ(main.light(1).toolTip(), designToolTip);
}

TEST_F(ProcessWatcherTest, StartButtonsAreDisabledWhileTheWalletOrTheDaemonRuns)
{
    const std::string wallet = uniqueName("wallet-");
    const std::string daemon = uniqueName("noded-");
    const auto walletProgram = programs.program(wallet);
    main.setName(Key::QtName, wallet);
    main.setName(Key::DaemonName, daemon);
    {
        ChildProcess walletRuns(walletProgram);
        ASSERT_TRUE(main.showsFreshSnapshot());
        EXPECT_FALSE(enabled("QT_START_BUTTON"));
        EXPECT_FALSE(enabled("DAEMON_START_BUTTON"));
    }
    ASSERT_TRUE(main.showsFreshSnapshot());
    EXPECT_TRUE(enabled("QT_START_BUTTON"));
    EXPECT_TRUE(enabled("DAEMON_START_BUTTON"));
    {
        ChildProcess daemonRuns(programs.program(daemon));
        ASSERT_TRUE(main.showsFreshSnapshot());
        EXPECT_FALSE(enabled("QT_START_BUTTON"));
        EXPECT_FALSE(enabled("DAEMON_START_BUTTON"));

        // Without a daemon name the buttons keep what they show, whatever runs.
        main.setName(Key::DaemonName, "");
        ChildProcess walletRuns(walletProgram);
        main.control<QPushButton>("QT_START_BUTTON").setEnabled(true);
        ASSERT_TRUE(main.showsFreshSnapshot());
        EXPECT_TRUE(enabled("QT_START_BUTTON"));
        EXPECT_FALSE(enabled("DAEMON_START_BUTTON"));
    }
}

TEST_F(ProcessWatcherTest, CliStopButtonIsDisabledWhileTheClientRuns)
{
    const std::string client = uniqueName("client-");
    main.setName(Key::CliName, client);
    {
        ChildProcess clientRuns(programs.program(client));
        ASSERT_TRUE(main.showsFreshSnapshot());
        EXPECT_FALSE(enabled("CLI_STOP_BUTTON"));
        EXPECT_EQ(main.light(3).colour(), colours::kGreen);
    }
    ASSERT_TRUE(main.showsFreshSnapshot());
    EXPECT_TRUE(enabled("CLI_STOP_BUTTON"));
}

// Records the thread it is asked from.
class ThreadRecordingTable : public fake::ProcessTable
{
public:
    ProcessQuery queryRunning(const std::vector<std::string>& names) override
    {
        askedOnGuiThread = QThread::currentThread() == QCoreApplication::instance()->thread();
        return fake::ProcessTable::queryRunning(names);
    }
    std::atomic<bool> askedOnGuiThread = true;
};

TEST(ProcessWatcher, SnapshotsAreTakenOffTheGuiThreadAndAnUnreadableTableIsShownInTheToolTips)
{
    ThreadRecordingTable table;
    test::WatchedMainWindow main(table);
    main.setName(Key::DaemonName, "bitcoind");
    table.start("bitcoind");
    ASSERT_TRUE(main.showsFreshSnapshot());
    EXPECT_FALSE(table.askedOnGuiThread);
    EXPECT_EQ(main.light(2).colour(), colours::kGreen);

    table.setFailure("cannot read /proc: Permission denied");
    ASSERT_TRUE(main.showsFreshSnapshot());
    EXPECT_EQ(main.light(2).colour(), colours::kGreen);
    EXPECT_EQ(main.light(2).toolTip(),
              "bitcoind - DAEMON PROCESS STATE UNKNOWN (cannot read /proc: Permission denied)");
    EXPECT_TRUE(main.light(4).toolTip().contains("STATE UNKNOWN"));
    EXPECT_TRUE(main.window().isVisible());
}

} // namespace
} // namespace korvane
