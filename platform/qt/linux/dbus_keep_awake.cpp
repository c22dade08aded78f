#include "platform/qt/linux/dbus_keep_awake.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QProcessEnvironment>

namespace korvane {

// A service that inhibits idleness, and how it is called.
struct DBusInhibitor
{
    const char* service;
    const char* path;
    const char* interface;
    const char* release;
    bool gnome; // Inhibit(app, toplevel, reason, flags) rather than Inhibit(app, reason)
};

namespace {

constexpr const char* kApplication = "QL-KORVANE";
constexpr uint kGnomeInhibitSuspendAndIdle = 4 | 8;
constexpr int kReleaseAtExitMs = 1000;

constexpr DBusInhibitor kGnome { "org.gnome.SessionManager", "/org/gnome/SessionManager", "org.gnome.SessionManager",
                                 "Uninhibit", true };
constexpr DBusInhibitor kScreenSaver { "org.freedesktop.ScreenSaver", "/org/freedesktop/ScreenSaver",
                                       "org.freedesktop.ScreenSaver", "UnInhibit", false };

bool onGnome()
{
    return QProcessEnvironment::systemEnvironment()
        .value(QStringLiteral("XDG_CURRENT_DESKTOP"))
        .contains(QLatin1String("GNOME"), Qt::CaseInsensitive);
}

} // namespace

DBusKeepAwake::DBusKeepAwake(QDBusConnection bus, QObject* parent)
    : QObject(parent)
    , m_bus(std::move(bus))
{
}

DBusKeepAwake::~DBusKeepAwake()
{
    giveBack(true);
}

const DBusInhibitor* DBusKeepAwake::availableInhibitor() const
{
    if (!m_bus.isConnected() || !m_bus.interface())
        return nullptr;
    const auto registered
        = [this](const DBusInhibitor& each) { return m_bus.interface()->isServiceRegistered(each.service).value(); };
    const DBusInhibitor* order[] = { onGnome() ? &kGnome : &kScreenSaver, onGnome() ? &kScreenSaver : &kGnome };
    for (const DBusInhibitor* each : order) {
        if (registered(*each))
            return each;
    }
    return nullptr;
}

void DBusKeepAwake::hold(std::string_view reason, Failed failed)
{
    m_releaseWhenGranted = false;
    if (m_cookie || m_asking)
        return;
    m_inhibitor = availableInhibitor();
    if (!m_inhibitor) {
        failed("no service on the session bus keeps the computer awake (org.freedesktop.ScreenSaver or "
               "org.gnome.SessionManager)");
        return;
    }
    const DBusInhibitor& inhibitor = *m_inhibitor;
    auto call = QDBusMessage::createMethodCall(inhibitor.service, inhibitor.path, inhibitor.interface,
                                               QStringLiteral("Inhibit"));
    const QString why = QString::fromUtf8(reason.data(), static_cast<qsizetype>(reason.size()));
    if (inhibitor.gnome)
        call << QString::fromLatin1(kApplication) << uint(0) << why << kGnomeInhibitSuspendAndIdle;
    else
        call << QString::fromLatin1(kApplication) << why;
    m_asking = true;
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, &inhibitor, failed](QDBusPendingCallWatcher* w) {
        w->deleteLater();
        m_asking = false;
        const QDBusPendingReply<uint> reply = *w;
        if (reply.isError()) {
            failed(QStringLiteral("%1 refused to keep the computer awake: %2")
                       .arg(QString::fromLatin1(inhibitor.service), reply.error().message())
                       .toStdString());
            return;
        }
        granted(inhibitor, reply.value());
    });
}

void DBusKeepAwake::granted(const DBusInhibitor& inhibitor, uint cookie)
{
    m_inhibitor = &inhibitor;
    m_cookie = cookie;
    if (m_releaseWhenGranted)
        giveBack(false);
}

void DBusKeepAwake::release()
{
    if (m_asking)
        m_releaseWhenGranted = true;
    giveBack(false);
}

void DBusKeepAwake::giveBack(bool wait)
{
    if (!m_cookie || !m_inhibitor)
        return;
    auto call = QDBusMessage::createMethodCall(m_inhibitor->service, m_inhibitor->path, m_inhibitor->interface,
                                               QString::fromLatin1(m_inhibitor->release));
    call << *m_cookie;
    m_cookie.reset();
    m_releaseWhenGranted = false;
    // At exit the call must reach the service before the connection closes; otherwise never wait.
    if (wait)
        m_bus.call(call, QDBus::Block, kReleaseAtExitMs);
    else
        m_bus.send(call);
}

} // namespace korvane
