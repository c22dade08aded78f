#include "platform/linux/proc_folder.h"

#include "base/ascii_case.h"
#include "platform/linux/program_search.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <ctime>
#include <fcntl.h>
#include <span>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <system_error>
#include <unistd.h>

namespace korvane {
namespace {

// The kernel keeps at most this many characters of a command name and cuts longer ones.
constexpr std::size_t kCommandNameLimit = 15;
// Set in a process's flags when it is a kernel thread.
constexpr unsigned long kKernelThreadFlag = 0x00200000;
constexpr std::string_view kDeletedSuffix = " (deleted)";

std::string systemMessage(int error)
{
    return std::system_category().message(error);
}

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

template <typename Number> Number numberIn(std::string_view text)
{
    Number value {};
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

// "<pid>/<file>" relative to /proc.
std::string procPath(pid_t pid, std::string_view file)
{
    std::array<char, 16> digits {};
    const auto end = std::to_chars(digits.data(), digits.data() + digits.size(), pid).ptr;
    std::string path(digits.data(), end);
    path.append("/").append(file);
    return path;
}

// Reads the start of a small file into `buffer`; nothing when it cannot be read (a process that is
// gone or hides it).
std::optional<std::string_view> readSmallFile(int folder, const std::string& path, std::span<char> buffer)
{
    const UniqueFd file(::openat(folder, path.c_str(), O_RDONLY | O_CLOEXEC));
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

std::optional<pid_t> processIdNamed(const char* entry)
{
    const std::string_view name(entry);
    pid_t pid = 0;
    const auto [end, error] = std::from_chars(name.data(), name.data() + name.size(), pid);
    if (name.empty() || error != std::errc() || end != name.data() + name.size())
        return std::nullopt;
    return pid;
}

// One record of getdents64.
struct DirectoryEntry
{
    std::uint64_t inode;
    std::int64_t nextOffset;
    unsigned short length;
    unsigned char type;
    char name[1];
};

bool sameFile(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

} // namespace

ProcFolder::ProcFolder()
    : m_folder(::open("/proc", O_RDONLY | O_DIRECTORY | O_CLOEXEC))
{
    if (!m_folder.valid())
        m_problem = "cannot read /proc: " + systemMessage(errno);
}

std::optional<std::string> ProcFolder::listProcessIds(std::vector<pid_t>& ids) const
{
    ids.clear();
    if (!m_folder.valid())
        return m_problem;
    if (::lseek(m_folder.get(), 0, SEEK_SET) < 0)
        return "cannot read /proc: " + systemMessage(errno);
    alignas(DirectoryEntry) std::array<char, 32768> buffer;
    for (;;) {
        const long filled = ::syscall(SYS_getdents64, m_folder.get(), buffer.data(), buffer.size());
        if (filled < 0 && errno == EINTR)
            continue;
        if (filled < 0)
            return "cannot read /proc: " + systemMessage(errno);
        if (filled == 0)
            break;
        for (long offset = 0; offset < filled;) {
            const auto* entry = reinterpret_cast<const DirectoryEntry*>(buffer.data() + offset);
            if (const auto pid = processIdNamed(entry->name))
                ids.push_back(*pid);
            offset += entry->length;
        }
    }
    if (!std::is_sorted(ids.begin(), ids.end()))
        std::sort(ids.begin(), ids.end());
    return std::nullopt;
}

std::optional<ProcessStat> ProcFolder::stat(pid_t pid) const
{
    std::array<char, 1024> buffer; // filled up to the length read
    const auto text = readSmallFile(m_folder.get(), procPath(pid, "stat"), buffer);
    if (!text)
        return std::nullopt;
    const auto open = text->find('(');
    const auto close = text->rfind(") ");
    if (open == std::string_view::npos || close == std::string_view::npos || close < open)
        return std::nullopt;
    // After the command name's closing parenthesis: the state, four numbers, the flags, at the
    // 20th place the start time, and at the 36th the signal sent to the parent at the end, which
    // a thread has not (-1).
    const std::string_view fields = text->substr(close + 2);
    const std::string_view state = wordAt(fields, 0);
    ProcessStat stat;
    stat.commandName = std::string(text->substr(open + 1, close - open - 1));
    stat.startTime = numberIn<unsigned long long>(wordAt(fields, 19));
    stat.kernelThread = (numberIn<unsigned long>(wordAt(fields, 6)) & kKernelThreadFlag) != 0;
    stat.zombie = state == "Z" || state == "X";
    stat.thread = wordAt(fields, 35) == "-1";
    return stat;
}

std::optional<std::string> ProcFolder::executableLink(pid_t pid) const
{
    std::array<char, 4096> target; // filled by readlinkat up to the length it returns
    const ssize_t length = ::readlinkat(m_folder.get(), procPath(pid, "exe").c_str(), target.data(), target.size());
    if (length <= 0)
        return std::nullopt;
    return std::string(target.data(), static_cast<std::size_t>(length));
}

std::string ProcFolder::firstCommandWord(pid_t pid) const
{
    std::array<char, 4096> buffer; // filled up to the length read
    const auto commandLine = readSmallFile(m_folder.get(), procPath(pid, "cmdline"), buffer);
    if (!commandLine)
        return {};
    return std::string(commandLine->substr(0, commandLine->find('\0')));
}

bool ProcFolder::namesExecutable(pid_t pid, std::string_view word) const
{
    struct stat executable = {};
    if (::fstatat(m_folder.get(), procPath(pid, "exe").c_str(), &executable, 0) != 0)
        return false;
    // Paths are read inside the process's own root folder and from its working folder.
    const std::string root = procPath(pid, "root");
    const std::string workingFolder = procPath(pid, "cwd/");
    for (const auto& candidate : programSearchPaths(std::string(word))) {
        const std::string path = candidate.starts_with('/') ? root + candidate : workingFolder + candidate;
        struct stat file = {};
        if (::fstatat(m_folder.get(), path.c_str(), &file, 0) == 0)
            return S_ISREG(file.st_mode) && sameFile(file, executable);
    }
    return false;
}

bool ProcFolder::ofThisUser(pid_t pid) const
{
    const uid_t user = ::getuid();
    struct stat folder = {};
    if (::fstatat(m_folder.get(), procPath(pid, "").c_str(), &folder, 0) != 0 || folder.st_uid == user)
        return true;
    if (folder.st_uid != 0)
        return false;
    // Root's process, or one of this user's that is not dumpable: /proc shows both as root's.
    std::array<char, 1024> buffer; // filled up to the length read; the line comes well before its end
    const auto status = readSmallFile(m_folder.get(), procPath(pid, "status"), buffer);
    constexpr std::string_view kUserLine = "\nUid:\t";
    const auto line = status ? status->find(kUserLine) : std::string_view::npos;
    if (line == std::string_view::npos)
        return user == 0;
    // "Uid:\t<real>\t<effective>\t<saved>\t<file system>"
    const std::string_view ids = status->substr(line + kUserLine.size());
    const auto effective = ids.find('\t') + 1;
    return numberIn<uid_t>(ids) == user || (effective != 0 && numberIn<uid_t>(ids.substr(effective)) == user);
}

std::optional<TaskCounter> ProcFolder::taskCounter() const
{
    std::array<char, 128> buffer; // filled up to the length read
    const auto text = readSmallFile(m_folder.get(), "loadavg", buffer);
    if (!text)
        return std::nullopt;
    // "0.10 0.20 0.30 running/total last-id"
    const std::string_view tasks = wordAt(*text, 3);
    const auto slash = tasks.find('/');
    if (slash == std::string_view::npos)
        return std::nullopt;
    return TaskCounter { numberIn<unsigned long>(tasks.substr(slash + 1)), numberIn<pid_t>(wordAt(*text, 4)) };
}

ProgramNames
programNames(const ProcFolder& proc, pid_t pid, const ProcessStat& stat, const std::optional<std::string>& link)
{
    if (!stat.isRunningProgram())
        return {};
    if (!link) // this user's process would show its link: one that hides it could be anyone
        return proc.ofThisUser(pid) ? ProgramNames {}
                                    : ProgramNames { asciiLowered(fileNameOf(proc.firstCommandWord(pid))), {} };
    std::string_view path = *link;
    if (path.ends_with(kDeletedSuffix))
        path.remove_suffix(kDeletedSuffix.size());
    const std::string_view executable = fileNameOf(path);
    ProgramNames names { asciiLowered(executable), {} };
    // The kernel names a process after the file it was started as: a command name that is not the
    // start of the executable's name tells of a link under another name (or of a program that
    // renamed itself, or of a script), and only then can the first word name the file otherwise.
    if (stat.commandName == executable.substr(0, kCommandNameLimit))
        return names;
    const std::string word = proc.firstCommandWord(pid);
    std::string alias = asciiLowered(fileNameOf(word));
    if (!alias.empty() && alias != names.executable && proc.namesExecutable(pid, word))
        names.alias = std::move(alias);
    return names;
}

unsigned long long clockTicksPerSecond()
{
    static const auto ticks = static_cast<unsigned long long>(::sysconf(_SC_CLK_TCK));
    return ticks;
}

unsigned long long clockTicksSinceBoot()
{
    timespec now {};
    ::clock_gettime(CLOCK_BOOTTIME, &now);
    const auto perSecond = clockTicksPerSecond();
    return static_cast<unsigned long long>(now.tv_sec) * perSecond
        + static_cast<unsigned long long>(now.tv_nsec) * perSecond / 1'000'000'000ULL;
}

} // namespace korvane
