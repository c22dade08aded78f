#include "platform/win/win_system_memory.h"

#include <windows.h>

namespace korvane {

std::optional<std::uint64_t> WinSystemMemory::physicalBytes() const
{
    MEMORYSTATUSEX status {};
    status.dwLength = sizeof(status);
    if (!GlobalMemoryStatusEx(&status) || status.ullTotalPhys == 0)
        return std::nullopt;
    return status.ullTotalPhys;
}

} // namespace korvane
