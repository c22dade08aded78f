// The stand-in for a coin's node programs in the end-to-end tests, copied under the daemon's and
// the client's file names (a script would be named after its interpreter, so it is compiled).
//
// Every start writes its process id and arguments to $KORVANE_STANDIN_DIR/<own name>.args, one
// per line ("pid=...", then "arg=..."), under a temporary name first so a reader never sees half.
//
// Started with "stop" as its last argument it is the client: it sends SIGTERM to the daemon whose
// process id is kept beside the conf file named by its "-conf=" argument ("<conf>.pid"), and exits.
// Otherwise it is the daemon: it keeps its process id there (when it has a "-conf=" argument) and
// runs until SIGTERM, which ends it unless $KORVANE_STANDIN_IGNORES_STOP is set (a hung daemon).
// The daemon notes "started", "stop ignored" and "stopped" in $KORVANE_STANDIN_DIR/<own name>.events.
// Given "-datadir=", it keeps a debug.log there as a node does: each run opens with empty lines, and
// a stop it takes closes the run with "Shutdown: done" (a killed one leaves it open).
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <fstream>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

namespace {

std::string ownName(const char* path)
{
    const std::string_view name(path);
    return std::string(name.substr(name.rfind('/') + 1));
}

std::string recordPath(const std::string& name, std::string_view suffix)
{
    const char* folder = std::getenv("KORVANE_STANDIN_DIR");
    return std::string(folder ? folder : ".") + "/" + name + std::string(suffix);
}

bool writeWhole(const std::string& path, const std::string& text)
{
    const std::string partial = path + ".part";
    {
        std::ofstream out(partial, std::ios::trunc);
        if (!(out << text).flush())
            return false;
    }
    return std::rename(partial.c_str(), path.c_str()) == 0;
}

void noteEvent(const std::string& name, std::string_view event)
{
    std::ofstream(recordPath(name, ".events"), std::ios::app) << event << std::endl;
}

std::string optionValue(const std::vector<std::string>& arguments, std::string_view option)
{
    for (const std::string& argument : arguments) {
        if (argument.starts_with(option))
            return argument.substr(option.size());
    }
    return {};
}

// A line of the node's log, with the time as the node writes it.
void logLine(const std::string& dataFolder, std::string_view line)
{
    if (dataFolder.empty())
        return;
    char time[32];
    const std::time_t now = std::time(nullptr);
    std::strftime(time, sizeof time, "%Y-%m-%dT%H:%M:%SZ", std::gmtime(&now));
    std::ofstream(dataFolder + "/debug.log", std::ios::app) << time << " " << line << std::endl;
}

int runClient(const std::string& conf)
{
    std::ifstream pidFile(conf + ".pid");
    pid_t daemon = 0;
    if (!(pidFile >> daemon) || daemon <= 0)
        return 1;
    return ::kill(daemon, SIGTERM) == 0 ? 0 : 1;
}

int runDaemon(const std::string& name, const std::string& conf, const std::string& dataFolder)
{
    sigset_t stop;
    ::sigemptyset(&stop);
    ::sigaddset(&stop, SIGTERM);
    ::sigprocmask(SIG_BLOCK, &stop, nullptr);
    if (!conf.empty() && !writeWhole(conf + ".pid", std::to_string(::getpid())))
        return 1;
    if (!dataFolder.empty())
        std::ofstream(dataFolder + "/debug.log", std::ios::app) << "\n\n\n\n\n";
    logLine(dataFolder, "Stand-in Core version v1.0.0");
    logLine(dataFolder, "init message: Done loading");
    noteEvent(name, "started");
    const bool ignoresStop = std::getenv("KORVANE_STANDIN_IGNORES_STOP") != nullptr;
    for (;;) {
        int received = 0;
        ::sigwait(&stop, &received);
        if (!ignoresStop)
            break;
        noteEvent(name, "stop ignored");
    }
    logLine(dataFolder, "Shutdown: In progress...");
    logLine(dataFolder, "Shutdown: done");
    noteEvent(name, "stopped");
    if (!conf.empty())
        std::remove((conf + ".pid").c_str());
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    const std::string name = ownName(argv[0]);
    const std::vector<std::string> arguments(argv + 1, argv + argc);

    std::string record = "pid=" + std::to_string(::getpid()) + "\n";
    for (const std::string& argument : arguments)
        record += "arg=" + argument + "\n";
    if (!writeWhole(recordPath(name, ".args"), record))
        return 1;

    const std::string conf = optionValue(arguments, "-conf=");
    if (!arguments.empty() && arguments.back() == "stop")
        return runClient(conf);
    return runDaemon(name, conf, optionValue(arguments, "-datadir="));
}
