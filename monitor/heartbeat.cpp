#include "monitor/heartbeat.h"

#include "platform/keyboard.h"

#include <cstdio>
#include <vector>

namespace korvane {
namespace {

constexpr int kSecondsPerDay = 24 * 60 * 60;

std::string_view trimmed(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// A field of one or two digits, no larger than `maximum`.
std::optional<int> field(std::string_view digits, int maximum)
{
    if (digits.empty() || digits.size() > 2)
        return std::nullopt;
    int value = 0;
    for (const char digit : digits) {
        if (digit < '0' || digit > '9')
            return std::nullopt;
        value = value * 10 + (digit - '0');
    }
    if (value > maximum)
        return std::nullopt;
    return value;
}

std::vector<std::string_view> splitAtColons(std::string_view text)
{
    std::vector<std::string_view> parts;
    for (std::size_t colon; (colon = text.find(':')) != std::string_view::npos; text.remove_prefix(colon + 1))
        parts.push_back(text.substr(0, colon));
    parts.push_back(text);
    return parts;
}

} // namespace

std::optional<int> parseCountdown(std::string_view text)
{
    const std::vector<std::string_view> parts = splitAtColons(trimmed(text));
    if (parts.size() != 2 && parts.size() != 3)
        return std::nullopt;
    const auto hours = field(parts[0], 23);
    const auto minutes = field(parts[1], 59);
    const auto seconds = parts.size() == 3 ? field(parts[2], 59) : std::optional<int>(0);
    if (!hours || !minutes || !seconds)
        return std::nullopt;
    return (*hours * 60 + *minutes) * 60 + *seconds;
}

std::string formatCountdown(int seconds)
{
    seconds = ((seconds % kSecondsPerDay) + kSecondsPerDay) % kSecondsPerDay;
    char text[9];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", seconds / 3600, seconds / 60 % 60, seconds % 60);
    return text;
}

std::chrono::milliseconds intervalOf(HeartbeatTimer timer)
{
    return timer == HeartbeatTimer::Countdown ? std::chrono::milliseconds(1000) : std::chrono::milliseconds(750);
}

Heartbeat::Heartbeat(Keyboard& keyboard, HeartbeatTimers& timers)
    : m_keyboard(keyboard)
    , m_timers(timers)
{
}

// The timers may be gone by now; only the keyboard is touched.
Heartbeat::~Heartbeat()
{
    if (m_numLockToggled)
        m_keyboard.press(LockKey::Num);
}

void Heartbeat::start(std::string_view countdownText)
{
    const std::optional<int> seconds = parseCountdown(countdownText);
    m_secondsLeft = seconds && *seconds > 0 ? *seconds : kBeatPeriodSeconds;
    m_running = true;
    m_timers.setRunning(HeartbeatTimer::SecondPress, false);
    m_timers.setRunning(HeartbeatTimer::FirstPress, true);
    m_timers.setRunning(HeartbeatTimer::Countdown, true);
}

void Heartbeat::stop()
{
    for (const HeartbeatTimer timer :
         { HeartbeatTimer::Countdown, HeartbeatTimer::FirstPress, HeartbeatTimer::SecondPress })
        m_timers.setRunning(timer, false);
    if (m_numLockToggled)
        press(false);
    m_running = false;
    m_indicator = BeatIndicator::Rest;
}

void Heartbeat::fire(HeartbeatTimer timer)
{
    if (!m_running)
        return;
    switch (timer) {
    case HeartbeatTimer::Countdown:
        tick();
        break;
    case HeartbeatTimer::FirstPress:
        m_timers.setRunning(HeartbeatTimer::FirstPress, false);
        m_indicator = BeatIndicator::FirstPress;
        press(true);
        m_timers.setRunning(HeartbeatTimer::SecondPress, true);
        break;
    case HeartbeatTimer::SecondPress:
        m_timers.setRunning(HeartbeatTimer::SecondPress, false);
        press(false);
        m_indicator = BeatIndicator::Rest;
        break;
    }
}

void Heartbeat::tick()
{
    if (--m_secondsLeft > 0)
        return;
    m_secondsLeft = kBeatPeriodSeconds;
    m_indicator = BeatIndicator::Beat;
    m_timers.setRunning(HeartbeatTimer::FirstPress, true);
}

void Heartbeat::press(bool firstOfPair)
{
    m_keyboard.press(LockKey::Num);
    m_numLockToggled = firstOfPair;
}

} // namespace korvane
