// The cost of one process watcher tick in its steady state (the cache warm, ticks 250 ms apart)
// beside references taken in the same run: a bare listing of /proc (getdents64 on a kept
// descriptor, the least any tick does), the least a full walk of /proc costs (opening and reading
// every process's command name), the terminator's walk (every process named, as a click does) and
// four runs of `pgrep -x NAME`. Each runs with the machine's own processes and with 1,000 extra
// idle processes.
#include "benchmarks/idle_processes.h"
#include "platform/linux/linux_process_table.h"
#include "platform/linux/proc_folder.h"
#include "platform/linux/process_cache.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <dirent.h>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <string_view>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

using korvane::bench::IdleProcesses;
using korvane::bench::isProcessId;

const std::vector<std::string> kTickNames = { "bitcoin-qt", "bitcoind", "bitcoin-cli", "sendEmail" };

// The cache's clock moves on by one watcher interval per tick, as the timer moves it, and the
// extra processes are older than the cache's young ones. The second argument is how many threads
// are started and ended before each tick: none (a quiet machine), one (a few ids to read), or 100
// (a busy one, where each tick lists /proc). Counters: processes read per tick, and the share of
// ticks that listed /proc.
void steadyTick(benchmark::State& state)
{
    const IdleProcesses extra(state);
    std::this_thread::sleep_for(korvane::ProcessCache::kYoung);
    const korvane::ProcFolder proc;
    korvane::ProcessCache cache(proc);
    const std::vector<std::string> wanted = { "bitcoin-qt", "bitcoind", "bitcoin-cli", "sendemail" };
    auto now = korvane::ProcessCache::Clock::now();
    constexpr auto kInterval = std::chrono::milliseconds(250);
    for (int warm = 0; warm < 16; ++warm)
        cache.refresh(wanted, now += kInterval);
    const auto threadsPerTick = state.range(1);
    double reads = 0;
    double listings = 0;
    for (auto _ : state) {
        if (threadsPerTick > 0) {
            state.PauseTiming();
            for (std::int64_t thread = 0; thread < threadsPerTick; ++thread)
                std::thread([] {}).join();
            state.ResumeTiming();
        }
        benchmark::DoNotOptimize(cache.refresh(wanted, now += kInterval));
        reads += static_cast<double>(cache.lastReads());
        listings += cache.lastListed() ? 1 : 0;
    }
    state.counters["reads"] = benchmark::Counter(reads, benchmark::Counter::kAvgIterations);
    state.counters["listed"] = benchmark::Counter(listings, benchmark::Counter::kAvgIterations);
}

// getdents64 on a kept descriptor of /proc, and nothing else.
void bareListing(benchmark::State& state)
{
    const IdleProcesses extra(state);
    const korvane::ProcFolder proc;
    std::vector<pid_t> ids;
    for (auto _ : state) {
        proc.listProcessIds(ids);
        benchmark::DoNotOptimize(ids.data());
    }
}

// What a click on a terminate button costs: every process read and named.
void terminatorWalk(benchmark::State& state)
{
    const IdleProcesses extra(state);
    korvane::LinuxProcessTable table;
    for (auto _ : state)
        benchmark::DoNotOptimize(table.terminateAll("nothing-runs-under-this-name"));
}

// Opens and reads the command name of every process: the floor of any walk that looks at each one.
void bareProcWalk(benchmark::State& state)
{
    const IdleProcesses extra(state);
    for (auto _ : state) {
        std::size_t bytes = 0;
        DIR* proc = ::opendir("/proc");
        while (const dirent* entry = ::readdir(proc)) {
            if (!isProcessId(entry->d_name))
                continue;
            const std::string path = std::string(entry->d_name) + "/comm";
            const int file = ::openat(::dirfd(proc), path.c_str(), O_RDONLY | O_CLOEXEC);
            if (file < 0)
                continue;
            char name[64];
            bytes += static_cast<std::size_t>(std::max<ssize_t>(0, ::read(file, name, sizeof name)));
            ::close(file);
        }
        ::closedir(proc);
        benchmark::DoNotOptimize(bytes);
    }
}

void runPgrep(const std::string& name, const posix_spawn_file_actions_t& quiet)
{
    std::string program = "pgrep", exact = "-x", pattern = name;
    char* argv[] = { program.data(), exact.data(), pattern.data(), nullptr };
    pid_t child = 0;
    if (::posix_spawnp(&child, "pgrep", &quiet, nullptr, argv, environ) == 0)
        ::waitpid(child, nullptr, 0);
}

void fourPgrepRuns(benchmark::State& state)
{
    const IdleProcesses extra(state);
    posix_spawn_file_actions_t quiet;
    ::posix_spawn_file_actions_init(&quiet);
    ::posix_spawn_file_actions_addopen(&quiet, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    for (auto _ : state) {
        for (const auto& name : kTickNames)
            runPgrep(name, quiet);
    }
    ::posix_spawn_file_actions_destroy(&quiet);
}

constexpr std::int64_t kExtraProcesses = 1000;

} // namespace

BENCHMARK(steadyTick)->ArgsProduct({ { 0, kExtraProcesses }, { 0, 1, 100 } })->Unit(benchmark::kMicrosecond);
BENCHMARK(bareListing)->Arg(0)->Arg(kExtraProcesses)->Unit(benchmark::kMicrosecond);
BENCHMARK(bareProcWalk)->Arg(0)->Arg(kExtraProcesses)->Unit(benchmark::kMicrosecond);
BENCHMARK(terminatorWalk)->Arg(0)->Arg(kExtraProcesses)->Unit(benchmark::kMicrosecond);
BENCHMARK(fourPgrepRuns)->Arg(0)->Arg(kExtraProcesses)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
