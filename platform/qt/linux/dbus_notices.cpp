#include "platform/qt/linux/dbus_notices.h"

#include <QDBusMessage>
#include <QStringList>
#include <QVariantMap>

namespace korvane {
namespace {

QString fromUtf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

DBusNotices::DBusNotices(QDBusConnection bus)
    : m_bus(std::move(bus))
{
}

void DBusNotices::notify(std::string_view title, std::string_view body)
{
    auto call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    constexpr int kDesktopsOwnTimeout = -1;
    call << QStringLiteral("QL-KORVANE") << uint(0) << QStringLiteral("ql-korvane") << fromUtf8(title) << fromUtf8(body)
         << QStringList() << QVariantMap() << kDesktopsOwnTimeout;
    m_bus.send(call);
}

} // namespace korvane
