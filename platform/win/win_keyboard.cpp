#include "platform/win/win_keyboard.h"

#include <array>
#include <windows.h>

namespace korvane {
namespace {

WORD virtualKey(LockKey key)
{
    switch (key) {
    case LockKey::Num:
        return VK_NUMLOCK;
    case LockKey::Caps:
        return VK_CAPITAL;
    case LockKey::Scroll:
        return VK_SCROLL;
    }
    return 0;
}

INPUT keyEvent(LockKey key, bool release)
{
    INPUT input {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey(key);
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(input.ki.wVk, MAPVK_VK_TO_VSC));
    // Num Lock sits on the extended part of the keyboard.
    if (key == LockKey::Num)
        input.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
    if (release)
        input.ki.dwFlags |= KEYEVENTF_KEYUP;
    return input;
}

} // namespace

bool WinKeyboard::isOn(LockKey key)
{
    constexpr SHORT toggledOrDown = static_cast<SHORT>(0x8001);
    return (GetKeyState(virtualKey(key)) & toggledOrDown) != 0;
}

void WinKeyboard::press(LockKey key)
{
    std::array<INPUT, 2> strokes { keyEvent(key, false), keyEvent(key, true) };
    SendInput(static_cast<UINT>(strokes.size()), strokes.data(), sizeof(INPUT));
}

} // namespace korvane
