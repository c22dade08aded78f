#include "platform/win/win_system_memory.h"

#include <gtest/gtest.h>

namespace korvane {
namespace {

TEST(WinSystemMemory, TellsThePhysicalMemory)
{
    const std::optional<std::uint64_t> bytes = WinSystemMemory().physicalBytes();
    ASSERT_TRUE(bytes);
    EXPECT_GT(*bytes, std::uint64_t(256) << 20);
}

} // namespace
} // namespace korvane
