#pragma once

#include "node/node_status.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonValue>
#include <QObject>
#include <QSet>
#include <QString>
#include <chrono>
#include <functional>

class QNetworkAccessManager;
class QNetworkReply;

namespace korvane {

// How one call ended, and the node's answer when it gave one.
struct RpcReply
{
    RpcOutcome outcome;
    QJsonValue result; // the node's result, when outcome.kind is Result
    std::chrono::milliseconds took { 0 };
};

// JSON-RPC 1.0 calls to a node on this machine over HTTP, with basic authentication set on each
// request. Network work happens on Qt's own network thread; this object only posts a call and reads
// its answer. Each call ends at its deadline however slowly its answer trickles in, and an answer
// larger than kLargestAnswer is cut off, so neither a slow nor a flooding server holds anything up.
class JsonRpcClient : public QObject
{
    Q_OBJECT

public:
    static constexpr qint64 kLargestAnswer = 1024 * 1024;

    explicit JsonRpcClient(QObject* parent = nullptr);
    ~JsonRpcClient() override;

    // Applies to the calls made after it. `host` is an address of this machine ("127.0.0.1", "::1").
    void setEndpoint(const QString& host, quint16 port, const QByteArray& credentials); // "user:password"
    void setDeadline(std::chrono::milliseconds deadline) { m_deadline = deadline; }

    using Done = std::function<void(const RpcReply&)>;
    // Posts the call; `done` runs on this object's thread when it has ended, unless cancelAll() comes
    // first (then never).
    void call(const QString& method, const QJsonArray& params, Done done);
    int callsInFlight() const { return static_cast<int>(m_replies.size()); }
    // Aborts every call on its way; their `done` never runs.
    void cancelAll();

private:
    void finish(QNetworkReply* reply, const Done& done, std::chrono::steady_clock::time_point sent);
    void watchSize(QNetworkReply* reply);

    QNetworkAccessManager* m_network;
    QString m_host = QStringLiteral("127.0.0.1");
    quint16 m_port = 0;
    QByteArray m_authorization;
    std::chrono::milliseconds m_deadline { 5000 };
    QSet<QNetworkReply*> m_replies; // on their way
};

} // namespace korvane
