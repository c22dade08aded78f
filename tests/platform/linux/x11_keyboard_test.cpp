#include "platform/linux/x11_keyboard.h"
#include "tests/platform/linux/posix_test_support.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace korvane {
namespace {

#define SKIP_WITHOUT_X_SERVER()                                                                                        \
    if (!std::getenv("DISPLAY") || !*std::getenv("DISPLAY"))                                                           \
    GTEST_SKIP() << "needs an X server (DISPLAY is not set)"

TEST(X11Keyboard, WithoutXServerEveryKeyIsOffAndPressesDoNothing)
{
    test::ScopedEnvironment noDisplay("DISPLAY", std::nullopt);
    X11Keyboard keyboard;
    EXPECT_FALSE(keyboard.available());
    for (const LockKey key : { LockKey::Num, LockKey::Caps, LockKey::Scroll }) {
        keyboard.press(key);
        EXPECT_FALSE(keyboard.isOn(key));
    }
}

TEST(X11Keyboard, NumAndCapsLockPressTogglesAndSecondPressRestores)
{
    SKIP_WITHOUT_X_SERVER();
    X11Keyboard keyboard;
    EXPECT_TRUE(keyboard.available());
    for (const LockKey key : { LockKey::Num, LockKey::Caps }) {
        const bool before = keyboard.isOn(key);
        keyboard.press(key);
        EXPECT_NE(keyboard.isOn(key), before);
        keyboard.press(key);
        EXPECT_EQ(keyboard.isOn(key), before);
    }
}

TEST(X11Keyboard, ScrollLockWorksOrIsHarmlesslyAbsent)
{
    SKIP_WITHOUT_X_SERVER();
    // Some keyboard maps (Xvfb's among them) have no Scroll Lock key; pressing it must not fail.
    X11Keyboard keyboard;
    const bool before = keyboard.isOn(LockKey::Scroll);
    keyboard.press(LockKey::Scroll);
    keyboard.press(LockKey::Scroll);
    EXPECT_EQ(keyboard.isOn(LockKey::Scroll), before);
}

} // namespace
} // namespace korvane
