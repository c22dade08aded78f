#pragma once

#include "platform/linux/proc_folder.h"

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace korvane {

// What the cache holds of one process.
struct CachedProcess
{
    unsigned long long startTime = 0; // with the id, the key: a reused id is another process
    bool settled = false; // a kernel thread or a zombie: it cannot exec, and is never read again
    std::optional<std::string> link; // the executable link as last read
    ProgramNames names;
};

// The running processes as a series of ticks learns them, so that a tick reads few processes
// rather than all of /proc. /proc/loadavg tells which ids were handed out since the last tick;
// each tick reads, with their executable link:
// - the processes with those ids (found by listing /proc when the ids are many, and every
//   kListingPeriod, else by reading each id; threads are passed over);
// - processes younger than kYoung, so that a wrapper that execs right after it starts is seen;
// - processes that answered to a wanted name at the last tick, so that one that ends (even as a
//   zombie) or execs into another program is seen at once;
// - a rotating slice of the others, so that each is read again within kRereadPeriod plus a tick.
// Kernel threads and zombies are never read again. Not for use from two threads at once.
class ProcessCache
{
public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::milliseconds kYoung { 2000 };
    static constexpr std::chrono::milliseconds kRereadPeriod { 1750 };
    static constexpr std::chrono::seconds kListingPeriod { 8 };

    explicit ProcessCache(const ProcFolder& proc)
        : m_proc(proc)
    {
    }

    // One tick at `now`, which `wanted` (names in small letters) are asked of. Returns the reason
    // when /proc cannot be listed; the cache then keeps what it knew.
    std::optional<std::string> refresh(const std::vector<std::string>& wanted, Clock::time_point now);
    // The ids of the processes that answered to `lowered` at the last tick, in increasing order.
    std::vector<pid_t> idsAnsweringTo(std::string_view lowered) const;

    // How many processes the last tick read, and whether it listed /proc.
    std::size_t lastReads() const { return m_lastReads; }
    bool lastListed() const { return m_lastListed; }
    // Sets what the cache believes of an id, as if an earlier tick had read it.
    void remember(pid_t pid, CachedProcess process) { m_processes.insert_or_assign(pid, std::move(process)); }

private:
    using Processes = std::map<pid_t, CachedProcess>;

    static constexpr std::size_t kFewIds = 16; // ids handed out in a tick that are read one by one
    static constexpr std::size_t kFewIdsShare = 16; // or this share of the cached processes

    bool mustList(Clock::time_point now) const;
    std::optional<std::string> takeListing();
    void readHandedOutIds();
    // Whether the id may have been handed out since the last tick.
    bool mayBeReused(pid_t pid) const;
    void readYoungAndWanted(const std::vector<std::string>& wanted, unsigned long long youngSince);
    void readSlice(Clock::duration sinceLastTick);
    // Each returns false when the process has ended.
    bool readAgain(pid_t pid, CachedProcess& process);
    bool readAfresh(pid_t pid, CachedProcess& process);
    void take(pid_t pid, const ProcessStat& stat, std::optional<std::string> link, CachedProcess& process);

    const ProcFolder& m_proc;
    Processes m_processes;
    std::vector<pid_t> m_listing;
    std::optional<TaskCounter> m_lastCounter;
    std::optional<TaskCounter> m_counter;
    std::optional<Clock::time_point> m_lastTick;
    std::optional<Clock::time_point> m_lastListing;
    pid_t m_sliceFrom = 0;
    std::size_t m_lastReads = 0;
    bool m_lastListed = false;
};

} // namespace korvane
