#pragma once

#include "platform/system_tray.h"

namespace korvane {

// The tray as the GUI toolkit finds it: a StatusNotifierItem host on the session bus, or on X11 a
// tray window of the desktop.
class QtSystemTray : public SystemTray
{
public:
    bool available() const override;
};

} // namespace korvane
