#pragma once

#include <string_view>

namespace korvane {

// The option texts of one pair of tick boxes, for its On and Disabled states; Off adds nothing.
struct OptionTexts
{
    std::string_view on;
    std::string_view disabled;
};

inline constexpr OptionTexts kWalletOption { "-disablewallet=0", "-disablewallet=1" };
inline constexpr OptionTexts kDaemonOption { "-daemon=1", "-daemon=0" };

// A main tick box and its "Disabled" tick box, which together switch one command-line option:
//   Off      main clear,               "Disabled" clear and greyed  -> no option
//   On       main ticked,              "Disabled" clear             -> the option's On text
//   Disabled main ticked and greyed,   "Disabled" ticked            -> the option's Disabled text
// "Disabled" can only be ticked while the main tick is set, and the main tick cannot be cleared
// while "Disabled" is ticked, so the pair never shows "Disabled" beside a clear main tick.
class OptionPair
{
public:
    enum class State
    {
        Off,
        On,
        Disabled,
    };

    explicit OptionPair(OptionTexts texts)
        : m_texts(texts)
    {
    }

    // The state that two stored ticks stand for; a "Disabled" tick without the main tick is Off.
    void load(bool mainTicked, bool disabledTicked);
    void clickMain();
    void clickDisabled();
    // The state after the shown ticks changed, however they were changed: a change the rules above
    // forbid is not taken, so the ticks are to be shown again from the state.
    void follow(bool mainTicked, bool disabledTicked);

    State state() const { return m_state; }
    bool mainTicked() const { return m_state != State::Off; }
    bool mainClickable() const { return m_state != State::Disabled; }
    bool disabledTicked() const { return m_state == State::Disabled; }
    bool disabledClickable() const { return m_state != State::Off; }
    std::string_view option() const;

private:
    OptionTexts m_texts;
    State m_state = State::Off;
};

} // namespace korvane
