#pragma once

#include "platform/port_listeners.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace korvane {

// Who should serve the node's RPC port: the user who owns the file the credentials come from (where
// the system keeps user ids), and a program under the daemon's name (where the system names them).
struct ExpectedServer
{
    std::optional<std::uint32_t> userId;
    std::string daemonName; // "litecoind" or "litecoind.exe"
};

struct GateVerdict
{
    bool allowed = false;
    bool nobodyListens = false;
    std::string why; // when not allowed, in words
};

// Whether the node's credentials may be sent to `host`:`port`, from who listens there: every
// listener that the address reaches must be the expected server.
GateVerdict credentialsGate(const std::vector<PortListener>& listeners,
                            const std::string& host,
                            std::uint16_t port,
                            const ExpectedServer& expected);

} // namespace korvane
