#pragma once

#include "platform/notices.h"

#include <QDBusConnection>

namespace korvane {

// Notifications through "org.freedesktop.Notifications" on the session bus, with the program's
// icon; sent without waiting for an answer.
class DBusNotices : public Notices
{
public:
    explicit DBusNotices(QDBusConnection bus = QDBusConnection::sessionBus());
    void notify(std::string_view title, std::string_view body) override;

private:
    QDBusConnection m_bus;
};

} // namespace korvane
