#include "node/debug_log.h"

#include <array>
#include <chrono>

namespace korvane {
namespace {

constexpr std::string_view kShutdownBegun = "Shutdown: In progress";
constexpr std::string_view kShutdownDone = "Shutdown: done";
constexpr std::string_view kInitMessage = "init message: ";
constexpr std::string_view kDoneLoading = "Done loading";

// Lines the node writes while it replays or checks its chain at start, shown as they stand.
constexpr std::array<std::string_view, 3> kProgressStarts { "Rolling forward", "Replaying blocks",
                                                            "Verification progress" };

// What the node says when its databases are damaged; it then asks for a reindex.
constexpr std::array<std::string_view, 4> kCorruption { "Corrupted block database detected",
                                                        "Error opening block database",
                                                        "Please restart with -reindex or -reindex-chainstate",
                                                        "Error loading block database" };

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// "2026-12-09T17:49:41Z" and its form with microseconds ("2026-12-09T17:49:41.123456Z").
std::size_t timeLength(std::string_view line)
{
    constexpr std::string_view kShape = "0000-00-00T00:00:00";
    if (line.size() < kShape.size() + 1)
        return 0;
    for (std::size_t i = 0; i < kShape.size(); ++i) {
        if (kShape[i] == '0' ? !isDigit(line[i]) : line[i] != kShape[i])
            return 0;
    }
    std::size_t end = kShape.size();
    if (line[end] == '.') {
        ++end;
        while (end < line.size() && isDigit(line[end]))
            ++end;
    }
    return end < line.size() && line[end] == 'Z' ? end + 1 : 0;
}

bool contains(std::string_view text, std::string_view part)
{
    return text.find(part) != std::string_view::npos;
}

bool saysError(std::string_view message)
{
    return message.starts_with("Error") || message.starts_with("ERROR") || contains(message, " Error:")
        || contains(message, "EXCEPTION:");
}

class RunReader
{
public:
    explicit RunReader(std::vector<LogRun>& runs)
        : m_runs(runs)
    {
    }

    void read(std::string_view line)
    {
        const bool empty = line.find_first_not_of(" \r\t") == std::string_view::npos;
        if (empty) {
            // The node opens its log with a group of empty lines: that is where a run starts.
            if (++m_emptyLines == 2) {
                m_runs.emplace_back();
                m_runs.back().started = true;
            }
            return;
        }
        m_emptyLines = 0;
        if (m_runs.empty())
            m_runs.emplace_back(); // the tail began inside a run
        take(m_runs.back(), line);
    }

private:
    static void take(LogRun& run, std::string_view line)
    {
        const std::size_t time = timeLength(line);
        if (time > 0) {
            if (run.firstTime.empty())
                run.firstTime = line.substr(0, time);
            run.lastTime = line.substr(0, time);
        }
        const std::string_view message = logMessage(line);
        if (message.starts_with(kShutdownBegun))
            run.shutdownBegun = true;
        else if (message.starts_with(kShutdownDone))
            run.closedCleanly = true;
        if (message.starts_with(kInitMessage)) {
            run.progress = message.substr(kInitMessage.size());
            run.loaded = run.loaded || run.progress.starts_with(kDoneLoading);
        }
        for (const std::string_view start : kProgressStarts) {
            if (message.starts_with(start))
                run.progress = message;
        }
        if (saysError(message))
            run.lastError = message;
        for (const std::string_view corruption : kCorruption) {
            if (contains(message, corruption)) {
                run.corrupted = true;
                run.corruption = message;
            }
        }
    }

    std::vector<LogRun>& m_runs;
    int m_emptyLines = 0;
};

} // namespace

std::string_view logMessage(std::string_view line)
{
    const std::size_t time = timeLength(line);
    std::string_view message = line.substr(time);
    while (!message.empty() && (message.front() == ' '))
        message.remove_prefix(1);
    while (!message.empty() && (message.back() == '\r' || message.back() == ' '))
        message.remove_suffix(1);
    return message;
}

std::vector<LogRun> logRuns(std::string_view text, bool startsAtLineStart)
{
    if (!startsAtLineStart) {
        const auto firstEnd = text.find('\n');
        text = firstEnd == std::string_view::npos ? std::string_view() : text.substr(firstEnd + 1);
    }
    std::vector<LogRun> runs;
    RunReader reader(runs);
    while (!text.empty()) {
        const auto end = text.find('\n');
        reader.read(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    }
    // A run whose opening was read but that wrote nothing more is no run.
    if (!runs.empty() && runs.back().started && runs.back().firstTime.empty() && runs.back().lastError.empty())
        runs.pop_back();
    return runs;
}

std::optional<LogRun>
previousRun(std::string_view text, bool startsAtLineStart, std::optional<std::int64_t> currentSince)
{
    std::vector<LogRun> runs = logRuns(text, startsAtLineStart);
    if (!runs.empty() && currentSince && runs.back().started && logTimeSeconds(runs.back().firstTime) >= *currentSince)
        runs.pop_back();
    if (runs.empty())
        return std::nullopt;
    return runs.back();
}

std::string reindexOption(const LogRun& run)
{
    if (!run.corrupted)
        return {};
    const bool blockDatabase = contains(run.corruption, "block database") || contains(run.corruption, "block index");
    return blockDatabase ? "-reindex" : "-reindex-chainstate";
}

std::int64_t logTimeSeconds(std::string_view time)
{
    if (timeLength(time) == 0)
        return -1;
    const auto number = [&](std::size_t at, std::size_t length) {
        int value = 0;
        for (std::size_t i = at; i < at + length; ++i)
            value = value * 10 + (time[i] - '0');
        return value;
    };
    using namespace std::chrono;
    const year_month_day day { year(number(0, 4)), month(static_cast<unsigned>(number(5, 2))),
                               std::chrono::day(static_cast<unsigned>(number(8, 2))) };
    if (!day.ok())
        return -1;
    const auto seconds = sys_days(day).time_since_epoch() + hours(number(11, 2)) + minutes(number(14, 2))
        + std::chrono::seconds(number(17, 2));
    return duration_cast<std::chrono::seconds>(seconds).count();
}

} // namespace korvane
