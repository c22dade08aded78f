#pragma once

#include "platform/keep_awake.h"
#include "platform/notices.h"

#include <memory>

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

// The desktop's services that this operating system offers through the GUI toolkit: on Linux the
// session bus, on Windows the system's own calls.
std::unique_ptr<KeepAwake> createKeepAwake();
std::unique_ptr<DesktopNotices> createNotices();

} // namespace korvane
