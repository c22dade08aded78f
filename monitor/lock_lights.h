#pragma once

#include <QWidget>
#include <array>

namespace korvane {

class Keyboard;
class Light;

// The Num, Caps and Scroll Lock lights, in that order: on each tick of their timer each shows
// whether its key is on (green) or off (red), and a double-click presses the key; the light follows
// at the next tick. Where the keyboard cannot be reached the lights are grey and say so in their
// tool tips.
class LockLights : public QWidget
{
    Q_OBJECT

public:
    static constexpr std::size_t kCount = 3;

    LockLights(Keyboard& keyboard, QWidget* parent);

    void refresh();

private:
    std::array<Light*, kCount> m_lights {};
    Keyboard& m_keyboard;
};

} // namespace korvane
