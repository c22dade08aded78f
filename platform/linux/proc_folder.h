#pragma once

#include "platform/linux/unique_fd.h"

#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

namespace korvane {

// What /proc/<pid>/stat tells of a process.
struct ProcessStat
{
    std::string commandName; // the kernel's command name, at most 15 characters, letter case kept
    unsigned long long startTime = 0; // clock ticks after boot: with the id, it tells processes apart
    bool kernelThread = false;
    bool zombie = false; // ended, or ending, and not yet reaped
    bool thread = false; // a thread of a process rather than the process (read by its thread id)

    bool isRunningProgram() const { return !kernelThread && !zombie; }
};

// The names a process answers to, in small letters; empty when it has none (a kernel thread, a
// zombie, a process that ended while it was read).
struct ProgramNames
{
    std::string executable; // the executable's file name, or else the first command-line word's
    std::string alias; // the first command-line word's file name when it names the executable too

    bool answersTo(std::string_view lowered) const
    {
        return !lowered.empty() && (lowered == executable || lowered == alias);
    }
    bool operator==(const ProgramNames&) const = default;
};

// The two task figures of /proc/loadavg: every process or thread created changes `lastId`, every
// one reaped changes `total`.
struct TaskCounter
{
    unsigned long total = 0;
    pid_t lastId = 0;

    bool operator==(const TaskCounter&) const = default;
};

// /proc, opened once and kept. Every read names the process by its id relative to the kept
// folder; a read of a process that has ended in between gives nothing.
class ProcFolder
{
public:
    ProcFolder();

    // The ids of the processes listed now, in increasing order. Returns the reason when the
    // listing cannot be read.
    std::optional<std::string> listProcessIds(std::vector<pid_t>& ids) const;

    std::optional<ProcessStat> stat(pid_t pid) const;
    // The target of the executable link; nothing when it cannot be read (another user's process,
    // a kernel thread, a zombie).
    std::optional<std::string> executableLink(pid_t pid) const;
    // The first word of the command line as the process holds it now; empty when there is none.
    std::string firstCommandWord(pid_t pid) const;
    // Whether `word`, read as the process would read a program name (a path from its root or its
    // working folder, or a name looked up in PATH), is the file its executable link points to.
    bool namesExecutable(pid_t pid, std::string_view word) const;
    // Whether the process was started by, or runs as, this program's user (its real or effective
    // user id is this program's real one); also when it has ended.
    bool ofThisUser(pid_t pid) const;

    std::optional<TaskCounter> taskCounter() const;

private:
    UniqueFd m_folder;
    std::string m_problem; // why /proc could not be opened; empty when it is open
};

// The names of a process, read the same way for watching and for ending it. Where the executable
// link can be read, the process is named by the link's file name, and also by its first
// command-line word's file name when that word names the same file (a program started through a
// symbolic link under another name). Where it cannot, another user's process is named by its first
// command-line word's file name, and this user's (one that made itself not dumpable) by nothing:
// its first word could be anything it chose.
// The command name, which any program may set for itself, never names a process; a script is named
// by its interpreter. `link` is what ProcFolder::executableLink gave.
ProgramNames
programNames(const ProcFolder& proc, pid_t pid, const ProcessStat& stat, const std::optional<std::string>& link);

// The time since boot in clock ticks, the unit of ProcessStat::startTime.
unsigned long long clockTicksSinceBoot();
unsigned long long clockTicksPerSecond();

} // namespace korvane
