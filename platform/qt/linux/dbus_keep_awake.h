#pragma once

#include "platform/keep_awake.h"

#include <QDBusConnection>
#include <QObject>
#include <optional>

namespace korvane {

struct DBusInhibitor;

// The session bus's inhibitor of idleness: GNOME's session manager where the desktop is GNOME's,
// else "org.freedesktop.ScreenSaver". The granted cookie is kept and given back with its own call.
class DBusKeepAwake : public QObject, public KeepAwake
{
    Q_OBJECT

public:
    explicit DBusKeepAwake(QDBusConnection bus = QDBusConnection::sessionBus(), QObject* parent = nullptr);
    ~DBusKeepAwake() override;

    void hold(std::string_view reason, Failed failed) override;
    void release() override;
    bool held() const override { return m_cookie.has_value(); }

private:
    const DBusInhibitor* availableInhibitor() const;
    void granted(const DBusInhibitor& inhibitor, uint cookie);
    void giveBack(bool wait);

    QDBusConnection m_bus;
    const DBusInhibitor* m_inhibitor = nullptr; // the one that granted or is asked
    std::optional<uint> m_cookie;
    bool m_asking = false;
    bool m_releaseWhenGranted = false;
};

} // namespace korvane
