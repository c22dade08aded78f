#include "gui/live_profile.h"
#include "node/daemon_companion.h"
#include "platform/fake/fake_desktop.h"
#include "platform/fake/fake_services.h"

#include <QSignalSpy>
#include <gtest/gtest.h>
#include <memory>

namespace korvane {
namespace {

NodeSnapshot inState(NodeState state)
{
    NodeSnapshot snapshot;
    snapshot.state = state;
    snapshot.processRunning = state == NodeState::Starting || state == NodeState::CatchingUp
        || state == NodeState::Synced || state == NodeState::Stopping;
    return snapshot;
}

class DaemonCompanionTest : public ::testing::Test
{
protected:
    fake::Services fakes;
    LiveProfile profile { fakes.settings, fakes.ownExecutable };
    fake::KeepAwake keepAwake;
    fake::Notices notices;
    fake::ShutdownGuard shutdownGuard;
    std::unique_ptr<DaemonCompanion> companion
        = std::make_unique<DaemonCompanion>(profile, keepAwake, notices, shutdownGuard);
    QSignalSpy messages { companion.get(), &DaemonCompanion::statusMessage };

    void follow()
    {
        QObject::connect(&profile, &LiveProfile::changed, companion.get(), &DaemonCompanion::profileChanged);
    }
};

TEST_F(DaemonCompanionTest, KeepsAwakeAsChosenWhileTheNodeRunsOrSyncs)
{
    follow();
    companion->show(inState(NodeState::Starting));
    EXPECT_EQ(keepAwake.holds, std::vector<std::string> { "a node is running" });

    EXPECT_TRUE(profile.setText(Key::KeepAwakeWhile, QStringLiteral("syncing")));
    EXPECT_TRUE(keepAwake.held());
    companion->show(inState(NodeState::Synced));
    EXPECT_FALSE(keepAwake.held()) << "synced: nothing to wait for";
    companion->show(inState(NodeState::CatchingUp));
    EXPECT_TRUE(keepAwake.held()) << "a synced node that falls behind syncs again";

    EXPECT_TRUE(profile.setText(Key::KeepAwakeWhile, QStringLiteral("off")));
    EXPECT_FALSE(keepAwake.held());
    EXPECT_TRUE(profile.setText(Key::KeepAwakeWhile, QStringLiteral("daemon")));
    companion->show(inState(NodeState::StoppedCleanly));
    EXPECT_FALSE(keepAwake.held());

    keepAwake.refusal = "no service on the session bus keeps the computer awake";
    for (NodeState state : { NodeState::Starting, NodeState::EndedUnexpectedly, NodeState::Starting })
        companion->show(inState(state));
    ASSERT_EQ(messages.size(), 1) << "said once";
    EXPECT_EQ(messages[0][0].toString(),
              QStringLiteral("Cannot keep the computer awake: no service on the session bus keeps the computer awake"));
}

TEST_F(DaemonCompanionTest, HoldsOffShutdownWhileTheNodeRunsAndSaysSoWhenTheProgramEndsBeforeIt)
{
    QSignalSpy shutdownStops(companion.get(), &DaemonCompanion::shutdownStopDue);
    follow();
    EXPECT_TRUE(profile.setText(Key::CryptoName, QStringLiteral("LTC")));
    companion->show(inState(NodeState::Synced));
    EXPECT_TRUE(shutdownGuard.held());
    shutdownGuard.requestShutdown();
    EXPECT_EQ(shutdownStops.size(), 1);
    companion->show(inState(NodeState::Stopping));
    EXPECT_TRUE(shutdownGuard.held()) << "held until the process is gone";
    companion->show(inState(NodeState::Ending));
    EXPECT_FALSE(shutdownGuard.held());
    EXPECT_TRUE(notices.shown.empty());

    companion->show(inState(NodeState::Synced));
    companion.reset(); // Exit while the node runs
    ASSERT_EQ(notices.shown.size(), 1u);
    EXPECT_EQ(notices.shown[0].substr(0, notices.shown[0].find('|')), "LTC: the node still runs");
    EXPECT_NE(notices.shown[0].find("shutdown is no longer held off"), std::string::npos);
}

} // namespace
} // namespace korvane
