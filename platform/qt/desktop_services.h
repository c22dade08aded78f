#pragma once

#include "platform/keep_awake.h"
#include "platform/notices.h"

#include <memory>
#include <string>

class QSystemTrayIcon;

namespace korvane {

// Notices as this desktop shows them. Windows shows them as balloons of the program's icon in the
// notification area: the icon the program keeps there, once it has one, is handed over here.
class DesktopNotices : public Notices
{
public:
    // Null, or an icon gone, leaves the notices to show their own icon; where notices do not go
    // through the tray (the session bus), the icon is not needed.
    virtual void showThrough(QSystemTrayIcon* /*trayIcon*/) { }
};

// Called before the GUI toolkit starts. On Linux, where DBUS_SESSION_BUS_ADDRESS names no bus, it
// is pointed at the user's bus ($XDG_RUNTIME_DIR/bus) or, without one, told that there is none,
// so that no bus is ever started for the program (one that would outlive it); the programs it
// starts inherit the variable. Returns a sentence for the user when there is no session bus.
std::string findSessionBus();

// The desktop's services that this operating system offers through the GUI toolkit: on Linux the
// session bus, on Windows the system's own calls.
std::unique_ptr<KeepAwake> createKeepAwake();
std::unique_ptr<DesktopNotices> createNotices();

} // namespace korvane
