#pragma once

#include "platform/system_memory.h"

namespace korvane {

// The physical memory GlobalMemoryStatusEx reports.
class WinSystemMemory : public SystemMemory
{
public:
    std::optional<std::uint64_t> physicalBytes() const override;
};

} // namespace korvane
