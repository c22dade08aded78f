#include "platform/linux/linux_launcher.h"

#include "base/command_line_split.h"
#include "platform/linux/program_search.h"
#include "platform/linux/unique_fd.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <signal.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace korvane {
namespace {

// Everything the child needs, prepared before forking: after fork() in a multi-threaded program
// only async-signal-safe calls are allowed, so the child must not allocate.
struct ExecPlan
{
    std::vector<std::string> candidates; // full paths to try, in PATH order
    std::vector<std::string> arguments;
    std::vector<char*> argv;
    bool hidden = false;
};

ExecPlan makePlan(std::vector<std::string> arguments, WindowStyle style)
{
    ExecPlan plan;
    plan.candidates = programSearchPaths(arguments.front());
    plan.arguments = std::move(arguments);
    for (std::string& argument : plan.arguments)
        plan.argv.push_back(argument.data());
    plan.argv.push_back(nullptr);
    plan.hidden = style == WindowStyle::Hidden;
    return plan;
}

// ---- between fork and exec: async-signal-safe calls only ----------------------------------

[[noreturn]] void reportAndExit(int reportFd, int errorNumber)
{
    while (::write(reportFd, &errorNumber, sizeof errorNumber) < 0 && errno == EINTR) { }
    ::_exit(127);
}

// Descriptors this program opened without close-on-exec must not leak into the node.
void closeInheritedFilesOnExec()
{
#ifdef CLOSE_RANGE_CLOEXEC
    ::close_range(3, ~0U, CLOSE_RANGE_CLOEXEC);
#endif
}

void resetSignals()
{
    struct sigaction defaultAction = {};
    defaultAction.sa_handler = SIG_DFL;
    for (const int signalNumber : { SIGPIPE, SIGINT, SIGQUIT, SIGTERM, SIGHUP, SIGCHLD, SIGXFSZ })
        ::sigaction(signalNumber, &defaultAction, nullptr);
    sigset_t none;
    ::sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
}

int redirectToNull()
{
    const int null = ::open("/dev/null", O_RDWR);
    if (null < 0)
        return errno;
    for (int stream = 0; stream <= 2; ++stream)
        if (::dup2(null, stream) < 0)
            return errno;
    if (null > 2)
        ::close(null);
    return 0;
}

// Tries each candidate as execvp does: a folder where the file is missing or not executable does
// not end the search, and "Permission denied" wins over "No such file or directory".
int execCandidates(const ExecPlan& plan)
{
    int result = ENOENT;
    bool deniedSomewhere = false;
    for (const std::string& candidate : plan.candidates) {
        ::execve(candidate.c_str(), plan.argv.data(), environ);
        result = errno;
        if (result == EACCES)
            deniedSomewhere = true;
        else if (result != ENOENT && result != ENOTDIR && result != ESTALE && result != ENODEV && result != ETIMEDOUT)
            return result;
    }
    return deniedSomewhere ? EACCES : result;
}

// The grandchild: becomes the program, or reports why it could not.
[[noreturn]] void runProgram(const ExecPlan& plan, int reportFd)
{
    resetSignals();
    closeInheritedFilesOnExec();
    if (plan.hidden) {
        if (const int error = redirectToNull())
            reportAndExit(reportFd, error);
    }
    reportAndExit(reportFd, execCandidates(plan));
}

// The child: leaves this program's session, starts the grandchild and exits at once, so the
// grandchild is adopted by init and never becomes our zombie.
[[noreturn]] void detachAndRun(const ExecPlan& plan, int reportFd)
{
    if (::setsid() < 0)
        reportAndExit(reportFd, errno);
    const pid_t grandchild = ::fork();
    if (grandchild < 0)
        reportAndExit(reportFd, errno);
    if (grandchild == 0)
        runProgram(plan, reportFd);
    ::_exit(0);
}

// ---- back in this program --------------------------------------------------------------------

// Zero once exec succeeded (the report pipe closes on exec), else the child's errno.
int readReport(int reportFd)
{
    int errorNumber = 0;
    ssize_t count;
    while ((count = ::read(reportFd, &errorNumber, sizeof errorNumber)) < 0 && errno == EINTR) { }
    return count == sizeof errorNumber ? errorNumber : 0;
}

void reap(pid_t child)
{
    while (::waitpid(child, nullptr, 0) < 0 && errno == EINTR) { }
}

// The kernel's limit on one argument, terminating NUL included (MAX_ARG_STRLEN, 32 pages).
constexpr std::size_t kMaxArgumentBytes = 131072;

std::string tooLongMessage(std::string_view detail)
{
    return "The command line is longer than Linux starts a program with (" + std::string(detail) + ").";
}

// Why the system would refuse these arguments as too long (E2BIG), or nothing. The arguments, the
// environment and a pointer to each must fit into sysconf(_SC_ARG_MAX) bytes together.
std::string lengthProblem(const std::vector<std::string>& arguments)
{
    std::size_t total = 0;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (arguments[i].size() + 1 > kMaxArgumentBytes)
            return tooLongMessage("argument " + std::to_string(i) + " has " + std::to_string(arguments[i].size())
                                  + " bytes, at most " + std::to_string(kMaxArgumentBytes - 1) + " are taken");
        total += arguments[i].size() + 1 + sizeof(char*);
    }
    for (char** variable = environ; *variable; ++variable)
        total += std::strlen(*variable) + 1 + sizeof(char*);
    const long limit = ::sysconf(_SC_ARG_MAX);
    if (limit > 0 && total > static_cast<std::size_t>(limit))
        return tooLongMessage("with the environment it needs " + std::to_string(total) + " bytes, at most "
                              + std::to_string(limit) + " are taken");
    return {};
}

} // namespace

LaunchResult LinuxLauncher::start(std::string_view commandLine, WindowStyle style)
{
    SplitCommandLine split = splitCommandLine(commandLine);
    if (!split)
        return notStarted({}, split.error());
    if (std::string tooLong = lengthProblem(split.value()); !tooLong.empty())
        return notStarted(split.value().front(), tooLong);
    const ExecPlan plan = makePlan(std::move(split).value(), style);
    const std::string& program = plan.arguments.front();

    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0)
        return notStarted(program, std::strerror(errno));
    UniqueFd reportRead(pipeFds[0]);
    UniqueFd reportWrite(pipeFds[1]);

    const pid_t child = ::fork();
    if (child < 0)
        return notStarted(program, std::strerror(errno));
    if (child == 0)
        detachAndRun(plan, reportWrite.get());

    reportWrite.reset();
    const int errorNumber = readReport(reportRead.get());
    reap(child);
    if (errorNumber == E2BIG)
        return notStarted(program, tooLongMessage(std::strerror(errorNumber)));
    if (errorNumber != 0)
        return notStarted(program, std::strerror(errorNumber));
    return program;
}

} // namespace korvane
