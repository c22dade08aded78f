#include "node/json_rpc_client.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>
#include <utility>

namespace korvane {
namespace {

// Why a reply was aborted here, kept on the reply itself.
constexpr const char* kAbortReason = "korvaneAbortReason";

RpcOutcome outcome(RpcOutcome::Kind kind, std::string message, int errorCode = 0)
{
    return { kind, errorCode, std::move(message) };
}

// What a finished reply means, from its HTTP status, body and network error.
RpcReply interpret(QNetworkReply& reply, const QByteArray& body)
{
    const int status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    using Kind = RpcOutcome::Kind;
    if (status == 401)
        return { outcome(Kind::Refused, "the node refused the credentials"), {} };
    // The node sends its errors with HTTP 500 (404 for an unknown method), the JSON-RPC error in the body.
    QJsonParseError parsed;
    const QJsonDocument document = QJsonDocument::fromJson(body, &parsed);
    const QJsonObject answer = document.object();
    if (const QJsonValue error = answer.value(QLatin1String("error")); error.isObject()) {
        const QJsonObject fields = error.toObject();
        return { outcome(Kind::RpcError, fields.value(QLatin1String("message")).toString().toStdString(),
                         fields.value(QLatin1String("code")).toInt()),
                 {} };
    }
    if (status == 200 && answer.contains(QLatin1String("result")))
        return { outcome(Kind::Result, {}), answer.value(QLatin1String("result")) };
    switch (reply.error()) {
    case QNetworkReply::ConnectionRefusedError:
    case QNetworkReply::RemoteHostClosedError:
    case QNetworkReply::TimeoutError:
    case QNetworkReply::HostNotFoundError:
        return { outcome(Kind::NoAnswer, reply.errorString().toStdString()), {} };
    default:
        break;
    }
    if (status == 0)
        return { outcome(Kind::Failed, reply.errorString().toStdString()), {} };
    const QString type = reply.header(QNetworkRequest::ContentTypeHeader).toString();
    return { outcome(Kind::Failed,
                     QStringLiteral("the answer on the port is not the node's (HTTP %1%2)")
                         .arg(status)
                         .arg(type.isEmpty() ? QString() : QStringLiteral(", ") + type)
                         .toStdString()),
             {} };
}

} // namespace

JsonRpcClient::JsonRpcClient(QObject* parent)
    : QObject(parent)
    , m_network(new QNetworkAccessManager(this))
{
    // The node is on this machine: a proxy from the environment must not stand in between, and the
    // credentials never follow a redirect.
    m_network->setProxy(QNetworkProxy::NoProxy);
    m_network->setRedirectPolicy(QNetworkRequest::ManualRedirectPolicy);
}

JsonRpcClient::~JsonRpcClient()
{
    cancelAll();
}

void JsonRpcClient::setEndpoint(const QString& host, quint16 port, const QByteArray& credentials)
{
    m_host = host;
    m_port = port;
    m_authorization = "Basic " + credentials.toBase64();
}

void JsonRpcClient::call(const QString& method, const QJsonArray& params, Done done)
{
    QUrl url;
    url.setScheme(QStringLiteral("http"));
    url.setHost(m_host);
    url.setPort(m_port);
    url.setPath(QStringLiteral("/"));
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/json"));
    // Set directly: the node answers a request without it with 401 at once, and a challenge-answer
    // round would double every call.
    request.setRawHeader("Authorization", m_authorization);
    // No connection is kept open between calls: the node waits for open ones (up to its
    // -rpcservertimeout, 30 s) before it can finish a stop.
    request.setRawHeader("Connection", "close");
    const QJsonObject body { { QStringLiteral("jsonrpc"), QStringLiteral("1.0") },
                             { QStringLiteral("id"), QStringLiteral("korvane") },
                             { QStringLiteral("method"), method },
                             { QStringLiteral("params"), params } };
    const auto sent = std::chrono::steady_clock::now();
    QNetworkReply* reply = m_network->post(request, QJsonDocument(body).toJson(QJsonDocument::Compact));
    m_replies.insert(reply);

    // One deadline for the whole call: a transfer timeout would start again with every byte.
    auto* deadline = new QTimer(reply);
    deadline->setSingleShot(true);
    connect(deadline, &QTimer::timeout, reply, [reply, seconds = static_cast<double>(m_deadline.count()) / 1000.0] {
        reply->setProperty(kAbortReason, QStringLiteral("no answer within %1 s").arg(seconds));
        reply->abort();
    });
    deadline->start(m_deadline);
    watchSize(reply);
    connect(reply, &QNetworkReply::finished, this,
            [this, reply, done = std::move(done), sent] { finish(reply, done, sent); });
}

// An answer larger than the node ever sends is cut off as soon as it shows itself.
void JsonRpcClient::watchSize(QNetworkReply* reply)
{
    const auto tooLarge = [reply] {
        const qint64 announced = reply->header(QNetworkRequest::ContentLengthHeader).toLongLong();
        if (announced <= kLargestAnswer && reply->bytesAvailable() <= kLargestAnswer)
            return;
        reply->setProperty(kAbortReason, QStringLiteral("the node's answer was too large"));
        reply->abort();
    };
    connect(reply, &QNetworkReply::metaDataChanged, reply, tooLarge);
    connect(reply, &QNetworkReply::readyRead, reply, tooLarge);
}

void JsonRpcClient::finish(QNetworkReply* reply, const Done& done, std::chrono::steady_clock::time_point sent)
{
    m_replies.remove(reply);
    reply->deleteLater();
    RpcReply answer;
    const QString abortReason = reply->property(kAbortReason).toString();
    if (!abortReason.isEmpty()) {
        const bool silent = abortReason.startsWith(QLatin1String("no answer"));
        answer.outcome
            = outcome(silent ? RpcOutcome::Kind::NoAnswer : RpcOutcome::Kind::Failed, abortReason.toStdString());
    } else {
        answer = interpret(*reply, reply->readAll());
    }
    answer.took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - sent);
    if (done)
        done(answer);
}

void JsonRpcClient::cancelAll()
{
    for (QNetworkReply* reply : std::exchange(m_replies, {})) {
        reply->disconnect(this);
        reply->abort();
        reply->deleteLater();
    }
}

} // namespace korvane
