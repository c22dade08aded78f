#pragma once

#include "platform/system_memory.h"

namespace korvane {

// The kernel's count of usable physical memory, from sysinfo() (MemTotal in /proc/meminfo).
class SysinfoMemory : public SystemMemory
{
public:
    std::optional<std::uint64_t> physicalBytes() const override;
};

} // namespace korvane
