#include "platform/linux/atomic_text_file_writer.h"

#include "platform/linux/unique_fd.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

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

// Permission bits of the file being replaced, if there is one.
std::optional<mode_t> existingPermissions(const std::string& path)
{
    struct stat info = {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return std::nullopt;
    return info.st_mode & 07777;
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

bool writeAll(int fd, std::string_view content)
{
    while (!content.empty()) {
        const ssize_t written = ::write(fd, content.data(), content.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0)
            return false;
        content.remove_prefix(static_cast<std::size_t>(written));
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

    std::optional<mode_t> forcedMode;
    if (permissions == FilePermissions::OwnerOnly)
        forcedMode = S_IRUSR | S_IWUSR;
    else
        forcedMode = existingPermissions(path);
    const mode_t creationMode = permissions == FilePermissions::OwnerOnly ? 0600 : 0666;

    std::string temporaryPath;
    UniqueFd fd = createTemporary(target, creationMode, temporaryPath);
    if (!fd.valid())
        return fail(error, "Cannot create a file in ", target.folder);

    bool replaced = writeTemporary(fd, content, forcedMode, error);
    if (replaced && ::rename(temporaryPath.c_str(), path.c_str()) != 0)
        replaced = fail(error, "Cannot replace ", path);
    if (!replaced) {
        ::unlink(temporaryPath.c_str());
        return false;
    }
    syncFolder(target.folder);
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

Result<> AtomicTextFileWriter::write(const std::string& path, const std::string& text, FilePermissions permissions)
{
    return replaceFileAtomically(path, text, permissions);
}

} // namespace korvane
