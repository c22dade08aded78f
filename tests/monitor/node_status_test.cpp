#include "monitor/node_status.h"

#include <gtest/gtest.h>

namespace korvane {
namespace {

TEST(NodeStatusTexts, ProgressSizesAndTimesReadAsAPersonWould)
{
    EXPECT_EQ(percentText(0.123456), "12.34 %");
    EXPECT_EQ(percentText(0.999999), "99.99 %"); // a node still catching up never reads 100
    EXPECT_EQ(percentText(1.0), "100.00 %");
    EXPECT_EQ(percentText(-0.1), "0.00 %");

    EXPECT_EQ(timeLeftText(20), "under a minute left");
    EXPECT_EQ(timeLeftText(4 * 60 + 10), "about 4 min left");
    EXPECT_EQ(timeLeftText(2 * 3600 + 5 * 60), "about 2 h 05 min left");

    EXPECT_EQ(sizeText(980), "980 bytes");
    EXPECT_EQ(sizeText(1'234'567'890), "1.23 GB");
    EXPECT_EQ(sizeText(999'999), "1.00 MB");
    EXPECT_EQ(sizeText(45'600'000'000'000), "45.60 TB");

    EXPECT_EQ(elapsedText(7), "0:07");
    EXPECT_EQ(elapsedText(12 * 60 + 30), "12:30");
    EXPECT_EQ(elapsedText(3723), "1:02:03");
}

TEST(NodeStatusTimeLeft, ComesFromTheRateOverTheLastMinutes)
{
    ProgressSamples samples(300);
    EXPECT_FALSE(samples.secondsLeft());
    samples.add(0, 0.50);
    samples.add(5, 0.51);
    EXPECT_FALSE(samples.secondsLeft()) << "5 s are too short to take a rate from";
    samples.add(10, 0.52);
    ASSERT_TRUE(samples.secondsLeft());
    EXPECT_NEAR(*samples.secondsLeft(), 0.48 / 0.002, 1e-6); // 0.2 % per second

    // After the window only the recent rate counts: 0.01 over the last 300 s.
    samples.add(400, 0.60);
    samples.add(700, 0.61);
    ASSERT_TRUE(samples.secondsLeft());
    EXPECT_NEAR(*samples.secondsLeft(), 0.39 * 300 / 0.01, 1e-6);

    samples.add(710, 0.61);
    samples.add(720, 0.20); // a reindex starts over
    EXPECT_FALSE(samples.secondsLeft());
    samples.add(730, 0.20);
    EXPECT_FALSE(samples.secondsLeft()) << "no progress, no estimate";
}

TEST(NodeStatusLines, ShowWhatTheNodeSaysOfItselfInOlderAndNewerForms)
{
    NodeReading reading;
    reading.chain = { "main", 2'000'000, 2'500'000, 0.8, true, 45'600'000'000, std::string() };
    reading.secondsLeft = 3600;
    EXPECT_EQ(statusLines(reading),
              (std::vector<std::string> {
                  "Network: main",
                  "Blocks: 2000000 / 2500000",
                  "Verification: 80.00 %, about 1 h 00 min left",
                  "Initial download",
                  "Size on disk: 45.60 GB",
                  "Warnings: none",
              }));

    // An older node: one warnings text, the peers as a total.
    NetworkInfo older { 180100, "/Satoshi:0.18.1/", std::nullopt, std::nullopt, 11, std::string("Unknown rules") };
    reading.chain = { "regtest", 105, 105, 1.0, false, std::nullopt, std::string("Unknown rules") };
    reading.network = older;
    EXPECT_EQ(statusLines(reading),
              (std::vector<std::string> {
                  "Network: regtest",
                  "Blocks: 105 / 105",
                  "Verification: 100.00 %",
                  "Synced",
                  "Peers: 11",
                  "Version: /Satoshi:0.18.1/ (180100)",
                  "Warnings: Unknown rules",
              }));

    // A newer node: lists of warnings, peers in and out; the network's own warnings are added.
    reading.chain.warnings = std::vector<std::string> { "Unknown rules", "Clock off" };
    reading.network = NetworkInfo { 270000, "/Satoshi:27.0.0/", 3, 8, 11, std::vector<std::string> { "Proxy down" } };
    const auto lines = statusLines(reading);
    EXPECT_EQ(lines.at(4), "Peers: 3 in, 8 out");
    EXPECT_EQ(lines.back(), "Warnings: Unknown rules; Clock off; Proxy down");
    EXPECT_EQ(warningsText(std::vector<std::string> {}), "none");
}

TEST(NodeStatusStates, FollowHowEachCallEnded)
{
    using Kind = RpcOutcome::Kind;
    EXPECT_EQ(stateAfter({ Kind::Result, 0, "" }), NodeRpcState::Answering);
    EXPECT_EQ(stateAfter({ Kind::RpcError, -28, "Loading block index…" }), NodeRpcState::Starting);
    EXPECT_EQ(stateAfter({ Kind::RpcError, -32601, "Method not found" }), NodeRpcState::Failed);
    EXPECT_EQ(stateAfter({ Kind::Refused, 0, "" }), NodeRpcState::CredentialsRefused);
    EXPECT_EQ(stateAfter({ Kind::NoAnswer, 0, "" }), NodeRpcState::NotAnswering);
    EXPECT_EQ(stateAfter({ Kind::Failed, 0, "HTTP 403" }), NodeRpcState::Failed);
}

TEST(NodeStopWatch, StoppingUntilTheProcessIsGoneThenOverdueAfterTheLimit)
{
    StopWatch watch;
    watch.setLimitMinutes(10);
    watch.stopAsked(100, false);
    EXPECT_EQ(watch.phase(101), StopWatch::Phase::None) << "nothing to stop";

    watch.stopAsked(100, true);
    EXPECT_EQ(watch.text(142), "stopping \u2014 do not shut down the computer (0:42)");
    watch.stopAsked(130, true); // asked again: the time counts from the first
    EXPECT_EQ(watch.text(160), "stopping \u2014 do not shut down the computer (1:00)");
    EXPECT_EQ(watch.phase(700), StopWatch::Phase::Overdue);
    EXPECT_NE(watch.text(700).find("process terminator"), std::string::npos) << watch.text(700);
    EXPECT_NE(watch.text(700).find("10:00"), std::string::npos) << watch.text(700);

    watch.daemonRunning(true);
    EXPECT_EQ(watch.phase(700), StopWatch::Phase::Overdue) << "still the same process";
    watch.daemonRunning(false);
    EXPECT_EQ(watch.text(800), "stopped cleanly");
    watch.daemonRunning(true);
    EXPECT_EQ(watch.phase(900), StopWatch::Phase::None) << "started again";
}

} // namespace
} // namespace korvane
