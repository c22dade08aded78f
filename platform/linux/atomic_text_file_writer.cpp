#include "platform/linux/atomic_text_file_writer.h"

#include "platform/linux/unique_fd.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <grp.h>
#include <optional>
#include <pwd.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace korvane {
namespace {

struct SplitPath
{
    std::string folder; // never empty: "." for a bare file name
    std::string fileName;
};

SplitPath splitPath(const std::string& path)
{
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return { ".", path };
    return { slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1) };
}

// Reports the current errno with what was being done; call it right after the failed call.
bool fail(std::string* error, std::string_view what, const std::string& subject = {})
{
    const int reason = errno;
    if (error)
        *error = std::string(what) + subject + ": " + std::strerror(reason);
    return false;
}

// The regular file being replaced, if there is one.
std::optional<struct stat> existingFile(const std::string& path)
{
    struct stat info = {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return std::nullopt;
    return info;
}

// "user alice, group staff", with the number of an id that has no name.
std::string ownerNames(uid_t uid, gid_t gid)
{
    std::vector<char> buffer(16384);
    passwd user {};
    passwd* userFound = nullptr;
    std::string names = "user ";
    names += ::getpwuid_r(uid, &user, buffer.data(), buffer.size(), &userFound) == 0 && userFound
        ? std::string(userFound->pw_name)
        : std::to_string(uid);
    group owningGroup {};
    group* groupFound = nullptr;
    names += ", group ";
    names += ::getgrgid_r(gid, &owningGroup, buffer.data(), buffer.size(), &groupFound) == 0 && groupFound
        ? std::string(groupFound->gr_name)
        : std::to_string(gid);
    return names;
}

// Gives the new file the owner and group of the file it replaces, so that a file saved by another
// user (root, say) stays readable by the one it belongs to. Where the process may not, the file is
// not replaced and the message names its owner.
bool keepOwner(int fd, const struct stat& existing, const std::string& path, std::string* error)
{
    struct stat created = {};
    if (::fstat(fd, &created) != 0)
        return fail(error, "Cannot read the new file beside ", path);
    if (created.st_uid == existing.st_uid && created.st_gid == existing.st_gid)
        return true;
    if (::fchown(fd, existing.st_uid, existing.st_gid) == 0)
        return true;
    const int reason = errno; // the name look-up may change errno
    const std::string owner = ownerNames(existing.st_uid, existing.st_gid);
    errno = reason;
    return fail(error, "Cannot keep the owner of ", path + " (" + owner + ")");
}

// Creates a new file next to the target under a name nobody else uses.
UniqueFd createTemporary(const SplitPath& target, mode_t mode, std::string& temporaryPath)
{
    static std::atomic<unsigned> counter { 0 };
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporaryPath = target.folder + "/." + target.fileName + "." + std::to_string(::getpid()) + "."
            + std::to_string(counter++) + ".tmp";
        UniqueFd fd(::open(temporaryPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode));
        if (fd.valid() || errno != EEXIST)
            return fd;
    }
    return UniqueFd();
}

// Writes at `offset` when one is given, else at the file's position.
bool writeAll(int fd, std::string_view content, std::optional<off_t> offset = std::nullopt)
{
    while (!content.empty()) {
        const ssize_t written = offset ? ::pwrite(fd, content.data(), content.size(), *offset)
                                       : ::write(fd, content.data(), content.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0)
            return false;
        content.remove_prefix(static_cast<std::size_t>(written));
        if (offset)
            *offset += written;
    }
    return true;
}

// Makes the rename itself durable; a failure here no longer endangers the old content.
void syncFolder(const std::string& folder)
{
    UniqueFd fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.valid())
        ::fsync(fd.get());
}

bool writeTemporary(UniqueFd& fd, std::string_view content, std::optional<mode_t> forcedMode, std::string* error)
{
    if (forcedMode && ::fchmod(fd.get(), *forcedMode) != 0)
        return fail(error, "Cannot set the permissions of the new file");
    if (!writeAll(fd.get(), content))
        return fail(error, "Cannot write the new file");
    if (::fsync(fd.get()) != 0)
        return fail(error, "Cannot flush the new file to disk");
    if (fd.close() != 0)
        return fail(error, "Cannot close the new file");
    return true;
}

// A write past the file-size limit (ulimit -f) would end the program with SIGXFSZ. Ignored, the
// write fails with "File too large" and is reported like a full disk.
void ignoreFileSizeSignal()
{
    [[maybe_unused]] static const auto previous = ::signal(SIGXFSZ, SIG_IGN);
}

// The file a path ends at once symbolic links are followed (a relative target is read from its
// link's folder). Replacing that file, not the link, keeps a link to a file kept elsewhere.
std::optional<std::string> followLinks(std::string path, std::string* error)
{
    for (int link = 0; link < 40; ++link) {
        char target[PATH_MAX];
        const ssize_t length = ::readlink(path.c_str(), target, sizeof target);
        if (length < 0 && (errno == EINVAL || errno == ENOENT)) // no link, or nothing there yet
            return path;
        const bool cutShort = length >= 0 && static_cast<std::size_t>(length) == sizeof target;
        if (length < 0 || cutShort) {
            errno = cutShort ? ENAMETOOLONG : errno;
            fail(error, "Cannot follow the link ", path);
            return std::nullopt;
        }
        std::string next(target, static_cast<std::size_t>(length));
        path = next.starts_with('/') ? next : path.substr(0, path.rfind('/') + 1) + next;
    }
    errno = ELOOP;
    fail(error, "Cannot follow the link ", path);
    return std::nullopt;
}

// Opens a file to be rewritten in place, with the permissions asked for, and tells its size.
UniqueFd openForRewrite(const std::string& path, FilePermissions permissions, std::size_t& size, std::string* error)
{
    UniqueFd file(::open(path.c_str(), O_WRONLY | O_NOFOLLOW | O_CLOEXEC));
    struct stat info = {};
    if (!file.valid() || ::fstat(file.get(), &info) != 0) {
        fail(error, "Cannot open ", path + " to write it in place");
        return UniqueFd();
    }
    if (permissions == FilePermissions::OwnerOnly && ::fchmod(file.get(), S_IRUSR | S_IWUSR) != 0) {
        fail(error, "Cannot set the permissions of ", path);
        return UniqueFd();
    }
    size = static_cast<std::size_t>(info.st_size);
    return file;
}

// Writes what lies beyond the file's old end, first: a full disk then leaves the old text whole.
bool growFirst(int fd, std::string_view content, std::size_t oldSize, const std::string& path, std::string* error)
{
    if (content.size() <= oldSize || writeAll(fd, content.substr(oldSize), static_cast<off_t>(oldSize)))
        return true;
    fail(error, "Cannot write ", path);
    [[maybe_unused]] const int ignored = ::ftruncate(fd, static_cast<off_t>(oldSize));
    return false;
}

// Rewrites a file that has other names (hard links) in place, so that they stay one file. First a
// complete copy of the new text is written and flushed beside it: the disk holds it, and the copy
// is kept should the rewrite fail half way.
bool rewriteInPlace(const std::string& path, std::string_view content, FilePermissions permissions, std::string* error)
{
    const SplitPath target = splitPath(path);
    std::string copyPath;
    UniqueFd copy = createTemporary(target, 0600, copyPath);
    if (!copy.valid())
        return fail(error, "Cannot create a file in ", target.folder);
    std::size_t oldSize = 0;
    UniqueFd file;
    if (!writeTemporary(copy, content, std::nullopt, error)
        || !(file = openForRewrite(path, permissions, oldSize, error)).valid()
        || !growFirst(file.get(), content, oldSize, path, error)) {
        ::unlink(copyPath.c_str());
        return false;
    }
    if (!writeAll(file.get(), content.substr(0, std::min(oldSize, content.size())), 0)
        || ::ftruncate(file.get(), static_cast<off_t>(content.size())) != 0 || ::fsync(file.get()) != 0
        || file.close() != 0)
        return fail(error, "Cannot finish writing ",
                    path + " in place (its new text is kept whole in " + copyPath + ")");
    ::unlink(copyPath.c_str());
    syncFolder(target.folder);
    return true;
}

bool replaceThroughTemporary(const std::string& path,
                             std::string_view content,
                             FilePermissions permissions,
                             std::string* error)
{
    ignoreFileSizeSignal();
    const SplitPath target = splitPath(path);
    if (target.fileName.empty()) {
        errno = EISDIR;
        return fail(error, "Cannot write ", path);
    }

    const auto existing = existingFile(path);
    std::optional<mode_t> forcedMode;
    if (permissions == FilePermissions::OwnerOnly)
        forcedMode = S_IRUSR | S_IWUSR;
    else if (existing)
        forcedMode = existing->st_mode & 07777;
    const mode_t creationMode = permissions == FilePermissions::OwnerOnly ? 0600 : 0666;

    std::string temporaryPath;
    UniqueFd fd = createTemporary(target, creationMode, temporaryPath);
    if (!fd.valid())
        return fail(error, "Cannot create a file in ", target.folder);

    bool replaced = !existing || keepOwner(fd.get(), *existing, path, error);
    replaced = replaced && writeTemporary(fd, content, forcedMode, error);
    if (replaced && ::rename(temporaryPath.c_str(), path.c_str()) != 0)
        replaced = fail(error, "Cannot replace ", path);
    if (!replaced) {
        ::unlink(temporaryPath.c_str());
        return false;
    }
    syncFolder(target.folder);
    return true;
}

// Through symbolic links to the final target; a file with other names rewritten in place, which
// `note` tells.
bool writeThroughLinks(const std::string& path,
                       std::string_view content,
                       FilePermissions permissions,
                       std::string* error,
                       std::string* note)
{
    const auto target = followLinks(path, error);
    if (!target)
        return false;
    const auto existing = existingFile(*target);
    if (!existing || existing->st_nlink < 2)
        return replaceThroughTemporary(*target, content, permissions, error);
    ignoreFileSizeSignal();
    if (!rewriteInPlace(*target, content, permissions, error))
        return false;
    *note = path + " was written in place to keep its " + std::to_string(existing->st_nlink)
        + " names (hard links) one file";
    return true;
}

} // namespace

Result<> replaceFileAtomically(const std::string& path, std::string_view content, FilePermissions permissions)
{
    std::string error;
    if (replaceThroughTemporary(path, content, permissions, &error))
        return {};
    return Failure { error };
}

Result<std::string> writeTextFile(const std::string& path, std::string_view content, FilePermissions permissions)
{
    std::string error;
    std::string note;
    if (!writeThroughLinks(path, content, permissions, &error, &note))
        return Failure { error };
    return note;
}

Result<std::string>
AtomicTextFileWriter::write(const std::string& path, const std::string& text, FilePermissions permissions)
{
    return writeTextFile(path, text, permissions);
}

} // namespace korvane
