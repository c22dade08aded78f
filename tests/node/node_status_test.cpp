#include "node/node_status.h"

#include <cmath>
#include <gtest/gtest.h>

namespace korvane {
namespace {

TEST(NodeStatusTexts, ProgressSizesAndTimesReadAsAPersonWould)
{
    EXPECT_EQ(percentText(0.123456), "12.34 %");
    EXPECT_EQ(percentText(0.999999), "99.99 %"); // a node still catching up never reads 100
    EXPECT_EQ(percentText(1.0), "100.00 %");
    EXPECT_EQ(percentText(-0.1), "?") << "no node reports a negative progress";

    EXPECT_EQ(timeLeftText(20), "under a minute left");
    EXPECT_EQ(timeLeftText(4 * 60 + 10), "about 4 min left");
    EXPECT_EQ(timeLeftText(2 * 3600 + 5 * 60), "about 2 h 05 min left");

    EXPECT_EQ(countText(2454), "2,454");
    EXPECT_EQ(ageText(45), "45 s");
    EXPECT_EQ(ageText(3 * 3600 + 59), "3 h");
    EXPECT_EQ(ageText(5 * 86400), "5 days");

    EXPECT_EQ(sizeText(980), "980 bytes");
    EXPECT_EQ(sizeText(1'234'567'890), "1.23 GB");
    EXPECT_EQ(sizeText(999'999), "1.00 MB");
    EXPECT_EQ(sizeText(45'600'000'000'000), "45.60 TB");

    EXPECT_EQ(elapsedText(7), "0:07");
    EXPECT_EQ(elapsedText(12 * 60 + 30), "12:30");
    EXPECT_EQ(elapsedText(3723), "1:02:03");
}

TEST(NodeStatusLines, ShowTheNodesAnswersInOlderAndNewerForms)
{
    NodeFigures figures;
    figures.chain = ChainInfo { "main", 2'000'000, 2'500'000, 0.8, true, 45'600'000'000, false, "", std::string() };
    figures.tipTime = 1'000'000;
    const SyncJudgement behind = judgeSync(figures, 1'000'000 + 3 * 3600, { 86400, 150 });
    EXPECT_FALSE(behind.synced);
    EXPECT_EQ(syncText(behind), "500,000 blocks behind, last block 3 h ago");
    EXPECT_EQ(statusLines(figures, behind, "Progress: 80.00 %", "Time left: about 1 h 00 min"),
              (std::vector<std::string> {
                  "Network: main",
                  "Blocks: 2,000,000 / 2,500,000 (500,000 left)",
                  "Last block: 3 h ago",
                  "Progress: 80.00 %",
                  "Time left: about 1 h 00 min",
                  "Size on disk: 45.60 GB",
                  "Warnings: none",
              }));

    // An older node: one warnings text, the peers as a total. Impossible figures read "?".
    figures.chain
        = ChainInfo { "regtest", 105, 105, 1.0, false, std::nullopt, false, "", std::string("Unknown rules") };
    figures.network = NetworkInfo { 180100, 70015, "/Satoshi:0.18.1/", std::nullopt, std::nullopt, 11, std::string() };
    figures.blockCount = 105;
    const SyncJudgement synced = judgeSync(figures, 1'000'000 + 60, { 86400, 150 });
    EXPECT_TRUE(synced.synced);
    EXPECT_EQ(statusLines(figures, synced, "", ""),
              (std::vector<std::string> {
                  "Network: regtest",
                  "Blocks: 105 / 105",
                  "Last block: 1 min ago",
                  "Peers: 11",
                  "Size on disk: ?",
                  "Version: /Satoshi:0.18.1/ (180100)",
                  "Warnings: Unknown rules",
              }));
    EXPECT_EQ(sizeText(-1), "?");
    EXPECT_EQ(countText(-5), "?");
    EXPECT_EQ(percentText(std::nan("")), "?");

    // A newer node: lists of warnings, peers in and out; the network's own warnings are added.
    figures.chain->warnings = std::vector<std::string> { "Unknown rules", "Clock off" };
    figures.network
        = NetworkInfo { 270000, 70016, "/Satoshi:27.0.0/", 3, 8, 11, std::vector<std::string> { "Proxy down" } };
    const auto lines = statusLines(figures, synced, "", "");
    EXPECT_EQ(lines.at(3), "Peers: 3 in, 8 out");
    EXPECT_EQ(lines.back(), "Warnings: Unknown rules; Clock off; Proxy down");
}

TEST(NodeStatusSync, SyncedOnlyWhenCaughtUpWithHeadersAndARecentTip)
{
    NodeFigures figures;
    figures.chain = ChainInfo { "main", 100, 100, 1.0, false, 0, false, "", std::string() };
    const ChainPace litecoin { 86400, 150 };
    EXPECT_FALSE(judgeSync(figures, 0, litecoin).synced) << "the tip's time is not known yet";
    figures.tipTime = 1000;
    EXPECT_TRUE(judgeSync(figures, 2000, litecoin).synced);
    EXPECT_FALSE(judgeSync(figures, 1000 + 86400, litecoin).synced) << "a day-old tip is behind";
    figures.blockCount = 98; // fresher than the chain's own figure
    EXPECT_EQ(judgeSync(figures, 2000, litecoin).blocksBehind, 2);
    EXPECT_FALSE(judgeSync(figures, 2000, litecoin).synced) << "out of the initial download yet 2 blocks behind";

    // Headers that lag: a tip 10 days old at 2.5 minutes a block is 5,760 blocks from the chain's
    // height now; 100 headers of 5,858 or so are 1.7 %.
    figures.blockCount = 98;
    const SyncJudgement lagging = judgeSync(figures, 1000 + 10 * 86400, litecoin);
    ASSERT_TRUE(lagging.headersShare);
    EXPECT_NEAR(*lagging.headersShare, 100.0 / (98 + 5760), 1e-9);
    figures.chain->chain = "regtest";
    EXPECT_FALSE(judgeSync(figures, 1000 + 10 * 86400, litecoin).headersShare) << "regtest keeps no pace";
    figures.chain->verificationProgress = 1.0;
    EXPECT_NEAR(*figures.progress(), 0.98, 1e-9) << "regtest's own progress figure means nothing";
}

} // namespace
} // namespace korvane
