#pragma once

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdint>
#include <dirent.h>
#include <signal.h>
#include <string_view>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace korvane::bench {

inline bool isProcessId(std::string_view entry)
{
    return !entry.empty() && std::all_of(entry.begin(), entry.end(), [](char c) { return c >= '0' && c <= '9'; });
}

inline int countProcesses()
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

} // namespace korvane::bench
