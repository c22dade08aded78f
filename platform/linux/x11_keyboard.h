#pragma once

#include "platform/keyboard.h"
#include "platform/linux/x11_display.h"

namespace korvane {

// Lock keys through the X Keyboard extension (indicator states) and XTest (synthetic presses).
// Without an X server every key reads off and presses do nothing.
class X11Keyboard : public Keyboard
{
public:
    bool available() override;
    bool isOn(LockKey key) override;
    void press(LockKey key) override;

private:
    X11Display m_display;
};

} // namespace korvane
