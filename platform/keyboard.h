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
    // True while the key is toggled on, or held down.
    virtual bool isOn(LockKey key) = 0;
    // One press and release; a press of a lock key toggles it.
    virtual void press(LockKey key) = 0;
};

} // namespace korvane
