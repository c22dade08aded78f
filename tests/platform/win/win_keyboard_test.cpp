#include "platform/win/win_keyboard.h"
#include "tests/platform/win/win_test_support.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace korvane {
namespace {

// The key state of this thread follows the input it has taken from its queue, as on the GUI thread.
bool isOnAfterInput(WinKeyboard& keyboard, LockKey key)
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageW(&message);
    return keyboard.isOn(key);
}

TEST(WinKeyboardTest, APressTogglesEachLockKeyAndASecondRestoresIt)
{
    WinKeyboard keyboard;
    EXPECT_TRUE(keyboard.available());
    for (const auto& [key, name] : { std::pair { LockKey::Num, "Num Lock" }, std::pair { LockKey::Caps, "Caps Lock" },
                                     std::pair { LockKey::Scroll, "Scroll Lock" } }) {
        SCOPED_TRACE(name);
        const bool before = isOnAfterInput(keyboard, key);

        keyboard.press(key);
        EXPECT_TRUE(test::waitUntil([&] { return isOnAfterInput(keyboard, key) != before; }, std::chrono::seconds(5)));

        keyboard.press(key);
        EXPECT_TRUE(test::waitUntil([&] { return isOnAfterInput(keyboard, key) == before; }, std::chrono::seconds(5)));
    }
}

} // namespace
} // namespace korvane
