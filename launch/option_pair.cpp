#include "launch/option_pair.h"

namespace korvane {

void OptionPair::load(bool mainTicked, bool disabledTicked)
{
    if (!mainTicked)
        m_state = State::Off;
    else
        m_state = disabledTicked ? State::Disabled : State::On;
}

void OptionPair::clickMain()
{
    if (m_state == State::Off)
        m_state = State::On;
    else if (m_state == State::On)
        m_state = State::Off;
}

void OptionPair::clickDisabled()
{
    if (m_state == State::On)
        m_state = State::Disabled;
    else if (m_state == State::Disabled)
        m_state = State::On;
}

void OptionPair::follow(bool mainTicked, bool disabledTicked)
{
    if (mainTicked != this->mainTicked())
        clickMain();
    if (disabledTicked != this->disabledTicked())
        clickDisabled();
}

std::string_view OptionPair::option() const
{
    switch (m_state) {
    case State::On:
        return m_texts.on;
    case State::Disabled:
        return m_texts.disabled;
    case State::Off:
        break;
    }
    return {};
}

} // namespace korvane
