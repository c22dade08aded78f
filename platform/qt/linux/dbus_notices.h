#pragma once

#include "platform/qt/desktop_services.h"

#include <QDBusConnection>

namespace korvane {

// Notifications through "org.freedesktop.Notifications" on the session bus, with the program's
// icon; sent without waiting for an answer.
class DBusNotices : public DesktopNotices
{
public:
    explicit DBusNotices(QDBusConnection bus = QDBusConnection::sessionBus());
    void notify(std::string_view title, std::string_view body) override;

private:
    QDBusConnection m_bus;
};

} // namespace korvane
