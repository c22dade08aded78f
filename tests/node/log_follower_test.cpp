#include "node/node_details.h"
#include "tests/helpers/temporary_folder.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace korvane {
namespace {

namespace fs = std::filesystem;

void append(const fs::path& file, const std::string& text)
{
    std::ofstream(file, std::ios::binary | std::ios::app) << text;
}

TEST(LogFollower, FollowsGrowthAndReadsARotatedOrShrunkFileAnew)
{
    test::TemporaryFolder folder;
    const fs::path log = folder.path() / "debug.log";
    LogFollower follower;
    EXPECT_FALSE(follower.follow(log.string()).problem.empty()) << "no log yet";

    append(log, "2026-12-09T10:00:00Z one\n2026-12-09T10:00:01Z tw");
    LogFollower::Read read = follower.follow(log.string());
    EXPECT_TRUE(read.anew);
    EXPECT_EQ(read.lines, std::vector<std::string> { "2026-12-09T10:00:00Z one" }) << "a line cut mid-write waits";
    append(log, "o\r\nbad \xff\xfe bytes\n");
    read = follower.follow(log.string());
    EXPECT_FALSE(read.anew);
    EXPECT_EQ(read.lines, (std::vector<std::string> { "2026-12-09T10:00:01Z two", "bad \xff\xfe bytes" }));
    EXPECT_TRUE(follower.follow(log.string()).lines.empty()) << "nothing new";

    // Rotated: another file under the name, already longer than what was read.
    fs::rename(log, folder.path() / "debug.log.1");
    append(log, std::string(200, 'x') + "\nfresh\n");
    read = follower.follow(log.string());
    EXPECT_TRUE(read.anew);
    EXPECT_EQ(read.lines.back(), "fresh");
    // Shrunk (-shrinkdebugfile at a start): read anew from its tail.
    fs::resize_file(log, 0);
    append(log, "after the shrink\n");
    read = follower.follow(log.string());
    EXPECT_TRUE(read.anew);
    EXPECT_EQ(read.lines, std::vector<std::string> { "after the shrink" });
}

TEST(LogFollower, AGigabyteLogIsReadFromItsTailOnly)
{
    test::TemporaryFolder folder;
    const fs::path log = folder.path() / "debug.log";
    append(log, "first line\n");
    fs::resize_file(log, std::uintmax_t { 1 } << 30); // sparse: a gigabyte that costs no disk
    std::string tail;
    for (int line = 0; line < 2000; ++line)
        tail += "2026-12-09T10:00:00Z line " + std::to_string(line) + "\n";
    append(log, tail);

    LogFollower follower;
    const auto started = std::chrono::steady_clock::now();
    const LogFollower::Read read = follower.follow(log.string());
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(200));
    ASSERT_EQ(read.lines.size(), LogFollower::kLines);
    EXPECT_EQ(read.lines.back(), "2026-12-09T10:00:00Z line 1999");
    EXPECT_EQ(read.lines.front(), "2026-12-09T10:00:00Z line 1500");
    EXPECT_TRUE(isErrorOrWarning("2026-12-09T10:00:00Z ERROR: ReadBlockFromDisk failed"));
    EXPECT_FALSE(isErrorOrWarning("2026-12-09T10:00:00Z UpdateTip: new best=00ab"));
}

} // namespace
} // namespace korvane
