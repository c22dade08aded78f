#pragma once

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <grp.h>
#include <optional>
#include <pwd.h>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace korvane::test {

// Sets (or, given nothing, unsets) an environment variable for one scope.
class ScopedEnvironment
{
public:
    ScopedEnvironment(const char* name, const std::optional<std::string>& value)
        : m_name(name)
    {
        if (const char* old = std::getenv(name))
            m_old = old;
        apply(value);
    }
    ~ScopedEnvironment() { apply(m_old); }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    void apply(const std::optional<std::string>& value)
    {
        if (value)
            ::setenv(m_name.c_str(), value->c_str(), 1);
        else
            ::unsetenv(m_name.c_str());
    }

    std::string m_name;
    std::optional<std::string> m_old;
};

// Lets no file of this process grow beyond `bytes`, as "ulimit -f" does: a write past it raises
// SIGXFSZ, which ends the process unless it ignores the signal. Works for root too, unlike folder
// permissions.
class ScopedFileSizeLimit
{
public:
    explicit ScopedFileSizeLimit(rlim_t bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit limited = m_old;
        limited.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~ScopedFileSizeLimit() { ::setrlimit(RLIMIT_FSIZE, &m_old); }
    ScopedFileSizeLimit(const ScopedFileSizeLimit&) = delete;
    ScopedFileSizeLimit& operator=(const ScopedFileSizeLimit&) = delete;

private:
    rlimit m_old {};
};

// Sets the process's umask for one scope.
class ScopedUmask
{
public:
    explicit ScopedUmask(mode_t mask)
        : m_old(::umask(mask))
    {
    }
    ~ScopedUmask() { ::umask(m_old); }
    ScopedUmask(const ScopedUmask&) = delete;
    ScopedUmask& operator=(const ScopedUmask&) = delete;

private:
    mode_t m_old;
};

// Runs `body` in a child process and returns what it returned, or `failed` when the child did not
// end normally.
inline std::string runInChildProcess(const std::function<std::string()>& body,
                                     const std::string& failed = "(the child failed)")
{
    int report[2];
    if (::pipe(report) != 0)
        return "(no pipe)";
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(report[0]);
        const std::string result = body();
        const bool written = ::write(report[1], result.data(), result.size()) == static_cast<ssize_t>(result.size());
        ::_exit(written ? 0 : 4);
    }
    ::close(report[1]);
    std::string result;
    char buffer[4096];
    for (ssize_t count; (count = ::read(report[0], buffer, sizeof buffer)) > 0;)
        result.append(buffer, static_cast<std::size_t>(count));
    ::close(report[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? result : failed;
}

// Runs `body` in a child process that file permissions bind, and returns what it returned. As root,
// which passes every permission check, the child runs as "nobody" and first gives `folder` and
// everything in it to that user.
inline std::string runUnprivileged(const std::filesystem::path& folder, const std::function<std::string()>& body)
{
    const auto unprivileged = [&]() -> std::string {
        if (::geteuid() == 0) {
            const passwd* nobody = ::getpwnam("nobody");
            if (!nobody)
                ::_exit(2);
            ::lchown(folder.c_str(), nobody->pw_uid, nobody->pw_gid);
            for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
                ::lchown(entry.path().c_str(), nobody->pw_uid, nobody->pw_gid);
            if (::setgroups(0, nullptr) != 0 || ::setgid(nobody->pw_gid) != 0 || ::setuid(nobody->pw_uid) != 0)
                ::_exit(3);
        }
        return body();
    };
    return runInChildProcess(unprivileged, "(the unprivileged child failed)");
}

// Permission bits of a file or folder, or -1 when it does not exist.
inline int permissionBits(const std::string& path)
{
    struct stat info = {};
    return ::stat(path.c_str(), &info) == 0 ? static_cast<int>(info.st_mode & 07777) : -1;
}

} // namespace korvane::test
