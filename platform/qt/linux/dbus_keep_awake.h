#pragma once

#include "platform/keep_awake.h"

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <optional>

class QDBusServiceWatcher;

namespace korvane {

struct DBusInhibitor;

// The session bus's inhibitor of idleness: GNOME's session manager where the desktop is GNOME's,
// else "org.freedesktop.ScreenSaver". The granted cookie is kept and given back with its own call.
// While the hold is wanted, a service that leaves the bus takes the hold with it: it is asked for
// again of whichever service is there, at once or when one comes (back).
class DBusKeepAwake : public QObject, public KeepAwake
{
    Q_OBJECT

public:
    explicit DBusKeepAwake(QDBusConnection bus = QDBusConnection::sessionBus(), QObject* parent = nullptr);
    ~DBusKeepAwake() override;

    void hold(std::string_view reason, Failed failed, Told told) override;
    void release() override;
    bool held() const override { return m_cookie.has_value(); }

private:
    const DBusInhibitor* availableInhibitor() const;
    void ask(bool again);
    void granted(const DBusInhibitor& inhibitor, uint cookie, bool again);
    void giveBack(bool wait);
    void ownerChanged(const QString& service, const QString& oldOwner);

    QDBusConnection m_bus;
    QDBusServiceWatcher* m_watcher;
    const DBusInhibitor* m_inhibitor = nullptr; // the one that granted or is asked
    std::optional<uint> m_cookie;
    bool m_asking = false;
    bool m_releaseWhenGranted = false;
    bool m_wanted = false; // from hold() to release()
    QString m_reason;
    Failed m_failed;
    Told m_told;
};

} // namespace korvane
