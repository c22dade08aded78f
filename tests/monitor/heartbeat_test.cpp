#include "monitor/heartbeat.h"
#include "platform/fake/fake_services.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <map>
#include <vector>

namespace korvane {
namespace {

// A clock the test moves by hand: fires the heartbeat's running timers in the order they fall due.
class VirtualClock : public HeartbeatTimers
{
public:
    void setRunning(HeartbeatTimer timer, bool running) override
    {
        if (running)
            m_due[timer] = now + intervalOf(timer).count();
        else
            m_due.erase(timer);
    }

    // Runs every timer that falls due up to `until` milliseconds after the start.
    void runUntil(long long until, Heartbeat& heartbeat)
    {
        for (;;) {
            const auto next = std::min_element(m_due.begin(), m_due.end(),
                                               [](const auto& a, const auto& b) { return a.second < b.second; });
            if (next == m_due.end() || next->second > until)
                break;
            now = next->second;
            const HeartbeatTimer timer = next->first;
            next->second += intervalOf(timer).count();
            heartbeat.fire(timer);
        }
        now = until;
    }

    bool anyRunning() const { return !m_due.empty(); }

    long long now = 0;

private:
    std::map<HeartbeatTimer, long long> m_due;
};

// Records the moment of each press on the virtual clock.
class TimedKeyboard : public fake::Keyboard
{
public:
    explicit TimedKeyboard(const VirtualClock& clock)
        : m_clock(clock)
    {
    }
    void press(LockKey key) override
    {
        fake::Keyboard::press(key);
        pressTimes.push_back(m_clock.now);
    }

    std::vector<long long> pressTimes;

private:
    const VirtualClock& m_clock;
};

class HeartbeatTest : public ::testing::Test
{
protected:
    std::vector<long long> pressTimes() const { return keyboard.pressTimes; }
    bool numLockOn() const { return keyboard.on.count(LockKey::Num) != 0; }

    VirtualClock clock;
    TimedKeyboard keyboard { clock };
    Heartbeat heartbeat { keyboard, clock };
};

TEST(Countdown, ReadsTimesOfDayAndShowsThemAsHoursMinutesSeconds)
{
    EXPECT_EQ(parseCountdown("00:00:10"), 10);
    EXPECT_EQ(parseCountdown(" 1:02:03 "), 3723);
    EXPECT_EQ(parseCountdown("12:30"), 45000);
    EXPECT_EQ(parseCountdown("23:59:59"), 86399);
    for (const char* notATime :
         { "", "abc", "--:--:--", "24:00:00", "00:60:00", "00:00:1x", "1:2:3:4", "-1:00:00", "100:00" })
        EXPECT_EQ(parseCountdown(notATime), std::nullopt) << notATime;

    EXPECT_EQ(formatCountdown(0), "00:00:00");
    EXPECT_EQ(formatCountdown(3723), "01:02:03");
    EXPECT_EQ(formatCountdown(86399), "23:59:59");
}

TEST_F(HeartbeatTest, TenSecondsCountDownBeatAtZeroAndStartAgainFromFiveMinutes)
{
    keyboard.on.insert(LockKey::Num);
    heartbeat.start("00:00:10");
    EXPECT_EQ(heartbeat.countdownText(), "00:00:10");
    EXPECT_EQ(heartbeat.indicator(), BeatIndicator::Rest);

    clock.runUntil(1000, heartbeat);
    EXPECT_EQ(heartbeat.countdownText(), "00:00:09");
    EXPECT_EQ(heartbeat.indicator(), BeatIndicator::FirstPress);
    clock.runUntil(9000, heartbeat);
    EXPECT_EQ(heartbeat.countdownText(), "00:00:01");
    EXPECT_EQ(heartbeat.indicator(), BeatIndicator::Rest);

    clock.runUntil(10000, heartbeat);
    EXPECT_EQ(heartbeat.countdownText(), "00:05:00");
    EXPECT_EQ(heartbeat.indicator(), BeatIndicator::Beat);
    clock.runUntil(10750, heartbeat);
    EXPECT_EQ(heartbeat.indicator(), BeatIndicator::FirstPress);
    EXPECT_FALSE(numLockOn());
    clock.runUntil(11500, heartbeat);
    EXPECT_EQ(heartbeat.indicator(), BeatIndicator::Rest);
    EXPECT_EQ(heartbeat.countdownText(), "00:04:59");

    // One beat 750 ms after the start, one at the end of the countdown, then every five minutes.
    EXPECT_EQ(pressTimes(), (std::vector<long long> { 750, 1500, 10750, 11500 }));
    EXPECT_TRUE(numLockOn());
    clock.runUntil(310000, heartbeat);
    EXPECT_EQ(heartbeat.indicator(), BeatIndicator::Beat);
    clock.runUntil(311500, heartbeat);
    EXPECT_EQ(pressTimes().size(), 6U);
    EXPECT_TRUE(numLockOn());
}

TEST_F(HeartbeatTest, ACountdownThatIsNoTimeOrZeroStartsFromFiveMinutes)
{
    for (const char* text : { "", "abc", "00:00:00", "25:00:00" }) {
        SCOPED_TRACE(text);
        heartbeat.start(text);
        EXPECT_EQ(heartbeat.countdownText(), "00:05:00");
        clock.runUntil(clock.now + 1000, heartbeat);
        EXPECT_EQ(heartbeat.countdownText(), "00:04:59");
        heartbeat.stop();
    }
}

TEST_F(HeartbeatTest, AStopOrTheEndNeverLeavesNumLockToggledAndARestartBeatsAgainAfter750Ms)
{
    heartbeat.start("00:05:00");
    clock.runUntil(1000, heartbeat); // between the two presses
    ASSERT_TRUE(numLockOn());
    heartbeat.stop();
    EXPECT_FALSE(numLockOn());
    EXPECT_EQ(pressTimes(), (std::vector<long long> { 750, 1000 }));
    EXPECT_EQ(heartbeat.indicator(), BeatIndicator::Rest);
    EXPECT_FALSE(heartbeat.running());
    EXPECT_FALSE(clock.anyRunning());

    // Stopped before the first press of a beat: no press at all.
    heartbeat.start("00:05:00");
    clock.runUntil(1500, heartbeat);
    heartbeat.stop();
    EXPECT_EQ(pressTimes().size(), 2U);

    heartbeat.start("00:05:00");
    clock.runUntil(2249, heartbeat);
    EXPECT_EQ(pressTimes().size(), 2U);
    clock.runUntil(3000, heartbeat);
    EXPECT_EQ(pressTimes(), (std::vector<long long> { 750, 1000, 2250, 3000 }));
    EXPECT_FALSE(numLockOn());

    // The program ends between the presses.
    heartbeat.stop();
    {
        Heartbeat ending(keyboard, clock);
        ending.start("00:05:00");
        clock.runUntil(clock.now + 1000, ending);
        ASSERT_TRUE(numLockOn());
    }
    EXPECT_FALSE(numLockOn());
}

} // namespace
} // namespace korvane
