#include "platform/linux/linux_process_table.h"

#include "base/ascii_case.h"
#include "platform/linux/unique_fd.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <iterator>
#include <limits>
#include <sys/syscall.h>
#include <system_error>
#include <unistd.h>
#include <utility>

namespace korvane {

std::string_view emailUtilityName()
{
    return "sendEmail";
}

namespace {

std::string systemMessage(int error)
{
    return std::system_category().message(error);
}

// The names of a listed process that still runs a program; nothing when it does not (any more).
std::optional<std::pair<ProcessStat, ProgramNames>> runningProgram(const ProcFolder& proc, pid_t pid)
{
    auto stat = proc.stat(pid);
    if (!stat || !stat->isRunningProgram())
        return std::nullopt;
    auto names = programNames(proc, pid, *stat, proc.executableLink(pid));
    return std::pair(std::move(*stat), std::move(names));
}

// Ends the process `pid`, found named `wanted` when it started at `startTime`, if it is still that
// process and still so named once a handle to it is held.
void endProcess(
    const ProcFolder& proc, pid_t pid, unsigned long long startTime, std::string_view wanted, TerminateResult& result)
{
    const std::string label = "process " + std::to_string(pid);
    if (pid == ::getpid()) {
        result.refusals.push_back(label + " is this program itself");
        return;
    }
    const UniqueFd handle(static_cast<int>(::syscall(SYS_pidfd_open, pid, 0)));
    if (!handle.valid()) {
        if (errno != ESRCH)
            result.refusals.push_back(label + ": " + systemMessage(errno));
        return;
    }
    // The handle holds whatever process has the id now; it is read again after taking it, so a
    // process that took over a reused id, or exec'd into another program, is left alone.
    const auto now = runningProgram(proc, pid);
    if (!now || now->first.startTime != startTime || !now->second.answersTo(wanted))
        return;
    if (::syscall(SYS_pidfd_send_signal, handle.get(), SIGKILL, nullptr, 0) == 0)
        ++result.killed;
    else if (errno != ESRCH)
        result.refusals.push_back(label + ": " + systemMessage(errno));
}

} // namespace

ProcessQuery LinuxProcessTable::queryRunning(const std::vector<std::string>& names)
{
    std::vector<std::string> wanted;
    std::transform(names.begin(), names.end(), std::back_inserter(wanted), asciiLowered);
    const std::lock_guard lock(m_cacheMutex);
    if (auto failure = m_cache.refresh(wanted, ProcessCache::Clock::now()))
        return Failure { std::move(*failure) };
    std::vector<std::vector<ProcessId>> running;
    for (const std::string& name : wanted) {
        const auto ids = m_cache.idsAnsweringTo(name);
        running.emplace_back(ids.begin(), ids.end());
    }
    return running;
}

TerminateResult LinuxProcessTable::terminateAll(std::string_view name)
{
    TerminateResult result;
    if (name.empty())
        return result;
    const std::string wanted = asciiLowered(name);
    const ProcFolder proc;
    std::vector<pid_t> ids;
    if (auto failure = proc.listProcessIds(ids)) {
        result.refusals.push_back(std::move(*failure));
        return result;
    }
    for (const pid_t pid : ids) {
        if (const auto found = runningProgram(proc, pid); found && found->second.answersTo(wanted))
            endProcess(proc, pid, found->first.startTime, wanted, result);
    }
    return result;
}

bool LinuxProcessTable::isRunning(ProcessId id)
{
    if (id <= 0 || id > std::numeric_limits<pid_t>::max())
        return false;
    const auto stat = m_proc.stat(static_cast<pid_t>(id));
    return stat && !stat->zombie && !stat->thread;
}

} // namespace korvane
