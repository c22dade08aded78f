// The RPC client against servers on this machine that misbehave as no node should: each call must
// end within its deadline, whatever comes back, and never hold up the event loop.
#include "node/json_rpc_client.h"

#include <QElapsedTimer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <optional>

namespace korvane {
namespace {

using namespace std::chrono_literals;

// A server that answers every request by calling `answer` with the connection.
class LocalServer
{
public:
    using Answer = std::function<void(QTcpSocket&)>;

    explicit LocalServer(Answer answer)
        : m_answer(std::move(answer))
    {
        EXPECT_TRUE(m_server.listen(QHostAddress::LocalHost));
        QObject::connect(&m_server, &QTcpServer::newConnection, &m_server, [this] {
            while (QTcpSocket* socket = m_server.nextPendingConnection()) {
                QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                    if (socket->readAll().contains("\r\n\r\n"))
                        m_answer(*socket);
                });
            }
        });
    }
    quint16 port() const { return m_server.serverPort(); }

private:
    QTcpServer m_server;
    Answer m_answer;
};

QByteArray httpAnswer(const QByteArray& status, const QByteArray& type, const QByteArray& body)
{
    return "HTTP/1.1 " + status + "\r\nContent-Type: " + type + "\r\nContent-Length: " + QByteArray::number(body.size())
        + "\r\n\r\n" + body;
}

struct Ended
{
    RpcReply reply;
    qint64 afterMs = 0;
    qint64 longestTurnMs = 0; // the event loop's longest turn while the call was on its way
};

Ended callOnce(quint16 port, std::chrono::milliseconds deadline = 1000ms)
{
    JsonRpcClient client;
    client.setDeadline(deadline);
    client.setEndpoint(QStringLiteral("127.0.0.1"), port, "u:p");
    std::optional<RpcReply> reply;
    QElapsedTimer clock;
    clock.start();
    client.call(QStringLiteral("getblockchaininfo"), {}, [&](const RpcReply& answer) { reply = answer; });
    Ended ended;
    qint64 last = 0;
    while (!reply && clock.elapsed() < 10000) {
        QTest::qWait(5);
        ended.longestTurnMs = std::max(ended.longestTurnMs, clock.elapsed() - last);
        last = clock.elapsed();
    }
    EXPECT_TRUE(reply.has_value()) << "the call never ended";
    ended.afterMs = clock.elapsed();
    ended.reply = reply.value_or(RpcReply {});
    EXPECT_EQ(client.callsInFlight(), 0);
    return ended;
}

TEST(JsonRpcClient, EveryCallEndsByItsDeadlineWhateverTheServerDoes)
{
    using Kind = RpcOutcome::Kind;
    struct Case
    {
        const char* server;
        LocalServer::Answer answer;
        Kind kind;
        const char* message;
    };
    const QByteArray fiveMegabytes = R"({"result":{"warnings":")" + QByteArray(5 * 1024 * 1024, 'w') + R"("},"id":1})";
    const Case cases[] = {
        { "answers in time",
          [](QTcpSocket& socket) {
              socket.write(httpAnswer("200 OK", "application/json", R"({"result":{"blocks":7},"error":null})"));
          },
          Kind::Result, "" },
        { "sends its headers, then a byte every 200 ms",
          [](QTcpSocket& socket) {
              socket.write("HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nContent-Length: 100000\r\n\r\n");
              auto* trickle = new QTimer(&socket);
              QObject::connect(trickle, &QTimer::timeout, &socket, [&socket] { socket.write(" "); });
              trickle->start(200);
          },
          Kind::NoAnswer, "no answer within 1 s" },
        { "accepts and stays silent", [](QTcpSocket&) {}, Kind::NoAnswer, "no answer within 1 s" },
        { "sends a 5 MB field",
          [&](QTcpSocket& socket) { socket.write(httpAnswer("200 OK", "application/json", fiveMegabytes)); },
          Kind::Failed, "the node's answer was too large" },
        { "is a web server",
          [](QTcpSocket& socket) { socket.write(httpAnswer("200 OK", "text/html", "<html><b>hi</b></html>")); },
          Kind::Failed, "the answer on the port is not the node's (HTTP 200, text/html)" },
        { "refuses the credentials",
          [](QTcpSocket& socket) { socket.write(httpAnswer("401 Unauthorized", "text/html", "")); }, Kind::Refused,
          "the node refused the credentials" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.server);
        LocalServer server(c.answer);
        const Ended ended = callOnce(server.port());
        EXPECT_EQ(ended.reply.outcome.kind, c.kind);
        EXPECT_EQ(ended.reply.outcome.message, c.message);
        EXPECT_LT(ended.afterMs, 3000);
        EXPECT_LT(ended.longestTurnMs, 100) << "the event loop was held up";
    }
}

TEST(JsonRpcClient, ANodeOnIpv6LoopbackIsReachedAndCancelledCallsNeverAnswer)
{
    QTcpServer server;
    if (!server.listen(QHostAddress::LocalHostIPv6))
        GTEST_SKIP() << "no IPv6 loopback here";
    int requests = 0;
    QObject::connect(&server, &QTcpServer::newConnection, &server, [&] {
        QTcpSocket* socket = server.nextPendingConnection();
        QObject::connect(socket, &QTcpSocket::readyRead, socket, [&, socket] {
            ++requests;
            socket->write(httpAnswer("200 OK", "application/json", R"({"result":3,"error":null})"));
        });
    });
    JsonRpcClient client;
    client.setEndpoint(QStringLiteral("::1"), server.serverPort(), "u:p");
    std::optional<RpcReply> reply;
    client.call(QStringLiteral("getblockcount"), {}, [&](const RpcReply& answer) { reply = answer; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return reply.has_value(); }, 5000));
    EXPECT_EQ(reply->result.toInt(), 3);

    bool answered = false;
    client.call(QStringLiteral("getblockcount"), {}, [&](const RpcReply&) { answered = true; });
    client.cancelAll();
    QTest::qWait(300);
    EXPECT_FALSE(answered);
    EXPECT_EQ(client.callsInFlight(), 0);
}

} // namespace
} // namespace korvane
