#pragma once

namespace korvane {

// The desktop's tray (its notification area), where a program may keep an icon of its own.
class SystemTray
{
public:
    virtual ~SystemTray() = default;
    // False on a desktop without one (a GNOME session without a tray extension, for example).
    virtual bool available() const = 0;
};

} // namespace korvane
