#include "platform/linux/linux_program_runner.h"

#include "platform/linux/unique_fd.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <map>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace korvane {
namespace {

using Clock = std::chrono::steady_clock;

struct Pipe
{
    UniqueFd read;
    UniqueFd write;
};

bool openPipe(Pipe& pipe)
{
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0)
        return false;
    pipe.read.reset(fds[0]);
    pipe.write.reset(fds[1]);
    return true;
}

// This program's environment with the request's variables set on top, as "NAME=value" texts.
std::vector<std::string> environmentFor(const ProgramRun& request)
{
    std::map<std::string, std::string> variables;
    for (char** variable = environ; *variable; ++variable) {
        const std::string_view text(*variable);
        const auto equals = text.find('=');
        variables[std::string(text.substr(0, equals))]
            = equals == std::string_view::npos ? std::string() : std::string(text.substr(equals + 1));
    }
    for (const auto& [name, value] : request.environment)
        variables[name] = value;
    std::vector<std::string> texts;
    for (const auto& [name, value] : variables)
        texts.push_back(name + "=" + value);
    return texts;
}

std::vector<char*> pointersTo(std::vector<std::string>& texts)
{
    std::vector<char*> pointers;
    for (std::string& text : texts)
        pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

class SpawnSetup
{
public:
    SpawnSetup(int output, int error, const std::string& workingFolder)
    {
        ::posix_spawn_file_actions_init(&m_actions);
        if (!workingFolder.empty())
            ::posix_spawn_file_actions_addchdir_np(&m_actions, workingFolder.c_str());
        ::posix_spawn_file_actions_addopen(&m_actions, 0, "/dev/null", O_RDONLY, 0);
        ::posix_spawn_file_actions_adddup2(&m_actions, output, 1);
        ::posix_spawn_file_actions_adddup2(&m_actions, error, 2);
#if defined(__GLIBC__) && __GLIBC_PREREQ(2, 34)
        // Descriptors this program opened without close-on-exec stay out of the child.
        ::posix_spawn_file_actions_addclosefrom_np(&m_actions, 3);
#endif
        ::posix_spawnattr_init(&m_attributes);
        sigset_t defaults;
        ::sigemptyset(&defaults);
        for (const int signalNumber : { SIGPIPE, SIGINT, SIGQUIT, SIGTERM, SIGHUP, SIGCHLD, SIGXFSZ })
            ::sigaddset(&defaults, signalNumber);
        sigset_t none;
        ::sigemptyset(&none);
        ::posix_spawnattr_setsigdefault(&m_attributes, &defaults);
        ::posix_spawnattr_setsigmask(&m_attributes, &none);
        ::posix_spawnattr_setpgroup(&m_attributes, 0);
        ::posix_spawnattr_setflags(&m_attributes,
                                   POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
    }
    ~SpawnSetup()
    {
        ::posix_spawn_file_actions_destroy(&m_actions);
        ::posix_spawnattr_destroy(&m_attributes);
    }
    SpawnSetup(const SpawnSetup&) = delete;
    SpawnSetup& operator=(const SpawnSetup&) = delete;

    const posix_spawn_file_actions_t* actions() const
    {
        return &m_actions;
    }
    const posix_spawnattr_t* attributes() const
    {
        return &m_attributes;
    }

private:
    posix_spawn_file_actions_t m_actions;
    posix_spawnattr_t m_attributes;
};

// Reads what is there now; false once the writing end is closed everywhere.
bool drain(UniqueFd& fd, std::string& into)
{
    std::array<char, 65536> buffer;
    for (;;) {
        const ssize_t count = ::read(fd.get(), buffer.data(), buffer.size());
        if (count > 0) {
            into.append(buffer.data(), static_cast<std::size_t>(count));
            continue;
        }
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0 && errno == EAGAIN)
            return true;
        fd.reset();
        return false;
    }
}

// Whether the child has ended; its exit code goes into `output`.
bool reaped(pid_t child, int options, ProgramOutput& output)
{
    int status = 0;
    pid_t answer;
    while ((answer = ::waitpid(child, &status, options)) < 0 && errno == EINTR) { }
    if (answer != child)
        return false;
    output.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return true;
}

// Waits for the child's end and both streams' end, reading as they come, until the deadline or a
// stop. A pidfd tells of the end; where the kernel has none, the child is asked every 20 ms.
class Watch
{
public:
    Watch(pid_t child, Pipe& output, Pipe& error, std::stop_token stop)
        : m_child(child)
        , m_pidFd(static_cast<int>(::syscall(SYS_pidfd_open, child, 0)))
        , m_output(output.read)
        , m_error(error.read)
        , m_stopCallback(stop, [this] { wake(); })
    {
        openPipe(m_wake);
        if (stop.stop_requested())
            wake();
    }

    // The outcome once the child and its streams have ended, the time is up or the caller gave up.
    ProgramOutcome wait(Clock::time_point deadline, ProgramOutput& output)
    {
        bool ended = false;
        for (;;) {
            ended = ended || reaped(m_child, WNOHANG, output);
            if (ended && !m_output.valid() && !m_error.valid())
                return ProgramOutcome::Finished;
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
            if (left.count() <= 0)
                return ended ? ProgramOutcome::Finished : ProgramOutcome::TimedOut;
            std::array<pollfd, 4> fds { { { m_output.get(), POLLIN, 0 },
                                          { m_error.get(), POLLIN, 0 },
                                          { ended ? -1 : m_pidFd.get(), POLLIN, 0 },
                                          { m_wake.read.get(), POLLIN, 0 } } };
            const bool askEachTick = !ended && !m_pidFd.valid();
            const int timeout = static_cast<int>(askEachTick ? std::min<long long>(left.count(), 20) : left.count());
            if (::poll(fds.data(), fds.size(), timeout) < 0 && errno != EINTR)
                return ended ? ProgramOutcome::Finished : ProgramOutcome::TimedOut;
            if (fds[3].revents)
                return ended ? ProgramOutcome::Finished : ProgramOutcome::Stopped;
            if (m_output.valid() && fds[0].revents)
                drain(m_output, output.standardOutput);
            if (m_error.valid() && fds[1].revents)
                drain(m_error, output.standardError);
        }
    }

private:
    void wake()
    {
        const char byte = 1;
        [[maybe_unused]] const ssize_t ignored = ::write(m_wake.write.get(), &byte, 1);
    }

    pid_t m_child;
    UniqueFd m_pidFd;
    UniqueFd& m_output;
    UniqueFd& m_error;
    Pipe m_wake;
    std::stop_callback<std::function<void()>> m_stopCallback;
};

} // namespace

ProgramOutput LinuxProgramRunner::run(const ProgramRun& request, std::stop_token stop)
{
    ProgramOutput output;
    const auto deadline = Clock::now() + request.timeLimit;
    Pipe outputPipe;
    Pipe errorPipe;
    if (!openPipe(outputPipe) || !openPipe(errorPipe)) {
        output.error = std::strerror(errno);
        return output;
    }

    std::vector<std::string> arguments { request.program };
    arguments.insert(arguments.end(), request.arguments.begin(), request.arguments.end());
    std::vector<std::string> environment = environmentFor(request);
    std::vector<char*> argv = pointersTo(arguments);
    std::vector<char*> envp = pointersTo(environment);

    pid_t child = -1;
    {
        const SpawnSetup setup(outputPipe.write.get(), errorPipe.write.get(), request.workingFolder);
        if (const int error = ::posix_spawnp(&child, request.program.c_str(), setup.actions(), setup.attributes(),
                                             argv.data(), envp.data())) {
            output.error = std::strerror(error);
            return output;
        }
    }
    runStarted(child);
    outputPipe.write.reset();
    errorPipe.write.reset();

    Watch watch(child, outputPipe, errorPipe, stop);
    output.outcome = watch.wait(deadline, output);
    if (output.outcome != ProgramOutcome::Finished) {
        ::kill(-child, SIGKILL);
        reaped(child, 0, output);
        output.exitCode = -1;
    }
    runEnded(child);
    return output;
}

} // namespace korvane
