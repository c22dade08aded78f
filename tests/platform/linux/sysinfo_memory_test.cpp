#include "platform/linux/sysinfo_memory.h"

#include <fstream>
#include <gtest/gtest.h>
#include <string>

namespace korvane {
namespace {

TEST(SysinfoMemory, IsTheMemTotalOfProcMeminfo)
{
    std::ifstream meminfo("/proc/meminfo");
    std::string name;
    std::uint64_t kibibytes = 0;
    while (meminfo >> name >> kibibytes && name != "MemTotal:")
        meminfo.ignore(256, '\n');
    ASSERT_EQ(name, "MemTotal:");
    EXPECT_EQ(SysinfoMemory().physicalBytes(), kibibytes * 1024);
}

} // namespace
} // namespace korvane
