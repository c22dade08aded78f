#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvane {

// What a node's debug.log says of one run of the node, read from its lines. Each line the node
// writes starts with its time ("2026-12-09T17:49:44Z Shutdown: done"); a run starts with a group
// of empty lines that the node writes when it opens the log.
struct LogRun
{
    bool started = false; // the run's opening was read, not only its end
    bool shutdownBegun = false; // "Shutdown: In progress..."
    bool closedCleanly = false; // "Shutdown: done": the node flushed everything and ended
    std::string firstTime; // the time of the run's first line that carries one ("2026-12-09T17:49:41Z")
    std::string lastTime; // the time of its last line that carries one
    std::string lastError; // the last line saying "Error:" (or "ERROR:"), without its time
    std::string progress; // the last step the node said it is at ("Loading block index...")
    bool loaded = false; // the node said "Done loading": its start is complete
    bool corrupted = false; // the node said that its block or chain state database is damaged
    std::string corruption; // the line that said so
};

// The runs in `text`, oldest first. When `text` is a tail that starts inside a line, that part
// line is left out; a last line cut short by a writer is read as far as it goes.
std::vector<LogRun> logRuns(std::string_view text, bool startsAtLineStart);

// The run before the node's current one, from the log's text up to where the current run was seen
// to start. A node started here is started after that text; one seen running may have written its
// opening already: a last run that opened at `currentSince` (seconds since 1970) or later is taken
// for the current one. Empty when the text holds no earlier run.
std::optional<LogRun>
previousRun(std::string_view text, bool startsAtLineStart, std::optional<std::int64_t> currentSince);

// The option a damaged database asks for: "-reindex" where the block database is damaged,
// "-reindex-chainstate" where only the chain state is; empty when `run` says nothing of damage.
std::string reindexOption(const LogRun& run);

// The line's text after its time, or the whole line when it carries none.
std::string_view logMessage(std::string_view line);

// A time the node writes ("2026-12-09T17:49:41Z") as seconds since 1970; -1 when it is not one.
std::int64_t logTimeSeconds(std::string_view time);

} // namespace korvane
