#include "platform/qt/linux/dbus_keep_awake.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
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
    , m_watcher(new QDBusServiceWatcher(this))
{
    m_watcher->setConnection(m_bus);
    m_watcher->setWatchMode(QDBusServiceWatcher::WatchForOwnerChange);
    for (const DBusInhibitor* each : { &kGnome, &kScreenSaver })
        m_watcher->addWatchedService(QString::fromLatin1(each->service));
    connect(
        m_watcher, &QDBusServiceWatcher::serviceOwnerChanged, this,
        [this](const QString& service, const QString& oldOwner, const QString&) { ownerChanged(service, oldOwner); });
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

void DBusKeepAwake::hold(std::string_view reason, Failed failed, Told told)
{
    m_releaseWhenGranted = false;
    m_wanted = true;
    m_reason = QString::fromUtf8(reason.data(), static_cast<qsizetype>(reason.size()));
    m_failed = std::move(failed);
    m_told = std::move(told);
    if (m_cookie || m_asking)
        return;
    ask(false);
}

// Asks the service that is there for the hold; asked again, no service there is no news.
void DBusKeepAwake::ask(bool again)
{
    m_inhibitor = availableInhibitor();
    if (!m_inhibitor) {
        if (again)
            return;
        m_failed(m_bus.isConnected() ? "no service on the session bus keeps the computer awake "
                                       "(org.freedesktop.ScreenSaver or org.gnome.SessionManager)"
                                     : "there is no session bus");
        return;
    }
    const DBusInhibitor& inhibitor = *m_inhibitor;
    auto call = QDBusMessage::createMethodCall(inhibitor.service, inhibitor.path, inhibitor.interface,
                                               QStringLiteral("Inhibit"));
    if (inhibitor.gnome)
        call << QString::fromLatin1(kApplication) << uint(0) << m_reason << kGnomeInhibitSuspendAndIdle;
    else
        call << QString::fromLatin1(kApplication) << m_reason;
    m_asking = true;
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, &inhibitor, again](QDBusPendingCallWatcher* w) {
        w->deleteLater();
        m_asking = false;
        const QDBusPendingReply<uint> reply = *w;
        if (reply.isError()) {
            m_failed(QStringLiteral("%1 refused to keep the computer awake: %2")
                         .arg(QString::fromLatin1(inhibitor.service), reply.error().message())
                         .toStdString());
            return;
        }
        granted(inhibitor, reply.value(), again);
    });
}

void DBusKeepAwake::granted(const DBusInhibitor& inhibitor, uint cookie, bool again)
{
    m_inhibitor = &inhibitor;
    m_cookie = cookie;
    if (m_releaseWhenGranted)
        giveBack(false);
    else if (again)
        m_told(QStringLiteral("The computer is kept awake again, by %1")
                   .arg(QString::fromLatin1(inhibitor.service))
                   .toStdString());
}

// A service that leaves the bus (or is replaced) drops its holds; one that comes may grant it.
void DBusKeepAwake::ownerChanged(const QString& service, const QString& oldOwner)
{
    if (!m_wanted)
        return;
    if (!oldOwner.isEmpty() && m_cookie && m_inhibitor && service == QLatin1String(m_inhibitor->service)) {
        m_cookie.reset();
        m_told(QStringLiteral("%1 left the session bus: the computer may sleep until a service keeps it awake again")
                   .arg(service)
                   .toStdString());
    }
    if (!m_cookie && !m_asking)
        ask(true);
}

void DBusKeepAwake::release()
{
    m_wanted = false;
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
