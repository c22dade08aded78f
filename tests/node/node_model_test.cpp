// The node's model against a real regtest node started through the main window, and against
// servers on the RPC port that behave as no node should.
#include "app/main_window.h"
#include "gui/elided_label.h"
#include "gui/live_profile.h"
#include "node/node_model.h"
#include "platform/fake/fake_services.h"
#include "tests/helpers/other_users_listener.h"
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
#include <QThreadPool>
#include <csignal>
#include <gtest/gtest.h>
#include <memory>
#include <unistd.h>

namespace korvane {
namespace {

const QString kLitecoind = QStringLiteral("/usr/lib/litecoin/litecoind");
const QString kLitecoinCli = QStringLiteral("/usr/bin/litecoin-cli");
constexpr int kStartMs = 30000; // a regtest node answers after a second or two; a loaded machine is slower
constexpr int kStopMs = 60000;

// A line's whole text, where the panel is too narrow to show it all.
QString lineText(const QWidget& window, const QString& name)
{
    return window.findChild<ElidedLabel*>(name)->fullText();
}

QString stateText(const QWidget& window)
{
    return lineText(window, QStringLiteral("NODE_STATE_LABEL"));
}

QString stopText(const QWidget& window)
{
    return lineText(window, QStringLiteral("NODE_STOP_LABEL"));
}

// The status lines as shown, the empty ones left out.
QStringList shownLines(const QWidget& window)
{
    QStringList lines;
    for (int line = 1; line <= 8; ++line) {
        const QString text = lineText(window, QStringLiteral("NODE_STATUS_LINE_%1").arg(line));
        if (!text.isEmpty())
            lines << text;
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
        QThreadPool::globalInstance()->waitForDone();
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
        m_services = std::make_unique<Services>(m_fakes.services({ .processes = m_os.processes.get(),
                                                                   .launcher = m_os.launcher.get(),
                                                                   .programs = m_os.programs.get(),
                                                                   .ports = m_os.ports.get() }));
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

    // A fresh regtest chain's only block is from 2011: the node is catching up until it mines.
    void startDaemonAndWaitForAnswers()
    {
        ASSERT_TRUE(QTest::qWaitFor([&] { return button("DAEMON_START_BUTTON").isEnabled(); }, 3000));
        button("DAEMON_START_BUTTON").click();
        ASSERT_TRUE(QTest::qWaitFor([&] { return shownLines(*m_window).contains(QStringLiteral("Network: regtest")); },
                                    kStartMs))
            << stateText(*m_window).toStdString();
        EXPECT_TRUE(stateText(*m_window).startsWith(QStringLiteral("catching up: last block ")))
            << stateText(*m_window).toStdString();
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

    // Stopping is shown once the node took the stop and while its process runs, then a clean stop
    // read from its log.
    void expectWatchedCleanStop()
    {
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                return stopText(*m_window).startsWith(
                    QStringLiteral("stopping \u2014 do not shut down the computer (0:"));
            },
            5000))
            << stopText(*m_window).toStdString();
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return stateText(*m_window).startsWith(QStringLiteral("stopped cleanly at ")); }, kStopMs))
            << stateText(*m_window).toStdString();
        EXPECT_EQ(stopText(*m_window), QString());
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
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return shownLines(*m_window).contains(QStringLiteral("Blocks: 105 / 105")); }, 12000))
        << shownLines(*m_window).join(QLatin1String(" | ")).toStdString();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return stateText(*m_window).startsWith(QStringLiteral("synced: answering RPC on port")); }, 12000))
        << stateText(*m_window).toStdString();
    const QStringList lines = shownLines(*m_window);
    EXPECT_TRUE(lines.contains(QStringLiteral("Peers: 0 in, 0 out"))) << lines.join(QLatin1String(" | ")).toStdString();
    EXPECT_TRUE(lines.filter(QStringLiteral("Version: /LitecoinCore:")).size() == 1);
    EXPECT_TRUE(lines.filter(QStringLiteral("Size on disk: ")).size() == 1);

    button("CLI_STOP_BUTTON").click();
    expectWatchedCleanStop();
}

// A conf the node cannot read: the start fails in the node's own words, caught from its error
// stream, and with restarts on nothing starts it again.
TEST_F(RealNodeTest, AStartThatFailsOnItsConfSaysWhyInTheNodesWords)
{
    writeConf(regtestPortSection() + QStringLiteral("this is no setting\n"));
    openWindow(true);
    ASSERT_TRUE(m_window->profile().setTicked(Key::RestartDaemonTick, true));
    ASSERT_TRUE(QTest::qWaitFor([&] { return button("DAEMON_START_BUTTON").isEnabled(); }, 3000));
    button("DAEMON_START_BUTTON").click();
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return stateText(*m_window).startsWith(QStringLiteral("failed to start: ")); }, kStartMs))
        << stateText(*m_window).toStdString();
    EXPECT_EQ(stateText(*m_window),
              QStringLiteral("failed to start: Error: Error reading configuration file: parse error on line 3: this is "
                             "no setting"));
    const QString status = m_window->findChild<QLabel*>(QStringLiteral("STATUS_LABEL"))->text();
    EXPECT_TRUE(status.startsWith(QStringLiteral("The daemon failed to start: Error: Error reading configuration")))
        << status.toStdString();
    EXPECT_FALSE(status.contains(QStringLiteral("restarting")));
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
        [&] {
            return stateText(*m_window).startsWith(
                QStringLiteral("running, status unknown: RPC credentials refused (read from "));
        },
        10000))
        << stateText(*m_window).toStdString();
    const QString refused = stateText(*m_window);
    EXPECT_TRUE(refused.contains(path("node.conf"))) << refused.toStdString();
    EXPECT_TRUE(button("NODE_RPC_ASK_AGAIN_BUTTON").isVisible());
    QTest::qWait(12000);
    const auto attempts = debugLog().count(QStringLiteral("ThreadRPCServer incorrect password attempt"));
    EXPECT_GE(attempts, 1);
    EXPECT_LE(attempts, 3);
    EXPECT_EQ(stateText(*m_window), refused);

    writeConf(rightConf);
    ASSERT_TRUE(QTest::qWaitFor([&] { return stateText(*m_window).startsWith(QStringLiteral("catching up")); }, 10000))
        << stateText(*m_window).toStdString();

    QPushButton& rpcStop = button("NODE_RPC_STOP_BUTTON");
    ASSERT_TRUE(rpcStop.isVisible()) << "no CLI stop line is set";
    ASSERT_TRUE(rpcStop.isEnabled());
    rpcStop.click();
    expectWatchedCleanStop();
}

// The model of a node whose process the watcher reports running, with this machine's own view of
// who listens on a port, and its daemon line "litecoind OPTIONS".
struct StandInNode
{
    explicit StandInNode(const QString& options)
    {
        QObject::connect(&profile, &LiveProfile::changed, model.get(), &NodeModel::profileChanged);
        EXPECT_TRUE(profile.setText(Key::DaemonCommand, QStringLiteral("litecoind ") + options));
        model->setDaemonProcesses({ 424242 });
    }
    ~StandInNode()
    {
        model.reset();
        QThreadPool::globalInstance()->waitForDone(); // before the services go
    }
    QString headline() const { return QString::fromStdString(model->snapshot().headline); }

    fake::Services fakes;
    OsServices os = createOsServices();
    LiveProfile profile { fakes.settings, fakes.ownExecutable };
    std::unique_ptr<NodeModel> model = std::make_unique<NodeModel>(
        profile, "STANDIN", NodeModelServices { fakes.launcher, fakes.programs, fakes.processes, *os.ports });
};

// A server on the RPC port that answers `answers` times, then closes every connection unanswered.
class FlakyNode
{
public:
    explicit FlakyNode(int answers, const QByteArray& body)
        : m_answersLeft(answers)
    {
        EXPECT_TRUE(m_server.listen(QHostAddress::LocalHost));
        QObject::connect(&m_server, &QTcpServer::newConnection, &m_server, [this, body] {
            QTcpSocket* socket = m_server.nextPendingConnection();
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket, body] {
                const QByteArray request = socket->readAll();
                ++m_requests;
                const auto header = request.indexOf("Authorization: ");
                m_authorization = request.mid(header + 15, request.indexOf("\r\n", header) - header - 15);
                if (m_answersLeft-- <= 0) {
                    socket->abort();
                    return;
                }
                socket->write("HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nContent-Length: "
                              + QByteArray::number(body.size()) + "\r\n\r\n" + body);
            });
        });
    }
    quint16 port() const { return m_server.serverPort(); }
    int requests() const { return m_requests; }
    const QByteArray& authorization() const { return m_authorization; }

private:
    QTcpServer m_server;
    int m_answersLeft;
    int m_requests = 0;
    QByteArray m_authorization;
};

// A node that answered and then falls silent keeps its figures, says how old they are, and is
// "not answering" only after three polls in a row got nothing; calls never pile up.
TEST(NodeModelTest, SilenceKeepsTheLastFiguresUntilThreePollsInARowFail)
{
    FlakyNode node(4, R"({"result":{"chain":"regtest","blocks":5,"headers":9},"error":null})");
    StandInNode standIn(QStringLiteral("-regtest -rpcport=%1 -rpcuser=me -rpcpassword=secret").arg(node.port()));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return standIn.headline().startsWith(QStringLiteral("catching up: 4 blocks behind")); }, 5000))
        << standIn.headline().toStdString();
    EXPECT_EQ(node.authorization(), "Basic " + QByteArray("me:secret").toBase64());

    QStringList headlines;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 9000 && !standIn.headline().startsWith(QStringLiteral("running, status unknown"))) {
        QTest::qWait(20);
        if (headlines.isEmpty() || headlines.last() != standIn.headline())
            headlines << standIn.headline();
    }
    ASSERT_TRUE(
        standIn.headline().startsWith(QStringLiteral("running, status unknown: not answering RPC (last answer ")))
        << headlines.join(QLatin1String(" | ")).toStdString();
    EXPECT_TRUE(headlines.filter(QStringLiteral("catching up: 4 blocks behind (last answer ")).size() >= 1)
        << headlines.join(QLatin1String(" | ")).toStdString();
    EXPECT_FALSE(standIn.model->snapshot().lines.empty()) << "the last figures stay";
    EXPECT_LE(node.requests(), 10) << "one call at a time, the rest of a failed poll not asked";
}

// A node still warming up answers every call with error -28 and the step it is at.
TEST(NodeModelTest, AWarmingUpNodeIsStartingWithItsOwnText)
{
    QTcpServer warmingUp;
    ASSERT_TRUE(warmingUp.listen(QHostAddress::LocalHost));
    QObject::connect(&warmingUp, &QTcpServer::newConnection, &warmingUp, [&] {
        QTcpSocket* socket = warmingUp.nextPendingConnection();
        QObject::connect(socket, &QTcpSocket::readyRead, socket, [socket] {
            socket->readAll();
            const QByteArray body
                = R"({"result":null,"error":{"code":-28,"message":"Verifying blocks…"},"id":"korvane"})";
            socket->write("HTTP/1.1 500 Internal Server Error\r\nContent-Type: application/json\r\nContent-Length: "
                          + QByteArray::number(body.size()) + "\r\n\r\n" + body);
        });
    });
    StandInNode standIn(QStringLiteral("-rpcport=%1 -rpcuser=me -rpcpassword=secret").arg(warmingUp.serverPort()));
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return standIn.headline() == QStringLiteral("starting: Verifying blocks…"); }, 3000))
        << standIn.headline().toStdString();
}

// Another user's program on the RPC port gets no credentials: the model says whose port it is.
TEST(NodeModelTest, AnotherUsersListenerOnThePortGetsNoCredentials)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "a listener of another user needs root to start it here";
    test::OtherUsersListener other;
    ASSERT_NE(other.port(), 0) << "the other user could not listen";
    StandInNode standIn(QStringLiteral("-rpcport=%1 -rpcuser=me -rpcpassword=secret").arg(other.port()));
    const QString withheld = QStringLiteral("not this profile's node: port %1 is served by another user's program; "
                                            "credentials withheld")
                                 .arg(other.port());
    EXPECT_TRUE(QTest::qWaitFor([&] { return standIn.headline() == withheld; }, 5000))
        << standIn.headline().toStdString();
    QTest::qWait(2500); // another poll
    EXPECT_EQ(standIn.headline(), withheld);
    EXPECT_EQ(standIn.model->callsMade(), 0);
    EXPECT_EQ(other.bytesHeard(), 0u) << "nothing was sent to the port";
}

} // namespace
} // namespace korvane
