// The cost of one process watcher tick (a snapshot and the four name tests) beside two references
// taken in the same run: the least a full walk of /proc costs (opening and reading every process's
// command name) and four runs of `pgrep -x NAME`. Each runs with the machine's own processes and
// with 1,000 extra idle processes.
#include "benchmarks/idle_processes.h"
#include "platform/linux/linux_process_table.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <dirent.h>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <string_view>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

using korvane::bench::IdleProcesses;
using korvane::bench::isProcessId;

const std::vector<std::string> kTickNames = { "bitcoin-qt", "bitcoind", "bitcoin-cli", "sendEmail" };

void watcherTick(benchmark::State& state)
{
    const IdleProcesses extra(state);
    korvane::LinuxProcessTable table;
    for (auto _ : state)
        benchmark::DoNotOptimize(table.queryRunning(kTickNames));
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

BENCHMARK(watcherTick)->Arg(0)->Arg(kExtraProcesses)->Unit(benchmark::kMicrosecond);
BENCHMARK(bareProcWalk)->Arg(0)->Arg(kExtraProcesses)->Unit(benchmark::kMicrosecond);
BENCHMARK(fourPgrepRuns)->Arg(0)->Arg(kExtraProcesses)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
