// The cost of one process watcher tick (a snapshot and the four name tests) beside two references
// taken in the same run: the least a full walk of /proc costs (opening and reading every process's
// command name) and four runs of `pgrep -x NAME`. Each runs with the machine's own processes and
// with 1,000 extra idle processes.
#include "platform/linux/linux_process_table.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <string>
#include <string_view>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

const std::vector<std::string> kTickNames = { "bitcoin-qt", "bitcoind", "bitcoin-cli", "sendEmail" };

bool isProcessId(std::string_view entry)
{
    return !entry.empty() && std::all_of(entry.begin(), entry.end(), [](char c) { return c >= '0' && c <= '9'; });
}

int countProcesses()
{
    int count = 0;
    DIR* proc = ::opendir("/proc");
    while (const dirent* entry = ::readdir(proc))
        count += isProcessId(entry->d_name) ? 1 : 0;
    ::closedir(proc);
    return count;
}

// As many idle child processes as the benchmark's argument, to make the process table longer;
// they end with this program. The benchmark reports how many processes the table then holds.
class IdleProcesses
{
public:
    explicit IdleProcesses(benchmark::State& state)
    {
        for (std::int64_t i = 0; i < state.range(0); ++i) {
            const pid_t child = ::fork();
            if (child == 0) {
                ::prctl(PR_SET_PDEATHSIG, SIGKILL);
                for (;;)
                    ::pause();
            }
            if (child > 0)
                m_children.push_back(child);
        }
        state.counters["processes"] = countProcesses();
    }
    ~IdleProcesses()
    {
        for (const pid_t child : m_children)
            ::kill(child, SIGKILL);
        for (const pid_t child : m_children)
            ::waitpid(child, nullptr, 0);
    }
    IdleProcesses(const IdleProcesses&) = delete;
    IdleProcesses& operator=(const IdleProcesses&) = delete;

private:
    std::vector<pid_t> m_children;
};

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
