#include "platform/linux/linux_process_table.h"

#include "base/ascii_case.h"
#include "platform/linux/unique_fd.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <csignal>
#include <dirent.h>
#include <fcntl.h>
#include <iterator>
#include <memory>
#include <optional>
#include <span>
#include <sys/syscall.h>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace korvane {

std::string_view emailUtilityName()
{
    return "sendEmail";
}

namespace {

// The kernel keeps at most this many characters of a command name and cuts longer ones.
constexpr std::size_t kCommandNameLimit = 15;
// Set in a process's flags when it is a kernel thread.
constexpr unsigned long kKernelThreadFlag = 0x00200000;
// A shebang script follows its interpreter and at most one interpreter argument.
constexpr std::size_t kWordsThatMayNameTheProgram = 3;
constexpr std::string_view kDeletedSuffix = " (deleted)";

std::string_view fileNameOf(std::string_view path)
{
    return path.substr(path.rfind('/') + 1);
}

// The word at `position` (from 0) of a text of words separated by single spaces; empty past its end.
std::string_view wordAt(std::string_view text, std::size_t position)
{
    for (; position > 0; --position) {
        const auto space = text.find(' ');
        text = space == std::string_view::npos ? std::string_view() : text.substr(space + 1);
    }
    return text.substr(0, text.find(' '));
}

std::string systemMessage(int error)
{
    return std::system_category().message(error);
}

bool isProcessId(std::string_view entry)
{
    return !entry.empty() && std::all_of(entry.begin(), entry.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// "<pid>/<file>" relative to /proc.
std::string procPath(std::string_view pid, std::string_view file)
{
    std::string path;
    path.reserve(pid.size() + file.size() + 1);
    path.append(pid).append("/").append(file);
    return path;
}

// Reads the start of a small /proc file into `buffer`; nothing when the process is gone or hides it.
std::optional<std::string_view> readProcFile(int procDir, const std::string& path, std::span<char> buffer)
{
    const UniqueFd file(::openat(procDir, path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!file.valid())
        return std::nullopt;
    std::size_t filled = 0;
    while (filled < buffer.size()) {
        const ssize_t count = ::read(file.get(), buffer.data() + filled, buffer.size() - filled);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            return std::nullopt;
        if (count == 0)
            break;
        filled += static_cast<std::size_t>(count);
    }
    return std::string_view(buffer.data(), filled);
}

// The lower-cased file name the executable link points to; empty when the link cannot be read
// (another user's process, a kernel thread, a zombie).
std::string executableName(int procDir, std::string_view pid)
{
    std::array<char, 4096> target; // filled by readlinkat up to the length it returns
    const ssize_t length = ::readlinkat(procDir, procPath(pid, "exe").c_str(), target.data(), target.size());
    if (length <= 0)
        return {};
    std::string_view path(target.data(), static_cast<std::size_t>(length));
    if (path.ends_with(kDeletedSuffix))
        path.remove_suffix(kDeletedSuffix.size());
    return asciiLowered(fileNameOf(path));
}

// One process as /proc shows it. The command name and the executable link are read at once; its
// state and its command line only when a name could match, since most processes are never asked
// about more than that.
class ProcessEntry
{
public:
    ProcessEntry(int procDir, std::string_view pid)
        : m_procDir(procDir)
        , m_pid(pid)
    {
        std::array<char, kCommandNameLimit + 1> buffer {};
        auto command = readProcFile(procDir, procPath(pid, "comm"), buffer);
        if (!command)
            return;
        if (command->ends_with('\n'))
            command->remove_suffix(1);
        m_commandName = asciiLowered(*command);
        m_executableName = executableName(procDir, pid);
        m_listed = true;
    }

    // `wanted` is lower-cased and not empty.
    bool isNamed(std::string_view wanted)
    {
        if (!m_listed)
            return false;
        const bool certain = wanted == m_executableName || (isCommandNameWhole() && wanted == m_commandName);
        const bool possible = !isCommandNameWhole() && wanted.starts_with(m_commandName);
        if (!certain && !possible)
            return false;
        if (!isRunningProgram())
            return false;
        return certain || commandLineNames(wanted);
    }

private:
    bool isCommandNameWhole() const { return m_commandName.size() < kCommandNameLimit; }

    // Neither a zombie nor a kernel thread. The fields after the command name's closing
    // parenthesis are the state, four numbers and then the flags.
    bool isRunningProgram()
    {
        if (!m_runningProgram)
            m_runningProgram = readRunningProgram();
        return *m_runningProgram;
    }

    bool readRunningProgram() const
    {
        std::array<char, 1024> buffer {};
        const auto stat = readProcFile(m_procDir, procPath(m_pid, "stat"), buffer);
        const auto close = stat ? stat->rfind(") ") : std::string_view::npos;
        if (close == std::string_view::npos)
            return false;
        const std::string_view fields = stat->substr(close + 2);
        const std::string_view state = wordAt(fields, 0);
        unsigned long flags = 0;
        const std::string_view flagsText = wordAt(fields, 6);
        std::from_chars(flagsText.data(), flagsText.data() + flagsText.size(), flags);
        return state != "Z" && state != "X" && (flags & kKernelThreadFlag) == 0;
    }

    // The command name is cut short: a program whose longer name begins with it was started
    // under that name (its first word) or is a script (a later word).
    bool commandLineNames(std::string_view wanted)
    {
        std::vector<char> buffer(kWordsThatMayNameTheProgram * 4096);
        const auto commandLine = readProcFile(m_procDir, procPath(m_pid, "cmdline"), buffer);
        if (!commandLine)
            return false;
        std::string_view words = *commandLine;
        for (std::size_t word = 0; word < kWordsThatMayNameTheProgram && !words.empty(); ++word) {
            const auto end = std::min(words.find('\0'), words.size());
            if (asciiLowered(fileNameOf(words.substr(0, end))) == wanted)
                return true;
            words.remove_prefix(std::min(end + 1, words.size()));
        }
        return false;
    }

    int m_procDir;
    std::string_view m_pid;
    bool m_listed = false;
    std::string m_commandName;
    std::string m_executableName;
    std::optional<bool> m_runningProgram;
};

// Calls `visit(procDir, pid)` for every process listed in /proc. Returns the reason when /proc
// cannot be read.
template <typename Visit> std::optional<std::string> forEachProcess(Visit visit)
{
    const std::unique_ptr<DIR, int (*)(DIR*)> proc(::opendir("/proc"), ::closedir);
    if (!proc)
        return "cannot read /proc: " + systemMessage(errno);
    while (const dirent* entry = ::readdir(proc.get())) {
        if (isProcessId(entry->d_name))
            visit(::dirfd(proc.get()), std::string_view(entry->d_name));
    }
    return std::nullopt;
}

std::optional<pid_t> parsedProcessId(std::string_view pid)
{
    pid_t value = 0;
    const auto [end, error] = std::from_chars(pid.data(), pid.data() + pid.size(), value);
    if (error != std::errc() || end != pid.data() + pid.size())
        return std::nullopt;
    return value;
}

// Ends the process listed as `pid` if it still carries the name once a handle to it is held.
void endProcess(int procDir, std::string_view pid, std::string_view wanted, TerminateResult& result)
{
    const auto id = parsedProcessId(pid);
    if (!id)
        return;
    if (*id == ::getpid()) {
        result.refusals.push_back("process " + std::string(pid) + " is this program itself");
        return;
    }
    const UniqueFd handle(static_cast<int>(::syscall(SYS_pidfd_open, *id, 0)));
    if (!handle.valid()) {
        if (errno != ESRCH)
            result.refusals.push_back("process " + std::string(pid) + ": " + systemMessage(errno));
        return;
    }
    // The handle holds whatever process has the id now; the name is read again after taking it,
    // so a process that took over a reused id is left alone.
    if (!ProcessEntry(procDir, pid).isNamed(wanted))
        return;
    if (::syscall(SYS_pidfd_send_signal, handle.get(), SIGKILL, nullptr, 0) == 0)
        ++result.killed;
    else if (errno != ESRCH)
        result.refusals.push_back("process " + std::string(pid) + ": " + systemMessage(errno));
}

} // namespace

ProcessQuery LinuxProcessTable::queryRunning(const std::vector<std::string>& names)
{
    std::vector<std::string> wanted;
    std::transform(names.begin(), names.end(), std::back_inserter(wanted), asciiLowered);
    ProcessQuery query;
    query.running.assign(names.size(), false);
    const auto failure = forEachProcess([&](int procDir, std::string_view pid) {
        ProcessEntry process(procDir, pid);
        for (std::size_t i = 0; i < wanted.size(); ++i) {
            if (!query.running[i] && !wanted[i].empty() && process.isNamed(wanted[i]))
                query.running[i] = true;
        }
    });
    query.ok = !failure;
    if (failure) {
        query.error = *failure;
        query.running.assign(names.size(), false);
    }
    return query;
}

TerminateResult LinuxProcessTable::terminateAll(std::string_view name)
{
    TerminateResult result;
    if (name.empty())
        return result;
    const std::string wanted = asciiLowered(name);
    const auto failure = forEachProcess([&](int procDir, std::string_view pid) {
        if (ProcessEntry(procDir, pid).isNamed(wanted))
            endProcess(procDir, pid, wanted, result);
    });
    if (failure)
        result.refusals.push_back(*failure);
    return result;
}

} // namespace korvane
