#include "details/details_rules.h"

#include <cmath>
#include <gtest/gtest.h>

namespace korvane {
namespace {

constexpr double kSpan = 30 * 60;

// A rate at `at` seconds: `kilobytes` kB/s received, half of it sent.
TrafficRate rateAt(double at, double kilobytes)
{
    return { at, kilobytes * 1000, kilobytes * 500 };
}

TEST(TrafficScale, TopsTheHighestRateOfTheSpanWithARoundFigure)
{
    struct Case
    {
        std::vector<TrafficRate> rates;
        double top;
        std::vector<double> ticks;
    };
    const Case cases[] = {
        { {}, 0.1, { 0, 0.02, 0.04, 0.06, 0.08, 0.1 } }, // nothing measured yet
        { { rateAt(10, 0.005) }, 0.1, { 0, 0.02, 0.04, 0.06, 0.08, 0.1 } }, // never below 0.1 kB/s
        { { rateAt(10, 0.3) }, 0.5, { 0, 0.1, 0.2, 0.3, 0.4, 0.5 } },
        { { rateAt(10, 1.5), rateAt(20, 0.3) }, 2, { 0, 0.5, 1, 1.5, 2 } },
        { { rateAt(10, 2) }, 2, { 0, 0.5, 1, 1.5, 2 } }, // a round figure tops itself
        { { rateAt(10, 4.2) }, 5, { 0, 1, 2, 3, 4, 5 } },
        { { rateAt(10, 120) }, 200, { 0, 50, 100, 150, 200 } },
        { { rateAt(10, 9000), rateAt(10 + kSpan + 1, 3) }, 5, { 0, 1, 2, 3, 4, 5 } }, // older than the span
    };
    for (const Case& shown : cases) {
        const TrafficScale scale = trafficScale(shown.rates, kSpan);
        EXPECT_DOUBLE_EQ(scale.top, shown.top) << shown.rates.size();
        ASSERT_EQ(scale.ticks.size(), shown.ticks.size()) << shown.top;
        for (std::size_t i = 0; i < shown.ticks.size(); ++i)
            EXPECT_NEAR(scale.ticks[i], shown.ticks[i], 1e-9) << shown.top;
    }
}

TEST(TrafficScale, PlacesEachRateOfTheSpanBetweenItsStartAndTheLastRate)
{
    const std::vector<TrafficRate> rates { rateAt(0, 8), rateAt(200, 4), rateAt(200 + kSpan / 2, 1),
                                           rateAt(200 + kSpan, 2) };
    const std::vector<GraphPoint> points = graphPoints(rates, kSpan, 5);
    ASSERT_EQ(points.size(), 3u); // the first is older than the span
    EXPECT_DOUBLE_EQ(points[0].x, 0);
    EXPECT_DOUBLE_EQ(points[0].received, 0.8);
    EXPECT_DOUBLE_EQ(points[0].sent, 0.4);
    EXPECT_DOUBLE_EQ(points[1].x, 0.5);
    EXPECT_DOUBLE_EQ(points[2].x, 1);
    EXPECT_DOUBLE_EQ(points[2].received, 0.4);
}

TEST(DetailsTexts, FiguresReadAsShownAndImpossibleOnesAsAQuestionMark)
{
    EXPECT_EQ(durationText(45), "45 s");
    EXPECT_EQ(durationText(12 * 60 + 5), "12 min");
    EXPECT_EQ(durationText(3 * 3600 + 12 * 60 + 30), "3 h 12 min");
    EXPECT_EQ(durationText(3 * 3600 + 30), "3 h");
    EXPECT_EQ(durationText(4 * 86400 + 3600), "4 days");
    EXPECT_EQ(pingText(0.000123), "0.12");
    EXPECT_EQ(pingText(0.0479), "48");
    for (const std::optional<double> impossible :
         { std::optional<double>(), std::optional(-1.0), std::optional(std::nan("")) })
        EXPECT_EQ(pingText(impossible), "?");

    EXPECT_EQ(mempoolTexts(std::nullopt), (std::array<std::string, 4> { "?", "?", "?", "?" }));
    MempoolInfo mempool { 1234, 567890, 1'200'000, 300'000'000, 0.00001 };
    EXPECT_EQ(
        mempoolTexts(mempool),
        (std::array<std::string, 4> { "1,234", "567.89 kB", "1.20 MB of 300.00 MB", "0.00001000 coins per kvB" }));

    NodeFacts facts;
    const auto unknown = nodeTexts(facts, "");
    EXPECT_EQ(unknown[0], "?"); // version
    EXPECT_EQ(unknown[6], "? (block files ?, chainstate ?)");
    EXPECT_EQ(unknown[7], "?"); // pruned: not known before the chain is
    EXPECT_EQ(unknown[8], "none"); // warnings
    facts.version = 210201;
    facts.subversion = "/LitecoinCore:0.21.2.1/";
    facts.chain = "regtest";
    facts.sizeOnDisk = 1'000'000'000;
    facts.chainStateSize = 230'000'000;
    facts.uptime = 3 * 3600 + 12 * 60;
    const auto known = nodeTexts(facts, "2026-12-09 19:24:10");
    EXPECT_EQ(known[0], "210201 /LitecoinCore:0.21.2.1/");
    EXPECT_EQ(known[3], "3 h 12 min");
    EXPECT_EQ(known[4], "2026-12-09 19:24:10");
    EXPECT_EQ(known[6], "1.23 GB (block files 1.00 GB, chainstate 230.00 MB)");
    EXPECT_EQ(known[7], "no");
}

} // namespace
} // namespace korvane
