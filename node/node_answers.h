#pragma once

#include "node/node_details.h"
#include "node/node_status.h"

#include <QJsonObject>
#include <QJsonValue>
#include <cstdint>
#include <optional>

namespace korvane {

// The node's RPC answers read into the figures the model keeps. A figure that cannot be (negative,
// not a number) is kept empty.

std::optional<std::int64_t> figure(const QJsonValue& value);
ChainInfo chainInfoOf(const QJsonObject& result); // getblockchaininfo
NetworkInfo networkInfoOf(const QJsonObject& result); // getnetworkinfo
PeerInfo peerOf(const QJsonObject& peer); // one of getpeerinfo
MempoolInfo mempoolOf(const QJsonObject& result); // getmempoolinfo

} // namespace korvane
