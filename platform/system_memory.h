#pragma once

#include <cstdint>
#include <optional>

namespace korvane {

// What the machine has in memory, for weighing the nodes' caches against it.
class SystemMemory
{
public:
    virtual ~SystemMemory() = default;

    // The physical memory in bytes; empty when the system does not tell.
    virtual std::optional<std::uint64_t> physicalBytes() const = 0;
};

} // namespace korvane
