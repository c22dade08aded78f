#pragma once

#include "platform/keyboard.h"

namespace korvane {

// Lock keys through GetKeyState and SendInput.
class WinKeyboard : public Keyboard
{
public:
    bool available() override { return true; }
    bool isOn(LockKey key) override;
    void press(LockKey key) override;
};

} // namespace korvane
