#pragma once

#include "conf/daemon_help.h"

#include <chrono>
#include <filesystem>
#include <map>
#include <mutex>
#include <optional>
#include <stop_token>
#include <string>
#include <tuple>

namespace korvane {

class ProgramRunner;

enum class DaemonOptionsState
{
    Known,
    Missing, // no program set, or no file at its path
    NotRunnable, // the system would not start it
    TimedOut,
    NoOptions, // it ran but its help named no option
    Stopped, // the caller gave up
};

// The options a daemon program knows, or why they are not known.
struct DaemonOptions
{
    std::string program; // the path it was asked with
    std::string name; // "litecoind 0.21.2.1"
    DaemonHelp help;
    DaemonOptionsState state = DaemonOptionsState::Missing;
    std::string problem; // why they are not known, in a sentence without its full stop

    bool known() const { return state == DaemonOptionsState::Known; }
};

inline constexpr std::chrono::milliseconds kDaemonHelpTimeLimit { 5000 };

// Runs the daemon with "-help" and then "-help-debug" (options for testing, "-regtest" among them,
// are listed only there) and reads the options of both. Its working folder, home and data folder
// are a fresh temporary folder, removed afterwards, so nothing of the user's is read, touched or
// created.
// Blocks for as long as the daemon takes: never on the GUI thread.
DaemonOptions readDaemonOptions(ProgramRunner& runner,
                                const std::string& program,
                                std::stop_token stop = {},
                                std::chrono::milliseconds timeLimit = kDaemonHelpTimeLimit);

// Keeps what each daemon program said, by its path, size and modification time, so the daemon runs
// again only once its file has changed. Only its options, or their absence, are kept. Safe to use from several
// threads.
class DaemonOptionsCache
{
public:
    DaemonOptions get(ProgramRunner& runner,
                      const std::string& program,
                      std::stop_token stop = {},
                      std::chrono::milliseconds timeLimit = kDaemonHelpTimeLimit);

    // What the daemon said when it was last asked, its file unchanged since; it is not run.
    std::optional<DaemonOptions> known(const std::string& program);

    // The one this program's windows share.
    static DaemonOptionsCache& shared();

private:
    using FileIdentity = std::tuple<std::string, std::uintmax_t, std::filesystem::file_time_type>;
    static std::optional<FileIdentity> identityOf(const std::string& program);

    std::mutex m_mutex;
    std::map<FileIdentity, DaemonOptions> m_known;
};

} // namespace korvane
