#include "platform/linux/linux_own_executable.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace korvane {
namespace {

TEST(LinuxOwnExecutable, NamesTheRunningProgramAndItsFolder)
{
    LinuxOwnExecutable executable;
    EXPECT_EQ(executable.name(), "korvane_core_tests");
    const std::filesystem::path folder = executable.folder();
    EXPECT_TRUE(folder.is_absolute());
    EXPECT_TRUE(std::filesystem::exists(folder / "korvane_core_tests"));
}

} // namespace
} // namespace korvane
