#include "conf/daemon_options.h"

#include "platform/program_runner.h"

#include <optional>
#include <random>
#include <system_error>

namespace korvane {
namespace {

std::string utf8(const std::filesystem::path& path)
{
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

// The program's file as this program finds it, from its own working folder: the daemon runs in
// another.
std::string absolutePath(const std::string& program)
{
    std::error_code error;
    const auto absolute = std::filesystem::absolute(std::u8string(program.begin(), program.end()), error);
    return error ? program : utf8(absolute);
}

// A fresh folder under the system's temporary folder, removed with its contents when it goes.
class ScratchFolder
{
public:
    ScratchFolder()
    {
        std::error_code error;
        const auto base = std::filesystem::temp_directory_path(error);
        std::random_device random;
        for (int attempt = 0; !error && attempt < 100 && m_path.empty(); ++attempt) {
            auto candidate = base / ("korvane-daemon-help-" + std::to_string(random()) + std::to_string(random()));
            if (std::filesystem::create_directory(candidate, error))
                m_path = std::move(candidate);
        }
    }
    ~ScratchFolder()
    {
        std::error_code ignored;
        if (!m_path.empty())
            std::filesystem::remove_all(m_path, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

std::string seconds(std::chrono::milliseconds time)
{
    const auto whole = time.count() / 1000;
    const auto tenths = time.count() % 1000 / 100;
    return std::to_string(whole) + (tenths ? "." + std::to_string(tenths) : std::string()) + " s";
}

DaemonOptions unknownOptions(DaemonOptions daemon, DaemonOptionsState state, std::string problem)
{
    daemon.state = state;
    daemon.problem = std::move(problem);
    return daemon;
}

// Why the run gave no help text, or nothing when it did.
std::optional<DaemonOptions> failure(const ProgramOutput& output,
                                     const DaemonOptions& daemon,
                                     std::string_view flag,
                                     std::chrono::milliseconds limit)
{
    switch (output.outcome) {
    case ProgramOutcome::NotStarted:
        return unknownOptions(daemon, DaemonOptionsState::NotRunnable,
                              daemon.program + " could not be run: " + output.error);
    case ProgramOutcome::TimedOut:
        return unknownOptions(daemon, DaemonOptionsState::TimedOut,
                              daemon.name + " timed out: it gave no answer to " + std::string(flag) + " within "
                                  + seconds(limit));
    case ProgramOutcome::Stopped:
        return unknownOptions(daemon, DaemonOptionsState::Stopped, "the check was stopped");
    case ProgramOutcome::Finished:
        break;
    }
    return std::nullopt;
}

} // namespace

DaemonOptions readDaemonOptions(ProgramRunner& runner,
                                const std::string& program,
                                std::stop_token stop,
                                std::chrono::milliseconds timeLimit)
{
    DaemonOptions daemon;
    daemon.program = program;
    daemon.name = daemonDisplayName(program, {});
    const ScratchFolder scratch;
    if (scratch.path().empty())
        return unknownOptions(daemon, DaemonOptionsState::NotRunnable, "no temporary folder could be made for it");
    const std::string folder = utf8(scratch.path());
    for (const std::string_view flag : { "-help", "-help-debug" }) {
        const ProgramRun run { absolutePath(program),
                               { "-datadir=" + folder, std::string(flag) },
                               { { "HOME", folder } },
                               timeLimit,
                               folder };
        const ProgramOutput output = runner.run(run, stop);
        // What "-help" told is enough when only "-help-debug" fails.
        if (auto failed = failure(output, daemon, flag, timeLimit)) {
            if (daemon.help.options.empty() || failed->state == DaemonOptionsState::Stopped)
                return *failed;
            break;
        }
        DaemonHelp help = parseDaemonHelp(output.standardOutput);
        if (daemon.help.version.empty())
            daemon.help.version = help.version;
        daemon.help.options.merge(help.options);
        daemon.help.defaults.merge(help.defaults);
        daemon.name = daemonDisplayName(program, daemon.help.version);
    }
    if (daemon.help.options.empty())
        return unknownOptions(daemon, DaemonOptionsState::NoOptions, daemon.name + " printed no options for -help");
    daemon.state = DaemonOptionsState::Known;
    return daemon;
}

std::optional<DaemonOptionsCache::FileIdentity> DaemonOptionsCache::identityOf(const std::string& program)
{
    std::error_code error;
    const std::filesystem::path path(std::u8string(program.begin(), program.end()));
    const auto size = std::filesystem::file_size(path, error);
    const auto modified = error ? std::filesystem::file_time_type() : std::filesystem::last_write_time(path, error);
    if (program.empty() || error)
        return std::nullopt;
    return FileIdentity { program, size, modified };
}

DaemonOptions DaemonOptionsCache::get(ProgramRunner& runner,
                                      const std::string& program,
                                      std::stop_token stop,
                                      std::chrono::milliseconds timeLimit)
{
    const auto identity = identityOf(program);
    if (!identity) {
        DaemonOptions missing;
        missing.program = program;
        missing.name = daemonDisplayName(program, {});
        return unknownOptions(missing, DaemonOptionsState::Missing,
                              program.empty() ? std::string("no daemon program is set in CRYPTO SETTINGS")
                                              : program + " was not found");
    }
    if (auto found = known(program))
        return *found;
    DaemonOptions daemon = readDaemonOptions(runner, program, stop, timeLimit);
    if (daemon.known() || daemon.state == DaemonOptionsState::NoOptions) {
        const std::lock_guard lock(m_mutex);
        m_known[*identity] = daemon;
    }
    return daemon;
}

std::optional<DaemonOptions> DaemonOptionsCache::known(const std::string& program)
{
    const auto identity = identityOf(program);
    const std::lock_guard lock(m_mutex);
    if (const auto found = identity ? m_known.find(*identity) : m_known.end(); found != m_known.end())
        return found->second;
    return std::nullopt;
}

DaemonOptionsCache& DaemonOptionsCache::shared()
{
    static DaemonOptionsCache cache;
    return cache;
}

} // namespace korvane
