#include "platform/linux/linux_launcher.h"

#include "base/command_line_split.h"
#include "platform/linux/program_search.h"
#include "platform/linux/unique_fd.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <signal.h>
#include <string>
#include <sys/stat.h>
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
    int errorFile = -1; // the program's standard error, when it has a file of its own
};

ExecPlan makePlan(std::vector<std::string> arguments, WindowStyle style, int errorFile)
{
    ExecPlan plan;
    plan.candidates = programSearchPaths(arguments.front());
    plan.arguments = std::move(arguments);
    for (std::string& argument : plan.arguments)
        plan.argv.push_back(argument.data());
    plan.argv.push_back(nullptr);
    plan.hidden = style == WindowStyle::Hidden;
    plan.errorFile = errorFile;
    return plan;
}

// What the child and the grandchild tell this program through the report pipe. Each report is
// written at once, and pipes keep writes this small whole.
struct Report
{
    enum Kind : int
    {
        Started, // the grandchild's id
        Failed, // errno
    } kind;
    int value;
};

// ---- between fork and exec: async-signal-safe calls only ----------------------------------

void report(int reportFd, Report::Kind kind, int value)
{
    const Report message { kind, value };
    while (::write(reportFd, &message, sizeof message) < 0 && errno == EINTR) { }
}

[[noreturn]] void reportAndExit(int reportFd, int errorNumber)
{
    report(reportFd, Report::Failed, errorNumber);
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

// /dev/null for the standard streams, but the error file for standard error when there is one
// (it lies above 2, so the first two dup2 calls leave it alone).
int redirectStreams(int errorFile)
{
    const int null = ::open("/dev/null", O_RDWR);
    if (null < 0)
        return errno;
    if (::dup2(null, 0) < 0 || ::dup2(null, 1) < 0 || ::dup2(errorFile >= 0 ? errorFile : null, 2) < 0)
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
    if (plan.hidden || plan.errorFile >= 0) {
        if (const int error = redirectStreams(plan.errorFile))
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
    report(reportFd, Report::Started, grandchild);
    ::_exit(0);
}

// ---- back in this program --------------------------------------------------------------------

struct Reports
{
    pid_t started = 0;
    int errorNumber = 0;
};

// What the child and the grandchild reported, read until the pipe closes: the child exits, and
// the grandchild's end closes on exec.
Reports readReports(int reportFd)
{
    Reports reports;
    for (;;) {
        Report message {};
        ssize_t count;
        while ((count = ::read(reportFd, &message, sizeof message)) < 0 && errno == EINTR) { }
        if (count != sizeof message)
            return reports;
        if (message.kind == Report::Started)
            reports.started = message.value;
        else
            reports.errorNumber = message.value;
    }
}

// The file for the program's standard error, created or emptied and readable by this user only;
// or why it cannot be. Opening never waits for a reader, as it would for a FIFO.
Result<UniqueFd> openErrorFile(const std::string& path)
{
    const auto refusal = [&path](std::string_view reason) {
        return Failure { "its error output cannot go to \"" + path + "\": " + std::string(reason) };
    };
    UniqueFd file(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0600));
    if (!file.valid())
        return refusal(std::strerror(errno));
    struct stat info = {};
    if (::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode))
        return refusal("it is not a regular file");
    ::fchmod(file.get(), 0600);
    ::fcntl(file.get(), F_SETFL, ::fcntl(file.get(), F_GETFL) & ~O_NONBLOCK);
    if (file.get() <= 2) // kept clear of the standard streams it is to replace
        file = UniqueFd(::fcntl(file.get(), F_DUPFD_CLOEXEC, 3));
    if (!file.valid())
        return refusal(std::strerror(errno));
    return file;
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

LaunchResult LinuxLauncher::start(std::string_view commandLine, const LaunchOptions& options)
{
    SplitCommandLine split = splitCommandLine(commandLine);
    if (!split)
        return notStarted({}, split.error());
    if (std::string tooLong = lengthProblem(split.value()); !tooLong.empty())
        return notStarted(split.value().front(), tooLong);
    UniqueFd errorFile;
    if (!options.errorOutputFile.empty()) {
        auto opened = openErrorFile(options.errorOutputFile);
        if (!opened)
            return notStarted(split.value().front(), opened.error());
        errorFile = std::move(opened).value();
    }
    const ExecPlan plan = makePlan(std::move(split).value(), options.style, errorFile.get());
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
    errorFile.reset();
    const Reports reports = readReports(reportRead.get());
    reap(child);
    if (reports.errorNumber == E2BIG)
        return notStarted(program, tooLongMessage(std::strerror(reports.errorNumber)));
    if (reports.errorNumber != 0)
        return notStarted(program, std::strerror(reports.errorNumber));
    return Launched { program, reports.started };
}

} // namespace korvane
