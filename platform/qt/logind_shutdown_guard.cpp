#include "platform/qt/logind_shutdown_guard.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusUnixFileDescriptor>
#include <fcntl.h>
#include <unistd.h>

namespace korvane {
namespace {

constexpr int kCallTimeoutMs = 5000;

std::string problemOf(const QDBusError& error)
{
    if (error.type() == QDBusError::ServiceUnknown)
        return "systemd-logind is not running (" + error.message().toStdString() + ")";
    return "systemd-logind refused an inhibitor (" + error.message().toStdString() + ")";
}

} // namespace

std::unique_ptr<ShutdownGuard> createShutdownGuard()
{
    return std::make_unique<LogindShutdownGuard>();
}

LogindShutdownGuard::LogindShutdownGuard(const QDBusConnection& bus)
    : m_bus(bus)
{
}

LogindShutdownGuard::~LogindShutdownGuard()
{
    release();
}

void LogindShutdownGuard::hold(Answer answered)
{
    release();
    if (!m_bus.isConnected()) {
        const QString reason = m_bus.lastError().message();
        answered("the system bus cannot be reached"
                 + (reason.isEmpty() ? std::string() : " (" + reason.toStdString() + ")"));
        return;
    }
    QDBusMessage inhibit = QDBusMessage::createMethodCall("org.freedesktop.login1", "/org/freedesktop/login1",
                                                          "org.freedesktop.login1.Manager", "Inhibit");
    inhibit << QStringLiteral("shutdown:sleep") << QStringLiteral("QL-KORVANE")
            << QStringLiteral("a node is running; stop it first") << QStringLiteral("block");
    m_answer = std::move(answered);
    m_pending = new QDBusPendingCallWatcher(m_bus.asyncCall(inhibit, kCallTimeoutMs), this);
    connect(m_pending, &QDBusPendingCallWatcher::finished, this, &LogindShutdownGuard::answered);
}

void LogindShutdownGuard::answered(QDBusPendingCallWatcher* call)
{
    call->deleteLater();
    if (call != m_pending)
        return;
    m_pending = nullptr;
    const QDBusPendingReply<QDBusUnixFileDescriptor> reply = *call;
    std::string problem;
    if (reply.isError())
        problem = problemOf(reply.error());
    else if (!reply.value().isValid())
        problem = "systemd-logind gave no inhibitor";
    else
        // The reply closes its own copy when it goes; this one stays until the release.
        m_inhibitor = ::fcntl(reply.value().fileDescriptor(), F_DUPFD_CLOEXEC, 0);
    if (problem.empty() && m_inhibitor < 0)
        problem = "the inhibitor could not be kept";
    std::exchange(m_answer, nullptr)(problem);
}

void LogindShutdownGuard::release()
{
    m_pending = nullptr; // its answer, when it comes, is dropped
    m_answer = nullptr;
    if (m_inhibitor >= 0)
        ::close(m_inhibitor);
    m_inhibitor = -1;
}

} // namespace korvane
