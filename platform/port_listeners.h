#pragma once

#include "base/result.h"
#include "platform/process_table.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace korvane {

// A program that listens for TCP connections on a port of this machine.
struct PortListener
{
    std::string address; // the address it listens on: "127.0.0.1", "0.0.0.0", "::1", "::"
    std::optional<std::uint32_t> userId; // the user who runs it, where the system tells (Linux)
    std::optional<ProcessId> processId; // the process, where the system tells (Windows)
    std::string programName; // its executable's file name ("litecoind.exe"), where the system tells (Windows)
};

// Who listens on a port, so that the node's credentials are sent only to this profile's node.
class PortListeners
{
public:
    virtual ~PortListeners() = default;
    // The listeners on `port`, over IPv4 and IPv6; or why they cannot be read. Reads a few system
    // tables: call it off the GUI thread.
    virtual Result<std::vector<PortListener>> listenersOn(std::uint16_t port) = 0;
    // The user who owns the file at `path` (its user id on Linux); empty where the system keeps no
    // such id (Windows) or the file cannot be looked at. Never follows a FIFO or waits for one.
    virtual std::optional<std::uint32_t> fileOwner(const std::string& path) = 0;
    // The user this program runs as; empty where the system keeps no such id.
    virtual std::optional<std::uint32_t> currentUser() = 0;
};

} // namespace korvane
