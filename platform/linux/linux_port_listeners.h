#pragma once

#include "platform/port_listeners.h"

#include <string_view>

namespace korvane {

// The sockets in the text of /proc/net/tcp or /proc/net/tcp6 that listen (state 0A) on `port`,
// each with the address it listens on and the user who owns it. The kernel writes an address as
// 32-bit words in hexadecimal, each as this machine holds it in memory. Lines it cannot read are
// passed over.
std::vector<PortListener> listenersInTcpTable(std::string_view table, std::uint16_t port);

// Who listens on a port, from the kernel's TCP tables of this network namespace; a file's owner
// from its metadata, which never opens the file.
class LinuxPortListeners : public PortListeners
{
public:
    Result<std::vector<PortListener>> listenersOn(std::uint16_t port) override;
    std::optional<std::uint32_t> fileOwner(const std::string& path) override;
    std::optional<std::uint32_t> currentUser() override;
};

} // namespace korvane
