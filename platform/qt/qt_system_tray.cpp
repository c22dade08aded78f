#include "platform/qt/qt_system_tray.h"

#include <QSystemTrayIcon>

namespace korvane {

bool QtSystemTray::available() const
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}

} // namespace korvane
