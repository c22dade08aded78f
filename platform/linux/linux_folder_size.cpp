#include "platform/linux/linux_folder_size.h"

#include "platform/linux/unique_fd.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sched.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <system_error>
#include <unistd.h>

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
    struct stat status {};
    if (error == ENOTDIR && ::stat(folder.c_str(), &status) == 0 && !S_ISDIR(status.st_mode))
        return failure(FolderSizeOutcome::NotAFolder, errorText(error));
    if (error == ENOENT || error == ENOTDIR)
        return failure(FolderSizeOutcome::NotFound, errorText(error));
    return failure(FolderSizeOutcome::Unreadable, errorText(error));
}

// Adds one entry of the folder open as `folderFd`: a regular file's size, or a subfolder to list.
// Returns false when the entry may not be examined.
bool addEntry(int folderFd, const std::string& path, const dirent64& entry, FolderTally& tally,
              std::vector<std::string>& subfolders)
{
    unsigned char type = entry.d_type;
    if (type == DT_REG || type == DT_UNKNOWN) {
        struct stat status {};
        if (::fstatat(folderFd, entry.d_name, &status, AT_SYMLINK_NOFOLLOW) != 0)
            return errno != EACCES; // else it vanished during the scan
        if (S_ISREG(status.st_mode)) {
            tally.bytes += static_cast<std::uint64_t>(status.st_size);
            return true;
        }
        type = S_ISDIR(status.st_mode) ? DT_DIR : DT_UNKNOWN;
    }
    if (type == DT_DIR)
        subfolders.push_back(path + '/' + entry.d_name);
    return true;
}

// Lists the folder open as `fd`, reached as `path`. Returns the error that ended the listing
// early, or 0; entries that may not be examined count the folder as unreadable.
int listFolder(int fd, const std::string& path, FolderTally& tally, std::vector<std::string>& subfolders,
               const std::stop_token& stop)
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
                allExamined &= addEntry(fd, path, entry, tally, subfolders);
        }
    }
    if (!allExamined)
        ++tally.unreadableFolders;
    return 0;
}

// A folder below the one measured: a link is not followed, and one that vanished is skipped.
void listSubfolder(const std::string& path, FolderTally& tally, std::vector<std::string>& subfolders,
                   const std::stop_token& stop)
{
    const UniqueFd folder(::open(path.c_str(), kOpenFolder | O_NOFOLLOW));
    const int error = folder.valid() ? listFolder(folder.get(), path, tally, subfolders, stop) : errno;
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
    const UniqueFd root(::open(folder.c_str(), kOpenFolder));
    if (!root.valid())
        return rootFailure(folder, errno);

    FolderTally tally;
    std::vector<std::string> subfolders;
    if (const int error = listFolder(root.get(), folder, tally, subfolders, stop))
        return failure(FolderSizeOutcome::Unreadable, errorText(error));
    tally += walkFolders(std::move(subfolders), listSubfolder, m_threads, yieldToOtherThreads, stop);
    if (stop.stop_requested())
        return failure(FolderSizeOutcome::Stopped, "Stopped");
    return { FolderSizeOutcome::Measured, tally.bytes, tally.unreadableFolders, {} };
}

} // namespace korvane
