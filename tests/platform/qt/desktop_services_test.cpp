#include "platform/qt/linux/dbus_keep_awake.h"
#include "platform/qt/linux/dbus_notices.h"
#include "tests/helpers/temporary_folder.h"
#include "tests/platform/linux/posix_test_support.h"

#include <QDBusConnection>
#include <QProcess>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>
#include <sys/socket.h>
#include <sys/un.h>

namespace korvane {
namespace {

// A private session bus with the stand-in desktop services on it; every call they answer is a
// line of calls().
class DesktopBus : public ::testing::Test
{
protected:
    void start(const QStringList& standinOptions = {})
    {
        m_daemon.start(QStringLiteral("dbus-daemon"), { "--session", "--nofork", "--print-address=1" });
        ASSERT_TRUE(m_daemon.waitForReadyRead(5000)) << "dbus-daemon did not start";
        const QString address = QString::fromUtf8(m_daemon.readLine()).trimmed();
        auto environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), address);
        environment.remove(QStringLiteral("XDG_CURRENT_DESKTOP"));
        m_standin.setProcessEnvironment(environment);
        startStandin(standinOptions);
        m_bus = std::make_unique<QDBusConnection>(QDBusConnection::connectToBus(address, QStringLiteral("desktop")));
        ASSERT_TRUE(m_bus->isConnected());
    }

    // The services leave the bus, and come back with the options given.
    void restartStandin(const QStringList& standinOptions = {})
    {
        calls(); // what it said before it goes
        m_standin.kill();
        m_standin.waitForFinished();
        startStandin(standinOptions);
    }

    void TearDown() override
    {
        m_bus.reset();
        QDBusConnection::disconnectFromBus(QStringLiteral("desktop"));
        for (QProcess* process : { &m_standin, &m_daemon }) {
            process->kill();
            process->waitForFinished();
        }
    }

    QStringList calls()
    {
        m_seen += QString::fromUtf8(m_standin.readAllStandardOutput());
        return m_seen.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }

    QDBusConnection& bus() { return *m_bus; }

private:
    void startStandin(const QStringList& standinOptions)
    {
        const qsizetype started = calls().count(QStringLiteral("ready"));
        m_standin.start(QStringLiteral("/usr/bin/python3"),
                        QStringList { QStringLiteral(KORVANE_DESKTOP_BUS_STANDIN) } + standinOptions);
        QTRY_VERIFY_WITH_TIMEOUT(calls().count(QStringLiteral("ready")) > started, 10000);
    }

    QProcess m_daemon;
    QProcess m_standin;
    QString m_seen;
    std::unique_ptr<QDBusConnection> m_bus;
};

TEST_F(DesktopBus, KeepAwakeGivesBackTheCookieItWasGranted)
{
    start();
    QStringList failures;
    const auto failed = [&failures](const std::string& reason) { failures << QString::fromStdString(reason); };
    const auto told = [](const std::string&) {};
    {
        DBusKeepAwake keepAwake(bus());
        keepAwake.hold("a node is running", failed, told);
        keepAwake.hold("a node is running", failed, told);
        QTRY_VERIFY(keepAwake.held());
        keepAwake.release();
        QTRY_VERIFY(calls().contains(QStringLiteral("UnInhibit 41")));
        EXPECT_FALSE(keepAwake.held());

        // Released while still being asked for: given back once granted.
        keepAwake.hold("a node is running", failed, told);
        keepAwake.release();
        QTRY_VERIFY(calls().contains(QStringLiteral("UnInhibit 42")));

        keepAwake.hold("a node is running", failed, told);
        QTRY_VERIFY(keepAwake.held());
    } // ending the program gives the hold back
    QTRY_VERIFY(calls().contains(QStringLiteral("UnInhibit 43")));
    EXPECT_EQ(calls().filter(QStringLiteral("Inhibit QL-KORVANE|a node is running")).size(), 3);
    EXPECT_TRUE(failures.isEmpty()) << failures.join(QLatin1Char('\n')).toStdString();
}

TEST_F(DesktopBus, KeepAwakeSaysWhenNoServiceAnswers)
{
    start({ QStringLiteral("--without-screensaver") });
    QString failure;
    DBusKeepAwake keepAwake(bus());
    keepAwake.hold(
        "a node is running", [&failure](const std::string& reason) { failure = QString::fromStdString(reason); },
        [](const std::string&) {});
    EXPECT_TRUE(failure.contains(QLatin1String("org.freedesktop.ScreenSaver"))) << failure.toStdString();
    EXPECT_FALSE(keepAwake.held());
}

TEST_F(DesktopBus, KeepAwakeAsksGnomesSessionManagerWhereItIsAlone)
{
    start({ QStringLiteral("--without-screensaver"), QStringLiteral("--with-gnome") });
    DBusKeepAwake keepAwake(bus());
    keepAwake.hold(
        "a node is running", [](const std::string&) {}, [](const std::string&) {});
    QTRY_VERIFY(keepAwake.held());
    EXPECT_TRUE(calls().contains(QStringLiteral("GnomeInhibit QL-KORVANE|a node is running|12 -> 41")));
    keepAwake.release();
    QTRY_VERIFY(calls().contains(QStringLiteral("GnomeUninhibit 41")));
}

// A service that leaves the bus takes the hold along; once one is back the hold is asked for again,
// and both are said. Given back, it is asked for no more.
TEST_F(DesktopBus, KeepAwakeIsHeldAgainWhenItsServiceComesBack)
{
    start();
    QStringList told;
    DBusKeepAwake keepAwake(bus());
    keepAwake.hold(
        "a node is running", [](const std::string&) {},
        [&told](const std::string& message) { told << QString::fromStdString(message); });
    QTRY_VERIFY(keepAwake.held());
    const QString left
        = QStringLiteral(" left the session bus: the computer may sleep until a service keeps it awake again");
    const auto inhibits
        = [this] { return calls().filter(QStringLiteral("Inhibit QL-KORVANE|a node is running")).size(); };

    restartStandin();
    QTRY_COMPARE(told.size(), 2);
    EXPECT_EQ(told,
              (QStringList { QStringLiteral("org.freedesktop.ScreenSaver") + left,
                             QStringLiteral("The computer is kept awake again, by org.freedesktop.ScreenSaver") }));
    EXPECT_TRUE(keepAwake.held());
    EXPECT_EQ(inhibits(), 2);

    const QStringList gnomeAlone { QStringLiteral("--without-screensaver"), QStringLiteral("--with-gnome") };
    restartStandin(gnomeAlone);
    QTRY_COMPARE(told.size(), 4);
    restartStandin(gnomeAlone);
    QTRY_COMPARE(told.size(), 6);
    EXPECT_EQ(told.mid(2),
              (QStringList { QStringLiteral("org.freedesktop.ScreenSaver") + left,
                             QStringLiteral("The computer is kept awake again, by org.gnome.SessionManager"),
                             QStringLiteral("org.gnome.SessionManager") + left,
                             QStringLiteral("The computer is kept awake again, by org.gnome.SessionManager") }));
    EXPECT_EQ(calls().filter(QStringLiteral("GnomeInhibit QL-KORVANE|a node is running")).size(), 2);

    keepAwake.release();
    QTRY_VERIFY(calls().contains(QStringLiteral("GnomeUninhibit 41")));
    restartStandin();
    QTest::qWait(200);
    EXPECT_EQ(inhibits(), 4) << "given back, nothing is asked for again";
    EXPECT_EQ(told.size(), 6);
}

TEST_F(DesktopBus, NoticesReachTheNotificationService)
{
    start();
    DBusNotices notices(bus());
    notices.notify("LTC: the daemon ended", "The daemon ended by itself at 14:05:09");
    QTRY_VERIFY(calls().contains(
        QStringLiteral("Notify QL-KORVANE|ql-korvane|LTC: the daemon ended|The daemon ended by itself at 14:05:09")));
}

// The user's bus, where there is one, is named to the toolkit; else a bus that no library starts.
TEST(SessionBus, TheUsersBusOrNoneButNeverOneStartedForTheProgram)
{
    const test::TemporaryFolder runtime;
    const test::ScopedEnvironment runtimeFolder("XDG_RUNTIME_DIR", runtime.text("run time"));
    const test::ScopedEnvironment unset("DBUS_SESSION_BUS_ADDRESS", std::nullopt);
    EXPECT_NE(findSessionBus().find("No session bus"), std::string::npos);
    EXPECT_STREQ(std::getenv("DBUS_SESSION_BUS_ADDRESS"), "disabled:");

    std::filesystem::create_directory(runtime.path() / "run time");
    const int listening = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", runtime.text("run time/bus").c_str());
    ASSERT_EQ(::bind(listening, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::unsetenv("DBUS_SESSION_BUS_ADDRESS");
    EXPECT_EQ(findSessionBus(), "");
    EXPECT_EQ(std::getenv("DBUS_SESSION_BUS_ADDRESS"), "unix:path=" + runtime.text("run%20time/bus"));
    ::close(listening);

    const test::ScopedEnvironment given("DBUS_SESSION_BUS_ADDRESS", "unix:path=/given");
    EXPECT_EQ(findSessionBus(), "");
    EXPECT_STREQ(std::getenv("DBUS_SESSION_BUS_ADDRESS"), "unix:path=/given");
}

} // namespace
} // namespace korvane
