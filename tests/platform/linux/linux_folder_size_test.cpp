#include "platform/linux/linux_folder_size.h"
#include "tests/helpers/temporary_folder.h"
#include "tests/platform/linux/posix_test_support.h"

#include <cstdlib>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>

namespace korvane {
namespace {

namespace fs = std::filesystem;
using test::TemporaryFolder;
using test::writeFile;

TEST(LinuxFolderSize, FollowsALinkToTheFolderItselfButNoLinkBelowIt)
{
    TemporaryFolder elsewhere;
    writeFile(elsewhere.path() / "big.bin", std::string(500000, 'x'));
    TemporaryFolder tree;
    writeFile(tree.path() / "node" / "blocks" / "blk00000.dat", std::string(2000, 'b'));
    fs::create_symlink(elsewhere.path() / "big.bin", tree.path() / "node" / "big-link");
    fs::create_directory_symlink(elsewhere.path(), tree.path() / "node" / "blocks" / "folder-link");
    fs::create_symlink(tree.path() / "node" / "missing", tree.path() / "node" / "dangling-link");
    fs::create_directory_symlink(tree.path() / "node", tree.path() / "home-link");

    for (const char* reached : { "node", "home-link" }) {
        const FolderSizeResult result = LinuxFolderSize(2).measure(tree.text(reached));
        EXPECT_TRUE(result.measured()) << reached << ": " << result.error;
        EXPECT_EQ(result.bytes, 2000u) << reached;
        EXPECT_FALSE(result.partial()) << reached;
    }
}

// Root may read every folder: the scans run as "nobody", who owns the tree.
TEST(LinuxFolderSize, SkipsUnreadableSubfoldersAndSaysTheTotalIsPartial)
{
    TemporaryFolder parent; // left private to its owner: the tree below is handed to "nobody"
    const fs::path tree = parent.path() / "node";
    writeFile(tree / "peers.dat", std::string(100, 'p'));
    writeFile(tree / "locked" / "secret.dat", std::string(1000, 's'));
    writeFile(tree / "blocks" / "locked-too" / "deep" / "x.dat", std::string(1000, 's'));
    writeFile(tree / "blocks" / "blk.dat", std::string(20, 'b'));
    writeFile(tree / "unlisted" / "file.dat", std::string(1000, 'u'));
    fs::permissions(parent.path(), fs::perms::all);
    fs::permissions(tree / "locked", fs::perms::none);
    fs::permissions(tree / "blocks" / "locked-too", fs::perms::owner_write);
    fs::permissions(tree / "unlisted", fs::perms::owner_read); // names readable, sizes not

    const auto scan = [](const fs::path& folder) {
        const FolderSizeResult result = LinuxFolderSize(2).measure(folder.string());
        return std::to_string(static_cast<int>(result.outcome)) + " " + std::to_string(result.bytes) + " "
            + std::to_string(result.unreadableFolders);
    };
    const std::string measured = std::to_string(static_cast<int>(FolderSizeOutcome::Measured));
    EXPECT_EQ(test::runUnprivileged(tree, [&] { return scan(tree); }), measured + " 120 3");

    fs::permissions(tree, fs::perms::none);
    const std::string unreadable = std::to_string(static_cast<int>(FolderSizeOutcome::Unreadable));
    EXPECT_EQ(test::runUnprivileged(tree, [&] { return scan(tree); }), unreadable + " 0 0");
    fs::permissions(tree, fs::perms::all);
    for (const fs::path& locked : { tree / "locked", tree / "blocks" / "locked-too", tree / "unlisted" })
        fs::permissions(locked, fs::perms::all); // so that the tree can be removed
}

// Creates `levels` nested folders "d" below `top`, each holding a file of 1 to 7 bytes and, with
// `sideFolders`, a folder "s" holding a 3-byte file. Paths below a few thousand levels are longer
// than any call may name, so each level is made relative to the one above. Returns the total size.
std::uint64_t makeChain(const fs::path& top, int levels, bool sideFolders)
{
    std::uint64_t total = 0;
    const auto writeAt = [&total](int folder, const char* name, std::size_t size) {
        const int fd = ::openat(folder, name, O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
        EXPECT_EQ(::write(fd, std::string(size, 'x').data(), size), static_cast<ssize_t>(size));
        ::close(fd);
        total += size;
    };
    int folder = ::open(top.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    for (int level = 0; level < levels; ++level) {
        writeAt(folder, "f", static_cast<std::size_t>(level % 7 + 1));
        if (sideFolders) {
            ::mkdirat(folder, "s", 0755);
            const int side = ::openat(folder, "s", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            writeAt(side, "g", 3);
            ::close(side);
        }
        ::mkdirat(folder, "d", 0755);
        const int below = ::openat(folder, "d", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        ::close(folder);
        folder = below;
    }
    ::close(folder);
    return total;
}

TEST(LinuxFolderSize, CountsEveryLevelOfATreeTooDeepForAPathEvenWithFewDescriptors)
{
    // In memory where there is room: thousands of folders are slow to make and remove on a disk.
    const char* temporary = fs::is_directory("/dev/shm") ? "/dev/shm" : std::getenv("TMPDIR");
    const test::ScopedEnvironment inMemory("TMPDIR", temporary ? std::optional<std::string>(temporary) : std::nullopt);
    TemporaryFolder chain;
    const std::uint64_t chainBytes = makeChain(chain.path(), 3000, false);
    const FolderSizeResult result = LinuxFolderSize(2).measure(chain.text());
    EXPECT_EQ(result.outcome, FolderSizeOutcome::Measured) << result.error;
    EXPECT_EQ(result.bytes, chainBytes);
    EXPECT_FALSE(result.partial());

    // Every level waits with a side folder: far more levels than descriptors the scan may keep.
    TemporaryFolder tree;
    const std::uint64_t treeBytes = makeChain(tree.path(), 500, true);
    rlimit old {};
    ::getrlimit(RLIMIT_NOFILE, &old);
    rlimit few = old;
    few.rlim_cur = 64;
    ::setrlimit(RLIMIT_NOFILE, &few);
    const FolderSizeResult narrow = LinuxFolderSize(2).measure(tree.text());
    ::setrlimit(RLIMIT_NOFILE, &old);
    EXPECT_EQ(narrow.bytes, treeBytes);
    EXPECT_FALSE(narrow.partial());

    for (const TemporaryFolder* folder : { &chain, &tree }) // too deep for the usual removal
        EXPECT_EQ(std::system(("rm -rf -- '" + folder->text() + "'").c_str()), 0);
}

// Writes one line to a file of /proc; false when it cannot.
bool writeProcFile(const char* path, const std::string& line)
{
    const int fd = ::open(path, O_WRONLY | O_CLOEXEC);
    const bool written = fd >= 0 && ::write(fd, line.data(), line.size()) == static_cast<ssize_t>(line.size());
    ::close(fd);
    return written;
}

// Becomes root of a user namespace of its own with a private mount namespace, as "unshare -rm"
// does, so that an unprivileged user may mount. False where the system allows no such namespace.
bool enterOwnMountNamespace()
{
    const uid_t uid = ::getuid();
    const gid_t gid = ::getgid();
    return ::unshare(CLONE_NEWUSER | CLONE_NEWNS) == 0 && writeProcFile("/proc/self/setgroups", "deny")
        && writeProcFile("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1")
        && writeProcFile("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1")
        && ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
}

TEST(LinuxFolderSize, CountsAFolderMountedInsideItselfOnceAndSaysWhatItSkipped)
{
    TemporaryFolder tree;
    writeFile(tree.path() / "f", "hello\n");
    fs::create_directory(tree.path() / "a");
    fs::create_directory(tree.path() / "c");
    const std::string scanned = test::runInChildProcess([&]() -> std::string {
        if (!enterOwnMountNamespace())
            return "no namespace";
        // Three bind mounts of the folder into itself, two of them nested.
        for (const fs::path& inside : { tree.path() / "a", tree.path() / "a" / "a", tree.path() / "c" })
            if (::mount(tree.text().c_str(), inside.c_str(), nullptr, MS_BIND, nullptr) != 0)
                return "no bind mount";
        const FolderSizeResult result = LinuxFolderSize(2).measure(tree.text());
        return std::to_string(result.bytes) + " B, " + std::to_string(result.repeatedFolders) + " skipped, "
            + std::to_string(result.unreadableFolders) + " unreadable";
    });
    if (scanned == "no namespace" || scanned == "no bind mount")
        GTEST_SKIP() << "This system allows no user and mount namespace to mount in (" << scanned << ")";
    EXPECT_EQ(scanned, "6 B, 2 skipped, 0 unreadable");
}

} // namespace
} // namespace korvane
