#include "platform/linux/linux_process_table.h"
#include "platform/linux/process_cache.h"
#include "tests/processes/helper_programs.h"

#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>
#include <thread>

namespace korvane {
namespace {

using namespace std::chrono_literals;
using test::ChildProcess;
using test::uniqueName;

constexpr auto kTick = 250ms;

class ProcessCacheTest : public ::testing::Test
{
protected:
    // One watcher tick; true when `name` runs.
    bool tick(const std::string& name)
    {
        const auto query = table.queryRunning({ name });
        EXPECT_TRUE(query) << query.error();
        return query.ok() && !query.value().at(0).empty();
    }

    LinuxProcessTable table;
    test::HelperPrograms programs;
};

// Waits until the process runs `program`, as its executable link shows.
bool waitUntilRunning(pid_t pid, const std::filesystem::path& program, std::chrono::milliseconds patience)
{
    const auto link = "/proc/" + std::to_string(pid) + "/exe";
    for (auto waited = 0ms; waited < patience; waited += 10ms) {
        std::error_code unreadable;
        if (std::filesystem::read_symlink(link, unreadable) == program)
            return true;
        std::this_thread::sleep_for(10ms);
    }
    return false;
}

TEST_F(ProcessCacheTest, ProcessStartedOnceTheCacheIsWarmIsSeenAtTheNextTickAndItsEndAtTheTickAfter)
{
    const std::string name = uniqueName("noded-");
    EXPECT_FALSE(tick(name));
    EXPECT_FALSE(tick(name));
    auto child = std::make_unique<ChildProcess>(programs.program(name));
    EXPECT_TRUE(tick(name));
    EXPECT_TRUE(tick(name));
    child.reset();
    EXPECT_FALSE(tick(name));
}

// A wrapper that execs the node at once is seen at the first tick after the exec; a long-running
// program that execs later is seen within two seconds.
TEST_F(ProcessCacheTest, ProcessThatExecsIntoAWatchedNameIsSeen)
{
    const std::string quickName = uniqueName("quick-noded-");
    const std::string lateName = uniqueName("late-noded-");
    const auto quickNode = programs.program(quickName);
    const auto lateNode = programs.program(lateName);
    const auto wrapper = programs.program(uniqueName("wrapper-"));
    EXPECT_FALSE(tick(quickName));

    ChildProcess late(wrapper, {},
                      { "KORVANE_SLEEPER_EXEC=" + lateNode.string(), "KORVANE_SLEEPER_EXEC_AFTER_MS=3000" });
    ChildProcess quick(wrapper, {},
                       { "KORVANE_SLEEPER_EXEC=" + quickNode.string(), "KORVANE_SLEEPER_EXEC_AFTER_MS=100" });
    EXPECT_FALSE(tick(quickName));
    ASSERT_TRUE(waitUntilRunning(quick.pid(), quickNode, 2s));
    EXPECT_TRUE(tick(quickName));

    auto execAt = std::chrono::steady_clock::time_point::max();
    auto seenAt = execAt;
    for (auto until = std::chrono::steady_clock::now() + 8s; std::chrono::steady_clock::now() < until;) {
        if (execAt == std::chrono::steady_clock::time_point::max() && waitUntilRunning(late.pid(), lateNode, 0ms + 1ms))
            execAt = std::chrono::steady_clock::now();
        if (tick(lateName)) {
            seenAt = std::chrono::steady_clock::now();
            break;
        }
        std::this_thread::sleep_for(kTick);
    }
    ASSERT_NE(execAt, std::chrono::steady_clock::time_point::max()) << "the program did not exec";
    ASSERT_NE(seenAt, std::chrono::steady_clock::time_point::max()) << "never seen";
    EXPECT_LE(seenAt - execAt, 2s);
}

// The cache believes an id belongs to a kernel thread, which is never read again; a new process
// that took the id over is read afresh at the next tick.
TEST_F(ProcessCacheTest, ReusedProcessIdIsReadAfresh)
{
    const ProcFolder proc;
    ProcessCache cache(proc);
    auto now = ProcessCache::Clock::now();
    ASSERT_FALSE(cache.refresh({}, now));
    const std::string name = uniqueName("newcomer-");
    ChildProcess child(programs.program(name));
    cache.remember(child.pid(), CachedProcess { .startTime = 1, .settled = true, .link = {}, .names = {} });

    ASSERT_FALSE(cache.refresh({}, now += kTick));
    EXPECT_EQ(cache.idsAnsweringTo(name), std::vector<pid_t> { child.pid() });
}

} // namespace
} // namespace korvane
