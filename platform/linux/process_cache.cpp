#include "platform/linux/process_cache.h"

#include <algorithm>

namespace korvane {
namespace {

// Whether `pid` lies in (from, to], counting around the end of the id range as the kernel does
// when it hands ids out.
bool inHandedOutRange(pid_t pid, pid_t from, pid_t to)
{
    if (from == to)
        return false;
    return from < to ? (pid > from && pid <= to) : (pid > from || pid <= to);
}

} // namespace

std::optional<std::string> ProcessCache::refresh(const std::vector<std::string>& wanted, Clock::time_point now)
{
    m_lastReads = 0;
    m_lastCounter = m_counter;
    m_counter = m_proc.taskCounter();
    m_lastListed = mustList(now);
    if (m_lastListed) {
        if (auto failure = takeListing()) {
            m_counter.reset();
            return failure;
        }
        m_lastListing = now;
    } else {
        readHandedOutIds();
    }
    const auto youngTicks = clockTicksPerSecond() * static_cast<unsigned long long>(kYoung.count()) / 1000;
    const auto nowTicks = clockTicksSinceBoot();
    readYoungAndWanted(wanted, nowTicks > youngTicks ? nowTicks - youngTicks : 0);
    readSlice(m_lastTick ? now - *m_lastTick : Clock::duration::zero());
    m_lastTick = now;
    return std::nullopt;
}

// Probing the ids handed out since the last tick finds every new process; it is cheaper than a
// listing while they are few. A process that ended is of no matter until its id comes round
// again, or the slice reaches it: the periodic listing only drops what neither has.
bool ProcessCache::mustList(Clock::time_point now) const
{
    if (!m_counter || !m_lastCounter || !m_lastListing || now - *m_lastListing >= kListingPeriod)
        return true;
    const auto from = m_lastCounter->lastId;
    const auto to = m_counter->lastId;
    const auto fewIds = static_cast<pid_t>(std::max<std::size_t>(kFewIds, m_processes.size() / kFewIdsShare));
    return to < from || to - from > fewIds;
}

void ProcessCache::readHandedOutIds()
{
    for (pid_t pid = m_lastCounter->lastId + 1; pid <= m_counter->lastId; ++pid) {
        if (CachedProcess process; readAfresh(pid, process))
            m_processes.insert_or_assign(pid, std::move(process));
        else
            m_processes.erase(pid);
    }
}

std::vector<pid_t> ProcessCache::idsAnsweringTo(std::string_view lowered) const
{
    std::vector<pid_t> ids;
    for (const auto& [pid, process] : m_processes) {
        if (process.names.answersTo(lowered))
            ids.push_back(pid);
    }
    return ids;
}

// Merges the listing into the cache: ids no longer listed drop out, new ones are read, and a
// cached id that may have been handed out again is read afresh.
std::optional<std::string> ProcessCache::takeListing()
{
    if (auto failure = m_proc.listProcessIds(m_listing))
        return failure;
    auto cached = m_processes.begin();
    for (const pid_t pid : m_listing) {
        while (cached != m_processes.end() && cached->first < pid)
            cached = m_processes.erase(cached);
        if (cached != m_processes.end() && cached->first == pid) {
            const bool keep = !mayBeReused(pid) || readAfresh(pid, cached->second);
            cached = keep ? std::next(cached) : m_processes.erase(cached);
        } else if (CachedProcess process; readAfresh(pid, process)) {
            m_processes.emplace_hint(cached, pid, std::move(process));
        }
    }
    m_processes.erase(cached, m_processes.end());
    return std::nullopt;
}

bool ProcessCache::mayBeReused(pid_t pid) const
{
    if (!m_counter || !m_lastCounter)
        return true;
    return inHandedOutRange(pid, m_lastCounter->lastId, m_counter->lastId);
}

void ProcessCache::readYoungAndWanted(const std::vector<std::string>& wanted, unsigned long long youngSince)
{
    const auto isWanted = [&wanted](const ProgramNames& names) {
        return std::any_of(wanted.begin(), wanted.end(),
                           [&names](const std::string& name) { return names.answersTo(name); });
    };
    for (auto process = m_processes.begin(); process != m_processes.end();) {
        CachedProcess& cached = process->second;
        const bool due = !cached.settled && (cached.startTime >= youngSince || isWanted(cached.names));
        process = !due || readAgain(process->first, cached) ? std::next(process) : m_processes.erase(process);
    }
}

void ProcessCache::readSlice(Clock::duration sinceLastTick)
{
    const auto readable = static_cast<std::size_t>(
        std::count_if(m_processes.begin(), m_processes.end(), [](const auto& entry) { return !entry.second.settled; }));
    const auto elapsed = std::min<Clock::duration>(sinceLastTick, kRereadPeriod);
    const auto period = std::chrono::duration_cast<Clock::duration>(kRereadPeriod);
    // Rounded up, so that every process is read again within the period however short the ticks.
    std::size_t budget = static_cast<std::size_t>(
        (static_cast<long long>(readable) * elapsed.count() + period.count() - 1) / period.count());
    auto process = m_processes.lower_bound(m_sliceFrom);
    for (std::size_t visited = 0; budget > 0 && visited < m_processes.size(); ++visited) {
        if (process == m_processes.end())
            process = m_processes.begin();
        if (process->second.settled) {
            ++process;
            continue;
        }
        --budget;
        process = readAgain(process->first, process->second) ? std::next(process) : m_processes.erase(process);
    }
    m_sliceFrom = process == m_processes.end() ? 0 : process->first;
}

// A process whose executable link reads as before has not exec'd (nor ended, which takes the link
// away): the one read is enough. Anything else is read in full.
bool ProcessCache::readAgain(pid_t pid, CachedProcess& process)
{
    ++m_lastReads;
    auto link = m_proc.executableLink(pid);
    if (link && link == process.link)
        return true;
    const auto stat = m_proc.stat(pid);
    if (!stat)
        return false;
    if (stat->startTime != process.startTime)
        return readAfresh(pid, process);
    take(pid, *stat, std::move(link), process);
    return true;
}

bool ProcessCache::readAfresh(pid_t pid, CachedProcess& process)
{
    ++m_lastReads;
    const auto stat = m_proc.stat(pid);
    if (!stat || stat->thread)
        return false;
    take(pid, *stat, stat->isRunningProgram() ? m_proc.executableLink(pid) : std::nullopt, process);
    return true;
}

void ProcessCache::take(pid_t pid, const ProcessStat& stat, std::optional<std::string> link, CachedProcess& process)
{
    process.startTime = stat.startTime;
    process.settled = !stat.isRunningProgram();
    process.names = programNames(m_proc, pid, stat, link);
    process.link = std::move(link);
}

} // namespace korvane
