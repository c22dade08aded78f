#pragma once

#include <algorithm>
#include <condition_variable>
#include <cstdint>
#include <iterator>
#include <mutex>
#include <optional>
#include <stop_token>
#include <system_error>
#include <thread>
#include <vector>

namespace korvane {

struct FolderTally
{
    std::uint64_t bytes = 0;
    std::uint64_t unreadableFolders = 0;
    std::uint64_t repeatedFolders = 0;

    FolderTally& operator+=(const FolderTally& other)
    {
        bytes += other.bytes;
        unreadableFolders += other.unreadableFolders;
        repeatedFolders += other.repeatedFolders;
        return *this;
    }
};

// Threads that list folders at the same time; more than a few only queue up on the disk.
inline unsigned defaultWalkThreads()
{
    return std::clamp(std::thread::hardware_concurrency(), 2u, 4u);
}

// The folders still to list, shared by the threads of one walk. A thread takes a folder, lists it
// and hands back its subfolders; the walk is over when nothing is queued and no thread is listing.
template <typename Folder> class FolderQueue
{
public:
    explicit FolderQueue(std::vector<Folder> folders)
        : m_pending(std::move(folders))
    {
    }

    // The next folder to list; none once the tree is done or the walk is stopped.
    std::optional<Folder> take(std::stop_token stop)
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, stop, [this] { return !m_pending.empty() || m_listing == 0; });
        if (m_pending.empty() || stop.stop_requested())
            return std::nullopt;
        ++m_listing;
        Folder next = std::move(m_pending.back());
        m_pending.pop_back();
        return next;
    }

    // The folder last taken is listed; queues its subfolders and empties `subfolders`.
    void done(std::vector<Folder>& subfolders)
    {
        {
            const std::lock_guard lock(m_mutex);
            --m_listing;
            std::move(subfolders.begin(), subfolders.end(), std::back_inserter(m_pending));
        }
        subfolders.clear();
        m_changed.notify_all();
    }

private:
    std::mutex m_mutex;
    std::condition_variable_any m_changed;
    std::vector<Folder> m_pending;
    unsigned m_listing = 0;
};

// Lists `folders` and all folders below them on `threads` threads of their own, while the calling
// thread waits. Each thread first calls enterThread() (to lower its own priority, say).
// list(folder, tally, subfolders, stop) lists one folder: it adds its files' sizes, or an
// unreadable folder, to `tally` and appends the folder's subfolders to `subfolders`.
template <typename Folder, typename ListFolder, typename EnterThread>
FolderTally walkFolders(std::vector<Folder> folders,
                        const ListFolder& list,
                        unsigned threads,
                        const EnterThread& enterThread,
                        std::stop_token stop)
{
    FolderQueue<Folder> queue(std::move(folders));
    std::vector<FolderTally> tallies(std::max(threads, 1u));
    const auto work = [&](FolderTally& tally) {
        std::vector<Folder> subfolders;
        while (std::optional<Folder> folder = queue.take(stop)) {
            list(*folder, tally, subfolders, stop);
            queue.done(subfolders);
        }
    };

    std::vector<std::jthread> workers;
    for (FolderTally& tally : tallies) {
        try {
            workers.emplace_back([&work, &enterThread, &tally] {
                enterThread();
                work(tally);
            });
        } catch (const std::system_error&) {
            break; // no more threads to be had: the others do the work
        }
    }
    if (workers.empty())
        work(tallies.front());
    workers.clear(); // joins them

    FolderTally total;
    for (const FolderTally& tally : tallies)
        total += tally;
    return total;
}

} // namespace korvane
