#include "platform/linux/sysinfo_memory.h"

#include <sys/sysinfo.h>

namespace korvane {

std::optional<std::uint64_t> SysinfoMemory::physicalBytes() const
{
    struct sysinfo info = {};
    if (::sysinfo(&info) != 0 || info.totalram == 0)
        return std::nullopt;
    return static_cast<std::uint64_t>(info.totalram) * (info.mem_unit ? info.mem_unit : 1);
}

} // namespace korvane
