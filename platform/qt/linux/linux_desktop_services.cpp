#include "platform/qt/desktop_services.h"
#include "platform/qt/linux/dbus_keep_awake.h"
#include "platform/qt/linux/dbus_notices.h"

namespace korvane {

std::unique_ptr<KeepAwake> createKeepAwake()
{
    return std::make_unique<DBusKeepAwake>();
}

std::unique_ptr<DesktopNotices> createNotices()
{
    return std::make_unique<DBusNotices>();
}

} // namespace korvane
