#pragma once

namespace korvane {

enum class LockKey
{
    Num,
    Caps,
    Scroll,
};

// Lock-key states and presses, as if typed on the keyboard.
class Keyboard
{
public:
    virtual ~Keyboard() = default;
    // False where lock keys can be neither read nor pressed (no X server to talk to); every key then
    // reads off and presses do nothing.
    virtual bool available() = 0;
    // True while the key is toggled on, or held down.
    virtual bool isOn(LockKey key) = 0;
    // One press and release; a press of a lock key toggles it.
    virtual void press(LockKey key) = 0;
};

} // namespace korvane
