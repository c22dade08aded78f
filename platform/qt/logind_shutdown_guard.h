#pragma once

#include "platform/shutdown_guard.h"

#include <QDBusConnection>
#include <QObject>

class QDBusPendingCallWatcher;

namespace korvane {

// A systemd-logind inhibitor ("shutdown:sleep", mode "block"), held as the file descriptor that
// logind hands out and released by closing it. Asked for without waiting on the caller's thread.
class LogindShutdownGuard : public QObject, public ShutdownGuard
{
public:
    // The system bus, unless a test hands in a private one.
    explicit LogindShutdownGuard(const QDBusConnection& bus = QDBusConnection::systemBus());
    ~LogindShutdownGuard() override;

    void hold(Answer answered) override;
    void release() override;
    bool held() const override { return m_inhibitor >= 0; }

private:
    void answered(QDBusPendingCallWatcher* call);

    QDBusConnection m_bus;
    QDBusPendingCallWatcher* m_pending = nullptr;
    Answer m_answer;
    int m_inhibitor = -1;
};

} // namespace korvane
