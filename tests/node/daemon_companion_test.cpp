#include "gui/live_profile.h"
#include "platform/fake/fake_desktop.h"
#include "platform/fake/fake_services.h"
#include "node/daemon_companion.h"

#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace korvane {
namespace {

class DaemonCompanionTest : public ::testing::Test
{
protected:
    fake::Services fakes;
    LiveProfile profile { fakes.settings, fakes.ownExecutable };
    fake::KeepAwake keepAwake;
    fake::Notices notices;
    fake::ShutdownGuard shutdownGuard;
    DaemonCompanion companion { profile, keepAwake, notices, shutdownGuard };
    QSignalSpy messages { &companion, &DaemonCompanion::statusMessage };
    QSignalSpy restarts { &companion, &DaemonCompanion::restartDue };

    QTimer* restartTimer() { return companion.findChild<QTimer*>(QStringLiteral("DAEMON_RESTART_TIMER")); }
};

TEST_F(DaemonCompanionTest, HoldsWhileTheDaemonRunsAndTellsOfAnEndByItself)
{
    EXPECT_TRUE(profile.setText(Key::CryptoName, QStringLiteral("LTC - Litecoin")));
    companion.setDaemonRunning(true);
    EXPECT_TRUE(keepAwake.held());
    EXPECT_EQ(keepAwake.holds, std::vector<std::string> { "a node is running" });

    companion.stopAsked();
    companion.setDaemonRunning(false);
    EXPECT_FALSE(keepAwake.held());
    EXPECT_TRUE(notices.shown.empty()) << "a stop from here is no news";

    companion.setDaemonRunning(true);
    companion.setDaemonRunning(false);
    ASSERT_EQ(notices.shown.size(), 1u);
    EXPECT_TRUE(QString::fromStdString(notices.shown[0])
                    .contains(QRegularExpression(QStringLiteral(
                        "^LTC - Litecoin: the daemon ended\\|The daemon ended by itself at \\d\\d:\\d\\d:\\d\\d$"))))
        << notices.shown[0];
    ASSERT_EQ(messages.size(), 1);
    EXPECT_FALSE(restartTimer()->isActive()) << "restarting is opt-in";
    EXPECT_EQ(keepAwake.releases, 2);
}

TEST_F(DaemonCompanionTest, FollowsTheKeepAwakeChoice)
{
    EXPECT_TRUE(profile.setText(Key::KeepAwakeWhile, QStringLiteral("off")));
    companion.setDaemonRunning(true);
    EXPECT_FALSE(keepAwake.held());

    EXPECT_TRUE(profile.setText(Key::KeepAwakeWhile, QStringLiteral("syncing")));
    EXPECT_TRUE(keepAwake.held()) << "syncing until the node says otherwise";
    companion.setNodeSyncing(false);
    EXPECT_FALSE(keepAwake.held());
    companion.setNodeSyncing(true);
    EXPECT_TRUE(keepAwake.held());

    EXPECT_TRUE(profile.setText(Key::KeepAwakeWhile, QStringLiteral("daemon")));
    companion.setNodeSyncing(false);
    EXPECT_TRUE(keepAwake.held());
}

TEST_F(DaemonCompanionTest, SaysOnceWhenNoServiceKeepsTheComputerAwake)
{
    keepAwake.refusal = "no service on the session bus keeps the computer awake";
    for (bool running : { true, false, true })
        companion.setDaemonRunning(running);
    ASSERT_EQ(messages.size(), 2); // the refusal once, and the daemon's end
    EXPECT_EQ(messages[0][0].toString(),
              QStringLiteral("Cannot keep the computer awake: no service on the session bus keeps the computer awake"));
}

TEST_F(DaemonCompanionTest, RestartsAfterAPauseWhenAskedTo)
{
    EXPECT_TRUE(profile.setTicked(Key::RestartDaemonTick, true));
    companion.setDaemonRunning(true);
    companion.setDaemonRunning(false);
    ASSERT_TRUE(restartTimer()->isActive());
    EXPECT_EQ(restartTimer()->interval(), 60'000);
    EXPECT_TRUE(messages.last()[0].toString().endsWith(QLatin1String("; restarting it in 1 minute")));

    restartTimer()->setInterval(0);
    restartTimer()->start();
    QTRY_COMPARE(restarts.size(), 1);

    // Started again and ended again: the pause doubles; a stop from here cancels a planned restart.
    companion.setDaemonRunning(true);
    companion.setDaemonRunning(false);
    EXPECT_EQ(restartTimer()->interval(), 120'000);
    companion.stopAsked();
    EXPECT_FALSE(restartTimer()->isActive());
}

TEST_F(DaemonCompanionTest, HoldsOffShutdownWhileTheDaemonRunsAndStopsItWhenAsked)
{
    QSignalSpy shutdownStops(&companion, &DaemonCompanion::shutdownStopDue);
    companion.setDaemonRunning(true);
    EXPECT_TRUE(shutdownGuard.held());
    shutdownGuard.requestShutdown();
    EXPECT_EQ(shutdownStops.size(), 1);
    companion.setDaemonRunning(false);
    EXPECT_FALSE(shutdownGuard.held());
    EXPECT_EQ(shutdownGuard.releases, 1);
}

} // namespace
} // namespace korvane
