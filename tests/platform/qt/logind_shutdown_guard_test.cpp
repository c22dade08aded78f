// The logind guard against a stand-in logind on a private D-Bus bus: no system bus is needed.
#include "platform/qt/logind_shutdown_guard.h"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <gtest/gtest.h>

namespace korvane {
namespace {

struct Inhibitor
{
    QString what, who, why, mode;
};

class LogindShutdownGuardTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (QStandardPaths::findExecutable("dbus-daemon").isEmpty())
            GTEST_SKIP() << "no dbus-daemon";
        m_bus.start("dbus-daemon", { "--session", "--nofork", "--print-address=1" });
        ASSERT_TRUE(m_bus.waitForReadyRead(10000));
        m_address = QString::fromUtf8(m_bus.readLine()).trimmed();
        m_connection = std::make_unique<QDBusConnection>(QDBusConnection::connectToBus(m_address, "logind-test"));
        ASSERT_TRUE(m_connection->isConnected());
    }

    void TearDown() override
    {
        m_connection.reset();
        QDBusConnection::disconnectFromBus("logind-test");
        for (QProcess* process : { &m_logind, &m_bus }) {
            process->kill();
            process->waitForFinished();
        }
    }

    // Debian's Python, which has the D-Bus bindings (python3-dbus, python3-gi).
    bool startLogind()
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("DBUS_SESSION_BUS_ADDRESS", m_address);
        m_logind.setProcessEnvironment(environment);
        m_logind.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_logind.start("/usr/bin/python3", { KORVANE_LOGIND_STANDIN });
        return QTest::qWaitFor(
            [this] { return m_connection->interface()->isServiceRegistered("org.freedesktop.login1"); }, 10000);
    }

    std::vector<Inhibitor> inhibitors() const
    {
        const QDBusMessage reply = m_connection->call(QDBusMessage::createMethodCall(
            "org.freedesktop.login1", "/org/freedesktop/login1", "org.freedesktop.login1.Manager", "ListInhibitors"));
        std::vector<Inhibitor> result;
        const QDBusArgument list = reply.arguments().value(0).value<QDBusArgument>();
        list.beginArray();
        while (!list.atEnd()) {
            Inhibitor inhibitor;
            uint uid = 0, pid = 0;
            list.beginStructure();
            list >> inhibitor.what >> inhibitor.who >> inhibitor.why >> inhibitor.mode >> uid >> pid;
            list.endStructure();
            result.push_back(inhibitor);
        }
        list.endArray();
        return result;
    }

    // Holds and waits for the answer.
    std::optional<std::string> hold(ShutdownGuard& guard)
    {
        std::optional<std::string> answer;
        guard.hold([&answer](const std::string& problem) { answer = problem; });
        [&] { QTRY_VERIFY_WITH_TIMEOUT(answer.has_value(), 10000); }();
        return answer;
    }

    QProcess m_bus;
    QProcess m_logind;
    QString m_address;
    std::unique_ptr<QDBusConnection> m_connection;
};

TEST_F(LogindShutdownGuardTest, HoldsAnInhibitorUntilReleased)
{
    ASSERT_TRUE(startLogind());
    LogindShutdownGuard guard(*m_connection);
    EXPECT_EQ(hold(guard), "");
    EXPECT_TRUE(guard.held());
    const std::vector<Inhibitor> held = inhibitors();
    ASSERT_EQ(held.size(), 1u);
    EXPECT_EQ(held[0].what, "shutdown:sleep");
    EXPECT_EQ(held[0].who, "QL-KORVANE");
    EXPECT_EQ(held[0].why, "a node is running; stop it first");
    EXPECT_EQ(held[0].mode, "block");

    guard.release();
    EXPECT_FALSE(guard.held());
    QTRY_VERIFY_WITH_TIMEOUT(inhibitors().empty(), 5000);

    // Released before logind answers: the inhibitor it hands out is closed at once.
    bool answered = false;
    guard.hold([&answered](const std::string&) { answered = true; });
    guard.release();
    QTest::qWait(300);
    EXPECT_FALSE(answered);
    EXPECT_FALSE(guard.held());
    QTRY_VERIFY_WITH_TIMEOUT(inhibitors().empty(), 5000);
}

TEST_F(LogindShutdownGuardTest, SaysWhyWithoutLogindOrABus)
{
    LogindShutdownGuard withoutLogind(*m_connection);
    const std::optional<std::string> problem = hold(withoutLogind);
    EXPECT_EQ(problem->rfind("systemd-logind is not running (", 0), 0u) << *problem;
    EXPECT_FALSE(withoutLogind.held());

    LogindShutdownGuard withoutBus(QDBusConnection::connectToBus("unix:path=/nonexistent/bus", "no-bus"));
    EXPECT_EQ(hold(withoutBus)->rfind("the system bus cannot be reached", 0), 0u);
    QDBusConnection::disconnectFromBus("no-bus");
}

} // namespace
} // namespace korvane
