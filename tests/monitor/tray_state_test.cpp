#include "monitor/tray_state.h"

#include <gtest/gtest.h>

namespace korvane {
namespace {

TEST(TrayState, FollowsTheDaemonsLightTheStopAskedAndTheNodesAnswer)
{
    using enum NodeRpcState;
    using enum TrayState;
    constexpr std::optional<double> kUnknown;
    struct Case
    {
        TrayInputs inputs; // daemon running, stopping, RPC state, progress, initial download
        TrayState state;
        const char* toolTip;
    };
    const Case cases[] = {
        { { false, false, Idle, kUnknown, false }, Stopped, "Litecoin: node stopped" },
        // The light counts, not what the panel last heard: a stop seen through, an answer gone stale.
        { { false, true, Answering, 1.0, false }, Stopped, "Litecoin: node stopped" },
        { { true, false, Idle, kUnknown, false }, StartingOrSyncing, "Litecoin: node starting" },
        { { true, false, NotAnswering, kUnknown, false }, StartingOrSyncing, "Litecoin: node starting" },
        { { true, false, Starting, kUnknown, false }, StartingOrSyncing, "Litecoin: node starting" },
        { { true, false, Answering, 0.456789, true }, StartingOrSyncing, "Litecoin: node syncing, 45.67 %" },
        { { true, false, Answering, 0.99999, false }, Running, "Litecoin: node running, synced" },
        // Running, but whether it has caught up cannot be told.
        { { true, false, CredentialsRefused, kUnknown, false },
          StartingOrSyncing,
          "Litecoin: node running, status unknown (RPC credentials refused)" },
        { { true, false, Failed, kUnknown, false },
          StartingOrSyncing,
          "Litecoin: node running, status unknown (RPC error)" },
        // A stop under way outweighs what the node last said.
        { { true, true, Answering, 1.0, false },
          Stopping,
          "Litecoin: node stopping \u2014 do not shut down the computer" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.toolTip);
        EXPECT_EQ(trayState(c.inputs), c.state);
        EXPECT_EQ(trayToolTip("Litecoin", c.inputs), c.toolTip);
    }
}

} // namespace
} // namespace korvane
