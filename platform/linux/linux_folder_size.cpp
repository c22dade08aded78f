#include "platform/linux/linux_folder_size.h"

#include "platform/linux/unique_fd.h"

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <list>
#include <memory>
#include <mutex>
#include <sched.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <system_error>
#include <unistd.h>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace korvane {
namespace {

constexpr int kOpenFolder = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
constexpr std::size_t kListingBufferSize = 32 * 1024;

bool isDotEntry(const char* name)
{
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

std::string errorText(int error)
{
    return std::generic_category().message(error); // strerror is not safe on several threads
}

FolderSizeResult failure(FolderSizeOutcome outcome, std::string error)
{
    return { outcome, 0, 0, std::move(error) };
}

FolderSizeResult rootFailure(const std::string& folder, int error)
{
    struct stat status
    {
    };
    if (error == ENOTDIR && ::stat(folder.c_str(), &status) == 0 && !S_ISDIR(status.st_mode))
        return failure(FolderSizeOutcome::NotAFolder, errorText(error));
    if (error == ENOENT || error == ENOTDIR)
        return failure(FolderSizeOutcome::NotFound, errorText(error));
    return failure(FolderSizeOutcome::Unreadable, errorText(error));
}

class DescriptorCache;

// A folder below the one measured, known by its name in its parent folder: a path from the top
// would grow past PATH_MAX in a deep tree. A folder's ancestors stay known while it waits.
struct FolderNode
{
    std::shared_ptr<FolderNode> parent;
    std::string name;
    DescriptorCache* descriptors;

    ~FolderNode();
};

// Descriptors of listed folders, kept to open their subfolders by. A deep tree cannot have one
// for every level (RLIMIT_NOFILE is often 1024), so the cache keeps a bounded number, letting the
// least recently used go; a folder whose parent's descriptor went is reopened a name at a time
// from its nearest ancestor that has one, and the folders on the way are kept again.
class DescriptorCache
{
public:
    DescriptorCache()
    {
        rlimit limit {};
        const rlim_t open = ::getrlimit(RLIMIT_NOFILE, &limit) == 0 ? limit.rlim_cur : 1024;
        m_capacity = std::clamp<rlim_t>(open / 4, 8, 4096); // the rest is the program's
    }

    std::shared_ptr<const UniqueFd> keep(const FolderNode* folder, UniqueFd fd)
    {
        auto kept = std::make_shared<const UniqueFd>(std::move(fd));
        const std::lock_guard lock(m_mutex);
        if (const auto found = m_index.find(folder); found != m_index.end()) {
            m_recent.erase(found->second); // another thread reopened it too
            m_index.erase(found);
        }
        m_recent.push_front({ folder, kept });
        m_index.emplace(folder, m_recent.begin());
        if (m_recent.size() > m_capacity) {
            m_index.erase(m_recent.back().folder);
            m_recent.pop_back(); // closes once no thread uses it any more
        }
        return kept;
    }

    // Keeps the descriptor of the folder measured for the whole walk: every reopening can start there.
    // Called before the walk's threads start.
    std::shared_ptr<const UniqueFd> pin(const FolderNode* folder, UniqueFd fd)
    {
        m_pinned = { folder, std::make_shared<const UniqueFd>(std::move(fd)) };
        return m_pinned.fd;
    }

    std::shared_ptr<const UniqueFd> find(const FolderNode* folder)
    {
        if (folder == m_pinned.folder)
            return m_pinned.fd;
        const std::lock_guard lock(m_mutex);
        const auto found = m_index.find(folder);
        if (found == m_index.end())
            return nullptr;
        m_recent.splice(m_recent.begin(), m_recent, found->second);
        return found->second->fd;
    }

    void forget(const FolderNode* folder)
    {
        const std::lock_guard lock(m_mutex);
        if (const auto found = m_index.find(folder); found != m_index.end()) {
            m_recent.erase(found->second);
            m_index.erase(found);
        }
    }

private:
    struct Kept
    {
        const FolderNode* folder;
        std::shared_ptr<const UniqueFd> fd;
    };

    Kept m_pinned {};
    std::mutex m_mutex;
    std::size_t m_capacity;
    std::list<Kept> m_recent; // most recently used first
    std::unordered_map<const FolderNode*, std::list<Kept>::iterator> m_index;
};

FolderNode::~FolderNode()
{
    descriptors->forget(this);
    // Lets go of a long chain of ancestors in a loop, not by recursion that could overrun the stack.
    std::shared_ptr<FolderNode> next = std::move(parent);
    while (next && next.use_count() == 1)
        next = std::move(next->parent);
}

// The folders listed so far, by device and inode: a bind mount can show a folder inside itself.
class VisitedFolders
{
public:
    // Whether the folder open as `fd` is seen for the first time; a folder that cannot be
    // examined counts as new.
    bool firstVisit(int fd)
    {
        struct stat status = {};
        if (::fstat(fd, &status) != 0)
            return true;
        const std::lock_guard lock(m_mutex);
        return m_seen.insert({ status.st_dev, status.st_ino }).second;
    }

private:
    struct Identity
    {
        dev_t device;
        ino_t inode;
        bool operator==(const Identity&) const = default;
    };
    struct IdentityHash
    {
        std::size_t operator()(const Identity& identity) const
        {
            return std::hash<ino_t>()(identity.inode) ^ (std::hash<dev_t>()(identity.device) << 1);
        }
    };

    std::mutex m_mutex;
    std::unordered_set<Identity, IdentityHash> m_seen;
};

struct Walk
{
    DescriptorCache descriptors;
    VisitedFolders visited;
};

using PendingFolder = std::shared_ptr<FolderNode>;

// Opens a folder below the one measured by its name in its parent, following no link; from the
// nearest ancestor with a kept descriptor (the top always has one) when the parent has none.
UniqueFd openSubfolder(Walk& walk, const FolderNode& folder)
{
    constexpr int kOpenSubfolder = kOpenFolder | O_NOFOLLOW;
    std::vector<const FolderNode*> path { &folder };
    std::shared_ptr<const UniqueFd> at;
    while (!(at = walk.descriptors.find(path.back()->parent.get())))
        path.push_back(path.back()->parent.get());
    for (; path.size() > 1; path.pop_back()) {
        UniqueFd opened(::openat(at->get(), path.back()->name.c_str(), kOpenSubfolder));
        if (!opened.valid())
            return opened;
        at = walk.descriptors.keep(path.back(), std::move(opened));
    }
    return UniqueFd(::openat(at->get(), folder.name.c_str(), kOpenSubfolder));
}

// Adds one entry of the folder open as `folderFd`: a regular file's size, or a subfolder to list.
// Returns false when the entry may not be examined.
bool addEntry(int folderFd, const dirent64& entry, FolderTally& tally, std::vector<std::string>& subfolders)
{
    unsigned char type = entry.d_type;
    if (type == DT_REG || type == DT_UNKNOWN) {
        struct stat status = {};
        if (::fstatat(folderFd, entry.d_name, &status, AT_SYMLINK_NOFOLLOW) != 0)
            return errno != EACCES; // else it vanished during the scan
        if (S_ISREG(status.st_mode)) {
            tally.bytes += static_cast<std::uint64_t>(status.st_size);
            return true;
        }
        type = S_ISDIR(status.st_mode) ? DT_DIR : DT_UNKNOWN;
    }
    if (type == DT_DIR)
        subfolders.emplace_back(entry.d_name);
    return true;
}

// Lists the folder open as `fd`, adding the names of its subfolders to `subfolders`. Returns the
// error that ended the listing early, or 0; entries that may not be examined count the folder as
// unreadable.
int listFolder(int fd, FolderTally& tally, std::vector<std::string>& subfolders, const std::stop_token& stop)
{
    alignas(dirent64) char buffer[kListingBufferSize];
    bool allExamined = true;
    while (!stop.stop_requested()) {
        const ssize_t length = ::getdents64(fd, buffer, sizeof buffer);
        if (length < 0)
            return errno;
        if (length == 0)
            break;
        for (ssize_t offset = 0; offset < length;) {
            const auto& entry = *reinterpret_cast<const dirent64*>(buffer + offset);
            offset += entry.d_reclen;
            if (!isDotEntry(entry.d_name))
                allExamined &= addEntry(fd, entry, tally, subfolders);
        }
    }
    if (!allExamined)
        ++tally.unreadableFolders;
    return 0;
}

void queueSubfolders(Walk& walk,
                     const std::shared_ptr<FolderNode>& folder,
                     std::vector<std::string>& names,
                     std::vector<PendingFolder>& subfolders)
{
    for (std::string& name : names)
        subfolders.push_back(std::make_shared<FolderNode>(folder, std::move(name), &walk.descriptors));
}

// Lists the folder `node`, open as `fd`, and queues its subfolders; keeps its descriptor to open
// them by.
int listAndQueue(Walk& walk,
                 const std::shared_ptr<FolderNode>& node,
                 UniqueFd fd,
                 FolderTally& tally,
                 std::vector<PendingFolder>& subfolders,
                 const std::stop_token& stop)
{
    std::vector<std::string> names;
    if (const int error = listFolder(fd.get(), tally, names, stop))
        return error;
    if (!names.empty())
        walk.descriptors.keep(node.get(), std::move(fd));
    queueSubfolders(walk, node, names, subfolders);
    return 0;
}

// A folder below the one measured: a link is not followed, and one that vanished is skipped.
void listSubfolder(Walk& walk,
                   PendingFolder& folder,
                   FolderTally& tally,
                   std::vector<PendingFolder>& subfolders,
                   const std::stop_token& stop)
{
    UniqueFd fd = openSubfolder(walk, *folder);
    if (fd.valid() && !walk.visited.firstVisit(fd.get())) {
        ++tally.repeatedFolders;
        return;
    }
    const int error = fd.valid() ? listAndQueue(walk, folder, std::move(fd), tally, subfolders, stop) : errno;
    if (error != 0 && error != ENOENT && error != ENOTDIR && error != ELOOP)
        ++tally.unreadableFolders;
}

// The kernel's sched_attr, first version (the C library has no call for it).
struct SchedulingAttributes
{
    std::uint32_t size;
    std::uint32_t policy;
    std::uint64_t flags;
    std::int32_t nice;
    std::uint32_t priority;
    std::uint64_t runtimeNs; // for SCHED_OTHER: the length of the thread's time slices
    std::uint64_t deadlineNs;
    std::uint64_t periodNs;
};

// The scan's threads keep their fair share of the processor, but in long time slices, which a
// thread with the usual short slice (the GUI thread) cuts short the moment it wakes: the window
// answers at once while the scan keeps both cores busy. (Kernels before 6.12 ignore the slice.)
void yieldToOtherThreads()
{
    SchedulingAttributes attributes {};
    attributes.size = sizeof attributes;
    attributes.policy = SCHED_OTHER;
    attributes.runtimeNs = 100'000'000; // the longest slice the kernel grants
    ::syscall(SYS_sched_setattr, 0, &attributes, 0);
}

} // namespace

FolderSizeResult LinuxFolderSize::measure(const std::string& folder, std::stop_token stop)
{
    if (folder.empty())
        return failure(FolderSizeOutcome::NoFolderName, "No folder name given");
    // The folder itself may be reached through a link.
    UniqueFd rootFd(::open(folder.c_str(), kOpenFolder));
    if (!rootFd.valid())
        return rootFailure(folder, errno);

    Walk walk;
    const auto top = std::make_shared<FolderNode>(nullptr, folder, &walk.descriptors);
    walk.visited.firstVisit(rootFd.get());
    const auto topFd = walk.descriptors.pin(top.get(), std::move(rootFd));
    FolderTally tally;
    std::vector<std::string> names;
    if (const int error = listFolder(topFd->get(), tally, names, stop))
        return failure(FolderSizeOutcome::Unreadable, errorText(error));
    std::vector<PendingFolder> subfolders;
    queueSubfolders(walk, top, names, subfolders);
    const auto list
        = [&walk](PendingFolder& pending, FolderTally& folderTally, std::vector<PendingFolder>& below,
                  const std::stop_token& walkStop) { listSubfolder(walk, pending, folderTally, below, walkStop); };
    tally += walkFolders(std::move(subfolders), list, m_threads, yieldToOtherThreads, stop);
    if (stop.stop_requested())
        return failure(FolderSizeOutcome::Stopped, "Stopped");
    return { FolderSizeOutcome::Measured, tally.bytes, tally.unreadableFolders, {}, tally.repeatedFolders };
}

} // namespace korvane
