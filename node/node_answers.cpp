#include "node/node_answers.h"

#include <QJsonArray>

namespace korvane {
namespace {

NodeWarnings warningsOf(const QJsonValue& value)
{
    if (!value.isArray())
        return value.toString().toStdString();
    std::vector<std::string> list;
    for (const QJsonValue& warning : value.toArray())
        list.push_back(warning.toString().toStdString());
    return list;
}

std::optional<double> decimal(const QJsonValue& value)
{
    return value.isDouble() && value.toDouble() >= 0 ? std::optional(value.toDouble()) : std::nullopt;
}

} // namespace

std::optional<std::int64_t> figure(const QJsonValue& value)
{
    if (!value.isDouble())
        return std::nullopt;
    const double number = value.toDouble();
    return number < 0 ? std::nullopt : std::optional(static_cast<std::int64_t>(number));
}

ChainInfo chainInfoOf(const QJsonObject& result)
{
    ChainInfo info;
    info.chain = result.value(QLatin1String("chain")).toString().toStdString();
    info.blocks = figure(result.value(QLatin1String("blocks")));
    info.headers = figure(result.value(QLatin1String("headers")));
    if (const QJsonValue progress = result.value(QLatin1String("verificationprogress")); progress.isDouble())
        info.verificationProgress = progress.toDouble();
    info.initialDownload = result.value(QLatin1String("initialblockdownload")).toBool();
    info.sizeOnDisk = figure(result.value(QLatin1String("size_on_disk")));
    info.pruned = result.value(QLatin1String("pruned")).toBool();
    info.bestBlockHash = result.value(QLatin1String("bestblockhash")).toString().toStdString();
    info.warnings = warningsOf(result.value(QLatin1String("warnings")));
    return info;
}

NetworkInfo networkInfoOf(const QJsonObject& result)
{
    const auto count = [&result](const char* name) -> std::optional<int> {
        const std::optional<std::int64_t> value = figure(result.value(QLatin1String(name)));
        return value ? std::optional(static_cast<int>(*value)) : std::nullopt;
    };
    NetworkInfo info;
    info.version = figure(result.value(QLatin1String("version")));
    info.protocolVersion = figure(result.value(QLatin1String("protocolversion")));
    info.subversion = result.value(QLatin1String("subversion")).toString().toStdString();
    info.connectionsIn = count("connections_in");
    info.connectionsOut = count("connections_out");
    info.connections = count("connections");
    info.warnings = warningsOf(result.value(QLatin1String("warnings")));
    return info;
}

PeerInfo peerOf(const QJsonObject& peer)
{
    PeerInfo info;
    info.id = peer.value(QLatin1String("id")).toInteger();
    info.address = peer.value(QLatin1String("addr")).toString().toStdString();
    info.inbound = peer.value(QLatin1String("inbound")).toBool();
    info.subversion = peer.value(QLatin1String("subver")).toString().toStdString();
    info.pingSeconds = decimal(peer.value(QLatin1String("pingtime")));
    if (!info.pingSeconds)
        info.pingSeconds = decimal(peer.value(QLatin1String("pingwait")));
    info.syncedBlocks = figure(peer.value(QLatin1String("synced_blocks")));
    info.syncedHeaders = figure(peer.value(QLatin1String("synced_headers")));
    info.bytesSent = figure(peer.value(QLatin1String("bytessent")));
    info.bytesReceived = figure(peer.value(QLatin1String("bytesrecv")));
    info.connectedAt = figure(peer.value(QLatin1String("conntime")));
    return info;
}

MempoolInfo mempoolOf(const QJsonObject& result)
{
    MempoolInfo info;
    info.transactions = figure(result.value(QLatin1String("size")));
    info.bytes = figure(result.value(QLatin1String("bytes")));
    info.memoryUse = figure(result.value(QLatin1String("usage")));
    info.memoryLimit = figure(result.value(QLatin1String("maxmempool")));
    info.minimumFee = decimal(result.value(QLatin1String("mempoolminfee")));
    return info;
}

} // namespace korvane
