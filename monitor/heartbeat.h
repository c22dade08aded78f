#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace korvane {

class Keyboard;

// A countdown period read from "hh:mm:ss" (or "h:mm:ss", or "hh:mm"), in seconds; nothing when the
// text is not a time of day.
std::optional<int> parseCountdown(std::string_view text);
// Seconds as "hh:mm:ss".
std::string formatCountdown(int seconds);

// The period of every beat after the first, and what a start falls back to when its text is no
// time or zero.
inline constexpr int kBeatPeriodSeconds = 5 * 60;

// The heartbeat's three timers: the one-second countdown and the two Num Lock presses of a beat.
enum class HeartbeatTimer
{
    Countdown,
    FirstPress,
    SecondPress,
};
std::chrono::milliseconds intervalOf(HeartbeatTimer timer);

// Switches the heartbeat's timers. A running timer fires every interval until it is switched off;
// switching a running timer on starts its interval again.
class HeartbeatTimers
{
public:
    virtual ~HeartbeatTimers() = default;
    virtual void setRunning(HeartbeatTimer timer, bool running) = 0;
};

// The background of the beat indicator.
enum class BeatIndicator
{
    Rest, // black
    Beat, // cyan: the countdown has just reached zero
    FirstPress, // green: Num Lock has been pressed once
};

// Keeps the workstation awake: while on, the countdown runs down once a second, and each time it
// reaches zero it starts again from five minutes and Num Lock is pressed twice, 750 ms apart, so its
// state ends as it was. A beat also comes 750 ms after the start. Stopping between the two presses,
// or ending the program there, sends the second at once, so Num Lock is never left toggled.
class Heartbeat
{
public:
    Heartbeat(Keyboard& keyboard, HeartbeatTimers& timers);
    ~Heartbeat();
    Heartbeat(const Heartbeat&) = delete;
    Heartbeat& operator=(const Heartbeat&) = delete;

    // Starts from the countdown text. Text that is no time, or zero, starts from five minutes.
    void start(std::string_view countdownText);
    void stop();
    // A timer has fired.
    void fire(HeartbeatTimer timer);

    bool running() const { return m_running; }
    std::string countdownText() const { return formatCountdown(m_secondsLeft); }
    BeatIndicator indicator() const { return m_indicator; }

private:
    void tick();
    void press(bool firstOfPair);

    Keyboard& m_keyboard;
    HeartbeatTimers& m_timers;
    bool m_running = false;
    int m_secondsLeft = kBeatPeriodSeconds;
    BeatIndicator m_indicator = BeatIndicator::Rest;
    bool m_numLockToggled = false; // pressed once, the second press still to come
};

} // namespace korvane
