#include "platform/qt/json_rpc_client.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>
#include <utility>

namespace korvane {

JsonRpcClient::JsonRpcClient(QObject* parent)
    : QObject(parent)
{
    // The node is on this machine: a proxy from the environment must not stand in between.
    m_network.setProxy(QNetworkProxy::NoProxy);
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
    QNetworkRequest request(QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(m_port)));
    request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/json"));
    // Set directly: the node answers a request without it with 401 at once, and a challenge-answer
    // round would double every call.
    request.setRawHeader("Authorization", m_authorization);
    request.setTransferTimeout(static_cast<int>(m_timeout.count()));
    const QJsonObject body { { QStringLiteral("jsonrpc"), QStringLiteral("1.0") },
                             { QStringLiteral("id"), QStringLiteral("korvane") },
                             { QStringLiteral("method"), method },
                             { QStringLiteral("params"), QJsonArray() } };
    QNetworkReply* reply = m_network.post(request, QJsonDocument(body).toJson(QJsonDocument::Compact));
    m_inFlight.insert(method, reply);
    connect(reply, &QNetworkReply::finished, this,
            [this, method, reply, done = std::move(done)] { finish(method, reply, done); });
    return true;
}

void JsonRpcClient::cancelAll()
{
    const auto calls = std::exchange(m_inFlight, {});
    for (QNetworkReply* reply : calls) {
        reply->disconnect(this);
        reply->abort();
        reply->deleteLater();
    }
}

void JsonRpcClient::finish(const QString& method, QNetworkReply* reply, const Callback& done)
{
    m_inFlight.remove(method);
    reply->deleteLater();
    JsonRpcReply answer
        = interpretReply(reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(),
                         reply->isOpen() ? reply->readAll() : QByteArray(), reply->error(), reply->errorString());
    if (answer.kind == JsonRpcReply::Kind::NoAnswer && reply->error() == QNetworkReply::OperationCanceledError)
        answer.message = QStringLiteral("no answer within %1 s").arg(static_cast<double>(m_timeout.count()) / 1000.0);
    done(answer);
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
