#include "node/node_details.h"

#include "node/node_files.h"

#include <algorithm>
#include <filesystem>

namespace korvane {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kCheckedBytes = 64;

bool containsWord(std::string_view line, std::string_view word)
{
    const auto found = std::search(line.begin(), line.end(), word.begin(), word.end(),
                                   [](char a, char b) { return (a | 0x20) == (b | 0x20); });
    return found != line.end();
}

} // namespace

std::vector<TrafficRate> trafficRates(const std::deque<TrafficSample>& samples)
{
    std::vector<TrafficRate> rates;
    for (std::size_t i = 1; i < samples.size(); ++i) {
        const TrafficSample& before = samples[i - 1];
        const TrafficSample& after = samples[i];
        const double span = after.at - before.at;
        if (span <= 0 || after.received < before.received || after.sent < before.sent)
            continue;
        rates.push_back({ after.at, static_cast<double>(after.received - before.received) / span,
                          static_cast<double>(after.sent - before.sent) / span });
    }
    return rates;
}

LogFollower::Read LogFollower::follow(const std::string& path)
{
    Read read;
    const fs::path file = fs::u8path(path);
    std::error_code error;
    if (!fs::is_regular_file(file, error)) {
        read.problem = error ? "cannot read " + path + ": " + error.message() : path + " is not there yet";
        return read;
    }
    const std::uintmax_t size = fs::file_size(file, error);
    if (error) {
        read.problem = "cannot read " + path + ": " + error.message();
        return read;
    }
    // The same file as before, grown or not: the bytes before the offset are still those read.
    const bool same = m_started && path == m_path && size >= m_offset
        && readRange(path, m_offset - m_lastBytes.size(), m_offset) == m_lastBytes;
    if (!same) {
        read.anew = true;
        m_path = path;
        m_partial.clear();
        m_offset = size > kTailBytes ? size - kTailBytes : 0;
    }
    const bool fromLineStart = same || m_offset == 0;
    const std::optional<std::string> text = readRange(path, m_offset, size);
    if (!text) {
        read.problem = "cannot read " + path;
        return read;
    }
    m_started = true;
    m_offset += text->size();
    const std::size_t kept = std::min<std::size_t>(kCheckedBytes, static_cast<std::size_t>(m_offset));
    m_lastBytes = readRange(path, m_offset - kept, m_offset).value_or("");

    std::string_view rest(*text);
    if (!fromLineStart) { // the tail began inside a line
        const auto end = rest.find('\n');
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    }
    std::string pending = std::move(m_partial);
    m_partial.clear();
    for (auto end = rest.find('\n'); end != std::string_view::npos; end = rest.find('\n')) {
        pending += rest.substr(0, end);
        if (!pending.empty() && pending.back() == '\r')
            pending.pop_back();
        read.lines.push_back(std::move(pending));
        pending.clear();
        rest.remove_prefix(end + 1);
    }
    m_partial = pending + std::string(rest);
    if (read.lines.size() > kLines)
        read.lines.erase(read.lines.begin(), read.lines.end() - static_cast<std::ptrdiff_t>(kLines));
    return read;
}

bool isErrorOrWarning(std::string_view line)
{
    return containsWord(line, "error") || containsWord(line, "warning") || containsWord(line, "exception");
}

} // namespace korvane
