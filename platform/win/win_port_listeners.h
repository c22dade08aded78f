#pragma once

#include "platform/port_listeners.h"

namespace korvane {

// Who listens on a port, from the system's TCP tables with their owning processes, each named by
// its executable's file name as a Toolhelp snapshot gives it. Windows keeps no user id of a file
// or a program: fileOwner() and currentUser() are empty.
class WinPortListeners : public PortListeners
{
public:
    Result<std::vector<PortListener>> listenersOn(std::uint16_t port) override;
    std::optional<std::uint32_t> fileOwner(const std::string&) override { return std::nullopt; }
    std::optional<std::uint32_t> currentUser() override { return std::nullopt; }
};

} // namespace korvane
