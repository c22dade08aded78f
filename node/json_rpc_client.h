#pragma once

#include <QByteArray>
#include <QHash>
#include <QJsonValue>
#include <QObject>
#include <QString>
#include <QThread>
#include <chrono>
#include <functional>

namespace korvane {

// How one call ended.
struct JsonRpcReply
{
    enum class Kind
    {
        Result, // `result` holds the node's answer
        RpcError, // the node answered with a JSON-RPC error: `errorCode`, `message`
        Refused, // HTTP 401: the credentials were refused
        NoAnswer, // connection refused, closed, or no answer before the timeout
        Failed, // anything else; `message` says what
    };
    Kind kind = Kind::NoAnswer;
    QJsonValue result;
    int errorCode = 0;
    QString message;
};

// JSON-RPC 1.0 calls to a node on this machine (127.0.0.1), over HTTP with basic authentication
// set on each request. The requests, their answers and the reading of the answers' JSON happen on
// a thread of the client's own; this object's thread only hands a call over and gets its reply
// back, so nothing waits for the node and a poll costs its event loop next to nothing. At most one
// call per method is on its way at a time, and each ends after the timeout.
class JsonRpcClient : public QObject
{
    Q_OBJECT

public:
    using Callback = std::function<void(const JsonRpcReply&)>;

    explicit JsonRpcClient(QObject* parent = nullptr);
    ~JsonRpcClient() override; // drops the calls on their way and ends the client's thread

    // Applies to the calls made after it.
    void setEndpoint(int port, const QByteArray& credentials); // "user:password"
    void setTimeout(std::chrono::milliseconds timeout) { m_timeout = timeout; }

    // Posts the call, unless one of the same method is still on its way (then false). `done` runs on
    // this object's thread, unless the call is cancelled first.
    bool call(const QString& method, Callback done);
    bool inFlight(const QString& method) const { return m_inFlight.contains(method); }
    int callsInFlight() const { return static_cast<int>(m_inFlight.size()); }
    // Drops every call on its way; their callbacks never run.
    void cancelAll();

private:
    class Caller;
    void finish(quint64 round, const QString& method, const JsonRpcReply& reply);

    QThread m_thread;
    Caller* m_caller; // lives on m_thread
    int m_port = 0;
    QByteArray m_authorization;
    std::chrono::milliseconds m_timeout { 5000 };
    QHash<QString, Callback> m_inFlight;
    quint64 m_round = 0; // a reply to a call made before the last cancelAll() is dropped
};

// What a finished reply means: its HTTP status, body and network error.
JsonRpcReply interpretReply(int httpStatus, const QByteArray& body, int networkError, const QString& errorText);

} // namespace korvane
