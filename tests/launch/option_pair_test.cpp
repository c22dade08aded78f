#include "launch/option_pair.h"

#include <gtest/gtest.h>
#include <vector>

namespace korvane {
namespace {

using State = OptionPair::State;

OptionPair pairIn(State state, OptionTexts texts = kWalletOption)
{
    OptionPair pair(texts);
    pair.load(state != State::Off, state == State::Disabled);
    return pair;
}

TEST(OptionPairTest, EveryClickOfTheTransitionTable)
{
    struct Transition
    {
        State from;
        bool mainClicked;
        State to;
    };
    const Transition transitions[] = {
        { State::Off, true, State::On },       { State::On, true, State::Off },
        { State::On, false, State::Disabled }, { State::Disabled, false, State::On },
        { State::Off, false, State::Off },     { State::Disabled, true, State::Disabled },
    };
    for (const auto& [from, mainClicked, to] : transitions) {
        OptionPair pair = pairIn(from);
        if (mainClicked)
            pair.clickMain();
        else
            pair.clickDisabled();
        EXPECT_EQ(pair.state(), to) << static_cast<int>(from) << (mainClicked ? " main" : " disabled");
    }
}

TEST(OptionPairTest, EachStateShowsItsTicksClickableBoxesAndOption)
{
    struct Look
    {
        State state;
        bool mainTicked, mainClickable, disabledTicked, disabledClickable;
        std::string_view wallet, daemon;
    };
    const Look looks[] = {
        { State::Off, false, true, false, false, "", "" },
        { State::On, true, true, false, true, "-disablewallet=0", "-daemon=1" },
        { State::Disabled, true, false, true, true, "-disablewallet=1", "-daemon=0" },
    };
    for (const Look& look : looks) {
        SCOPED_TRACE(static_cast<int>(look.state));
        const OptionPair pair = pairIn(look.state);
        EXPECT_EQ(pair.mainTicked(), look.mainTicked);
        EXPECT_EQ(pair.mainClickable(), look.mainClickable);
        EXPECT_EQ(pair.disabledTicked(), look.disabledTicked);
        EXPECT_EQ(pair.disabledClickable(), look.disabledClickable);
        EXPECT_EQ(pair.option(), look.wallet);
        EXPECT_EQ(pairIn(look.state, kDaemonOption).option(), look.daemon);
    }
}

TEST(OptionPairTest, StateAtOpenFromTheStoredTicks)
{
    OptionPair pair(kDaemonOption);
    pair.load(true, true);
    EXPECT_EQ(pair.state(), State::Disabled);
    pair.load(true, false);
    EXPECT_EQ(pair.state(), State::On);
    pair.load(false, false);
    EXPECT_EQ(pair.state(), State::Off);
    // Only an outside edit stores "Disabled" without the main tick; it opens as Off.
    pair.load(false, true);
    EXPECT_EQ(pair.state(), State::Off);
    EXPECT_FALSE(pair.disabledTicked());
}

// Every sequence of up to eight clicks, from every stored combination: what Save stores never has
// "Disabled" ticked beside a clear main tick, and the option always matches the ticks.
TEST(OptionPairTest, NoClickSequenceShowsDisabledWithoutTheMainTick)
{
    constexpr int kClicks = 8;
    for (int stored = 0; stored < 4; ++stored) {
        for (unsigned sequence = 0; sequence < (1u << kClicks); ++sequence) {
            OptionPair pair(kWalletOption);
            pair.load(stored & 1, stored & 2);
            for (int click = 0; click < kClicks; ++click) {
                if (sequence & (1u << click))
                    pair.clickMain();
                else
                    pair.clickDisabled();
                ASSERT_FALSE(pair.disabledTicked() && !pair.mainTicked()) << stored << ' ' << sequence;
                const std::string_view expected
                    = !pair.mainTicked() ? "" : (pair.disabledTicked() ? "-disablewallet=1" : "-disablewallet=0");
                ASSERT_EQ(pair.option(), expected);
            }
        }
    }
}

} // namespace
} // namespace korvane
