#include "app/main_window.h"
#include "gui/live_profile.h"
#include "monitor/node_status_panel.h"
#include "platform/fake/fake_services.h"
#include "node/json_rpc_client.h"
#include "tests/processes/helper_programs.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <gtest/gtest.h>
#include <memory>

namespace korvane {
namespace {

const QString kLitecoind = QStringLiteral("/usr/lib/litecoin/litecoind");
const QString kLitecoinCli = QStringLiteral("/usr/bin/litecoin-cli");
constexpr int kStartMs = 30000; // a regtest node answers after a second or two; a loaded machine is slower
constexpr int kStopMs = 60000;

QString stateText(const QWidget& window)
{
    return window.findChild<QLabel*>(QStringLiteral("NODE_STATE_LABEL"))->text();
}

QString stopText(const QWidget& window)
{
    return window.findChild<QLabel*>(QStringLiteral("NODE_STOP_LABEL"))->text();
}

// The status lines as a screen reader gets them: each label's accessible text, shown ones only.
QStringList shownLines(const QWidget& window)
{
    QStringList lines;
    for (int line = 1; line <= 8; ++line) {
        const auto* label = window.findChild<QLabel*>(QStringLiteral("NODE_STATUS_LINE_%1").arg(line));
        if (label->isVisibleTo(&window))
            lines << label->text();
    }
    return lines;
}

quint16 freePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    return probe.serverPort();
}

// A real regtest node in a temporary folder, under a file name of this test's own so that the
// watcher sees no other test's node; started by the main window's START DAEMON from the profile's
// lines, with the real launcher and process table.
class RealNodeTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!QFile::exists(kLitecoind) || !QFile::exists(kLitecoinCli))
            GTEST_SKIP() << "litecoind is not installed";
        ASSERT_TRUE(QDir(m_folder.path()).mkpath(QStringLiteral("home")));
        ASSERT_TRUE(QDir(m_folder.path()).mkpath(QStringLiteral("data")));
        m_savedHome = qgetenv("HOME");
        qputenv("HOME", path("home").toLocal8Bit()); // the node and its client read ~/.litecoin otherwise
        m_daemonName = test::uniqueName("litecoind-ns-");
        m_cliName = test::uniqueName("litecoin-cli-ns-");
        m_daemon = QString::fromStdString(m_helpers.link(m_daemonName, kLitecoind.toStdString()).string());
        m_cli = QString::fromStdString(m_helpers.link(m_cliName, kLitecoinCli.toStdString()).string());
        m_rpcPort = freePort();
    }

    void TearDown() override
    {
        m_window.reset();
        // Only after a failure is the node still running: stop it as its user would, then by signal.
        if (QFile::exists(path("data/regtest/litecoind.pid"))) {
            cli({ QStringLiteral("stop") });
            if (!QTest::qWaitFor([&] { return !QFile::exists(path("data/regtest/litecoind.pid")); }, kStopMs))
                ::kill(nodePid(), SIGKILL);
        }
        qputenv("HOME", m_savedHome);
    }

    QString path(const char* relative) const { return m_folder.filePath(QString::fromLatin1(relative)); }

    // What the daemon and its client share; the daemon also keeps off the peer-to-peer network.
    QString nodeOptions() const
    {
        return QStringLiteral("-regtest -datadir=%1 -conf=%2").arg(path("data"), path("node.conf"));
    }

    void writeConf(const QString& text)
    {
        QFile conf(path("node.conf"));
        ASSERT_TRUE(conf.open(QIODevice::WriteOnly | QIODevice::Truncate));
        conf.write(text.toUtf8());
    }
    QString regtestPortSection() const { return QStringLiteral("[regtest]\nrpcport=%1\n").arg(m_rpcPort); }

    // The main window with the node's profile, its stop line set or not.
    void openWindow(bool withCliStop)
    {
        m_services = std::make_unique<Services>(
            m_fakes.services({ .processes = m_os.processes.get(), .launcher = m_os.launcher.get() }));
        m_window = std::make_unique<MainWindow>(*m_services);
        const KeyValue profile[] = {
            { Key::CryptoName, "LTC" }, // the daemon's own file name does not say which coin it is
            { Key::DaemonName, m_daemonName },
            { Key::CliName, m_cliName },
            { Key::DaemonCommand,
              (m_daemon + QLatin1Char(' ') + nodeOptions() + QStringLiteral(" -listen=0")).toStdString() },
            { Key::CliStopCommand,
              withCliStop ? (m_cli + QLatin1Char(' ') + nodeOptions() + QStringLiteral(" stop")).toStdString() : "" },
        };
        ASSERT_TRUE(m_window->profile().setValues(profile));
        m_window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(m_window.get()));
    }

    QPushButton& button(const char* name) const
    {
        return *m_window->findChild<QPushButton*>(QString::fromLatin1(name));
    }

    void startDaemonAndWaitForAnswers()
    {
        ASSERT_TRUE(QTest::qWaitFor([&] { return button("DAEMON_START_BUTTON").isEnabled(); }, 3000));
        button("DAEMON_START_BUTTON").click();
        ASSERT_TRUE(QTest::qWaitFor([&] { return shownLines(*m_window).contains(QStringLiteral("Network: regtest")); },
                                    kStartMs))
            << stateText(*m_window).toStdString();
        EXPECT_EQ(stateText(*m_window), QStringLiteral("answering RPC on port %1").arg(m_rpcPort));
        const QString sources = m_window->findChild<QLabel*>(QStringLiteral("NODE_STATE_LABEL"))->toolTip();
        EXPECT_TRUE(sources.contains(QStringLiteral("[regtest] section"))) << sources.toStdString();
    }

    bool cli(const QStringList& arguments)
    {
        QProcess client;
        client.start(m_cli, QProcess::splitCommand(nodeOptions()) + arguments);
        const bool ran = client.waitForFinished(kStartMs) && client.exitCode() == 0;
        if (!ran)
            ADD_FAILURE() << "litecoin-cli: " << client.readAllStandardError().toStdString();
        return ran;
    }

    QString debugLog() const
    {
        QFile log(path("data/regtest/debug.log"));
        return log.open(QIODevice::ReadOnly) ? QString::fromUtf8(log.readAll()) : QString();
    }

    pid_t nodePid() const
    {
        QFile pid(path("data/regtest/litecoind.pid"));
        return pid.open(QIODevice::ReadOnly) ? static_cast<pid_t>(pid.readAll().trimmed().toInt()) : 0;
    }

    // Stopping is shown while the process runs, then a clean stop; the node's log ends with its
    // clean-shutdown line, and nothing killed it.
    void expectWatchedCleanStop()
    {
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                return stopText(*m_window).startsWith(
                    QStringLiteral("stopping \u2014 do not shut down the computer (0:"));
            },
            2000))
            << stopText(*m_window).toStdString();
        ASSERT_TRUE(QTest::qWaitFor([&] { return stopText(*m_window) == QStringLiteral("stopped cleanly"); }, kStopMs))
            << stopText(*m_window).toStdString();
        EXPECT_EQ(stateText(*m_window), QStringLiteral("daemon not running"));
        EXPECT_TRUE(debugLog().trimmed().endsWith(QStringLiteral("Shutdown: done")))
            << debugLog().right(300).toStdString();
    }

    QTemporaryDir m_folder;
    test::HelperPrograms m_helpers;
    QByteArray m_savedHome;
    std::string m_daemonName;
    std::string m_cliName;
    QString m_daemon;
    QString m_cli;
    quint16 m_rpcPort = 0;
    fake::Services m_fakes;
    OsServices m_os = createOsServices();
    std::unique_ptr<Services> m_services;
    std::unique_ptr<MainWindow> m_window;
};

TEST_F(RealNodeTest, CookieAuthenticationShowsNewBlocksAndTheCliStopIsWatchedToAnEnd)
{
    writeConf(regtestPortSection());
    openWindow(true);
    startDaemonAndWaitForAnswers();
    EXPECT_FALSE(button("NODE_RPC_STOP_BUTTON").isVisible()) << "a CLI stop line is set";

    ASSERT_TRUE(cli({ QStringLiteral("generatetodescriptor"), QStringLiteral("105"), QStringLiteral("raw(51)") }));
    QElapsedTimer sinceMade;
    sinceMade.start();
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return shownLines(*m_window).contains(QStringLiteral("Blocks: 105 / 105")); }, 4000))
        << shownLines(*m_window).join(QLatin1String(" | ")).toStdString();
    EXPECT_LT(sinceMade.elapsed(), 4000);
    const QStringList lines = shownLines(*m_window);
    EXPECT_TRUE(lines.contains(QStringLiteral("Peers: 0 in, 0 out"))) << lines.join(QLatin1String(" | ")).toStdString();
    EXPECT_TRUE(lines.filter(QStringLiteral("Version: /LitecoinCore:")).size() == 1);
    EXPECT_TRUE(lines.filter(QStringLiteral("Size on disk: ")).size() == 1);

    button("CLI_STOP_BUTTON").click();
    expectWatchedCleanStop();
}

TEST_F(RealNodeTest, RefusedPasswordStopsAskingUntilTheConfChangesThenTheRpcStopIsWatched)
{
    const QString rightConf = QStringLiteral("rpcuser=korvane\nrpcpassword=right\n") + regtestPortSection();
    writeConf(rightConf);
    openWindow(false);
    startDaemonAndWaitForAnswers();

    // The node keeps the password it started with; the panel reads the changed file again.
    writeConf(QStringLiteral("rpcuser=korvane\nrpcpassword=wrong-one\n") + regtestPortSection());
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return stateText(*m_window).startsWith(QStringLiteral("RPC credentials refused (read from ")); }, 10000))
        << stateText(*m_window).toStdString();
    const QString refused = stateText(*m_window);
    EXPECT_TRUE(refused.contains(path("node.conf"))) << refused.toStdString();
    EXPECT_TRUE(shownLines(*m_window).isEmpty());
    EXPECT_TRUE(button("NODE_RPC_ASK_AGAIN_BUTTON").isVisible());
    QTest::qWait(20000);
    const auto attempts = debugLog().count(QStringLiteral("ThreadRPCServer incorrect password attempt"));
    EXPECT_GE(attempts, 1);
    EXPECT_LE(attempts, 3);
    EXPECT_EQ(stateText(*m_window), refused);

    writeConf(rightConf);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return shownLines(*m_window).contains(QStringLiteral("Network: regtest")); }, 10000))
        << stateText(*m_window).toStdString();

    QPushButton& rpcStop = button("NODE_RPC_STOP_BUTTON");
    ASSERT_TRUE(rpcStop.isVisible()) << "no CLI stop line is set";
    ASSERT_TRUE(rpcStop.isEnabled());
    rpcStop.click();
    expectWatchedCleanStop();
}

// A panel on its own, its daemon running, whose profile's daemon line is "litecoind OPTIONS".
struct StandInPanel
{
    explicit StandInPanel(const QString& options)
    {
        EXPECT_TRUE(profile.setText(Key::DaemonCommand, QStringLiteral("litecoind ") + options));
        panel.setDaemonRunning(true);
    }
    QString state() const { return stateText(panel); }

    fake::Services fakes;
    LiveProfile profile { fakes.settings, fakes.ownExecutable };
    NodeStatusPanel panel { profile, nullptr };
};

// A daemon whose RPC port accepts connections and never answers.
TEST(NodeStatusPanelTest, ADaemonThatNeverAnswersIsNotAnsweringYetAndCallsDoNotPileUp)
{
    QTcpServer silent;
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost));
    std::vector<std::unique_ptr<QTcpSocket>> accepted;
    QObject::connect(&silent, &QTcpServer::newConnection, &silent, [&] {
        while (QTcpSocket* socket = silent.nextPendingConnection())
            accepted.emplace_back(socket);
    });

    StandInPanel standIn(QStringLiteral("-regtest -rpcport=%1 -rpcuser=u -rpcpassword=p").arg(silent.serverPort()));

    // 12 s: polls every 2 s, each call ends after 5 s; the event loop never waits for the node.
    QElapsedTimer clock;
    clock.start();
    qint64 last = 0;
    qint64 longestGap = 0;
    int mostInFlight = 0;
    while (clock.elapsed() < 12000) {
        QTest::qWait(10);
        longestGap = std::max(longestGap, clock.elapsed() - last);
        last = clock.elapsed();
        mostInFlight = std::max(mostInFlight, standIn.panel.client().callsInFlight());
        EXPECT_EQ(standIn.state(), "not answering RPC yet");
    }
    EXPECT_LT(longestGap, 200);
    EXPECT_EQ(mostInFlight, 1);
    EXPECT_GE(accepted.size(), 2u);
    EXPECT_LE(accepted.size(), 3u) << "a call waits for the one before it";

    // Nothing listening at all: refused at once.
    silent.close();
    accepted.clear();
    ASSERT_TRUE(standIn.profile.setText(
        Key::DaemonCommand, QStringLiteral("litecoind -regtest -rpcport=%1 -rpcpassword=p").arg(freePort())));
    QTest::qWait(2 * NodeStatusPanel::kPollIntervalMs + 500);
    EXPECT_EQ(standIn.state(), "not answering RPC yet");
    EXPECT_EQ(standIn.panel.client().callsInFlight(), 0);
}

// A node still warming up answers every call with error -28 and the step it is at.
TEST(NodeStatusPanelTest, AWarmingUpNodeIsStartingWithItsOwnText)
{
    QTcpServer warmingUp;
    ASSERT_TRUE(warmingUp.listen(QHostAddress::LocalHost));
    QByteArray authorization;
    QObject::connect(&warmingUp, &QTcpServer::newConnection, &warmingUp, [&] {
        QTcpSocket* socket = warmingUp.nextPendingConnection();
        QObject::connect(socket, &QTcpSocket::readyRead, socket, [&, socket] {
            const QByteArray request = socket->readAll();
            const auto header = request.indexOf("Authorization: ");
            authorization = request.mid(header + 15, request.indexOf("\r\n", header) - header - 15);
            const QByteArray body
                = R"({"result":null,"error":{"code":-28,"message":"Verifying blocks…"},"id":"korvane"})";
            socket->write("HTTP/1.1 500 Internal Server Error\r\nContent-Type: application/json\r\nContent-Length: "
                          + QByteArray::number(body.size()) + "\r\n\r\n" + body);
        });
    });

    StandInPanel standIn(QStringLiteral("-rpcport=%1 -rpcuser=me -rpcpassword=secret").arg(warmingUp.serverPort()));
    EXPECT_TRUE(QTest::qWaitFor([&] { return standIn.state() == "starting: Verifying blocks…"; }, 3000))
        << standIn.state().toStdString();
    EXPECT_EQ(authorization, "Basic " + QByteArray("me:secret").toBase64());
    EXPECT_EQ(standIn.panel.state(), NodeRpcState::Starting);
}

} // namespace
} // namespace korvane
