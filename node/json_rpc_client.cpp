#include "node/json_rpc_client.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSet>
#include <QUrl>
#include <utility>

namespace korvane {

// Makes the calls on the client's thread, and sends each reply back to the client already read.
class JsonRpcClient::Caller : public QObject
{
public:
    struct Call
    {
        quint64 round;
        QString method;
        int port;
        QByteArray authorization;
        std::chrono::milliseconds timeout;
    };

    Caller()
        : m_network(new QNetworkAccessManager(this))
    {
        // The node is on this machine: a proxy from the environment must not stand in between.
        m_network->setProxy(QNetworkProxy::NoProxy);
    }
    ~Caller() override { abortAll(); }

    void post(const Call& call, JsonRpcClient* client)
    {
        QNetworkRequest request(QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(call.port)));
        request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/json"));
        // Set directly: the node answers a request without it with 401 at once, and a
        // challenge-answer round would double every call.
        request.setRawHeader("Authorization", call.authorization);
        request.setTransferTimeout(static_cast<int>(call.timeout.count()));
        const QJsonObject body { { QStringLiteral("jsonrpc"), QStringLiteral("1.0") },
                                 { QStringLiteral("id"), QStringLiteral("korvane") },
                                 { QStringLiteral("method"), call.method },
                                 { QStringLiteral("params"), QJsonArray() } };
        QNetworkReply* reply = m_network->post(request, QJsonDocument(body).toJson(QJsonDocument::Compact));
        m_replies.insert(reply);
        connect(reply, &QNetworkReply::finished, this, [this, reply, call, client] {
            const JsonRpcReply answer = answerOf(reply, call.timeout);
            QMetaObject::invokeMethod(
                client, [client, call, answer] { client->finish(call.round, call.method, answer); },
                Qt::QueuedConnection);
        });
    }

    void abortAll()
    {
        for (QNetworkReply* reply : std::exchange(m_replies, {})) {
            reply->disconnect(this);
            reply->abort();
            reply->deleteLater();
        }
    }

private:
    JsonRpcReply answerOf(QNetworkReply* reply, std::chrono::milliseconds timeout)
    {
        m_replies.remove(reply);
        reply->deleteLater();
        JsonRpcReply answer
            = interpretReply(reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(),
                             reply->isOpen() ? reply->readAll() : QByteArray(), reply->error(), reply->errorString());
        if (answer.kind == JsonRpcReply::Kind::NoAnswer && reply->error() == QNetworkReply::OperationCanceledError)
            answer.message = QStringLiteral("no answer within %1 s").arg(static_cast<double>(timeout.count()) / 1000.0);
        return answer;
    }

    QNetworkAccessManager* m_network;
    QSet<QNetworkReply*> m_replies;
};

JsonRpcClient::JsonRpcClient(QObject* parent)
    : QObject(parent)
    , m_caller(new Caller)
{
    m_caller->moveToThread(&m_thread);
    connect(&m_thread, &QThread::finished, m_caller, &QObject::deleteLater);
    m_thread.setObjectName(QStringLiteral("JSON-RPC"));
    m_thread.start();
}

JsonRpcClient::~JsonRpcClient()
{
    m_thread.quit();
    m_thread.wait();
}

void JsonRpcClient::setEndpoint(int port, const QByteArray& credentials)
{
    m_port = port;
    m_authorization = "Basic " + credentials.toBase64();
}

bool JsonRpcClient::call(const QString& method, Callback done)
{
    if (inFlight(method))
        return false;
    m_inFlight.insert(method, std::move(done));
    const Caller::Call call { m_round, method, m_port, m_authorization, m_timeout };
    QMetaObject::invokeMethod(
        m_caller, [caller = m_caller, call, client = this] { caller->post(call, client); }, Qt::QueuedConnection);
    return true;
}

void JsonRpcClient::cancelAll()
{
    ++m_round;
    m_inFlight.clear();
    QMetaObject::invokeMethod(
        m_caller, [caller = m_caller] { caller->abortAll(); }, Qt::QueuedConnection);
}

void JsonRpcClient::finish(quint64 round, const QString& method, const JsonRpcReply& reply)
{
    if (round != m_round)
        return;
    const Callback done = m_inFlight.take(method);
    if (done)
        done(reply);
}

JsonRpcReply interpretReply(int httpStatus, const QByteArray& body, int networkError, const QString& errorText)
{
    JsonRpcReply reply;
    if (httpStatus == 401) {
        reply.kind = JsonRpcReply::Kind::Refused;
        return reply;
    }
    // The node sends its errors with HTTP 500 (404 for an unknown method), the JSON-RPC error in the body.
    const QJsonObject answer = QJsonDocument::fromJson(body).object();
    const QJsonValue error = answer.value(QStringLiteral("error"));
    if (error.isObject()) {
        reply.kind = JsonRpcReply::Kind::RpcError;
        reply.errorCode = error.toObject().value(QStringLiteral("code")).toInt();
        reply.message = error.toObject().value(QStringLiteral("message")).toString();
        return reply;
    }
    if (httpStatus == 200 && answer.contains(QStringLiteral("result"))) {
        reply.kind = JsonRpcReply::Kind::Result;
        reply.result = answer.value(QStringLiteral("result"));
        return reply;
    }
    switch (networkError) {
    case QNetworkReply::ConnectionRefusedError:
    case QNetworkReply::RemoteHostClosedError:
    case QNetworkReply::TimeoutError:
    case QNetworkReply::OperationCanceledError:
        reply.kind = JsonRpcReply::Kind::NoAnswer;
        reply.message = errorText;
        return reply;
    default:
        break;
    }
    reply.kind = JsonRpcReply::Kind::Failed;
    reply.message = httpStatus != 0 ? QStringLiteral("HTTP %1").arg(httpStatus) : errorText;
    return reply;
}

} // namespace korvane
