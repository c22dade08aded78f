#include "platform/linux/linux_folder_size.h"
#include "tests/helpers/temporary_folder.h"
#include "tests/platform/linux/posix_test_support.h"

#include <gtest/gtest.h>

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

} // namespace
} // namespace korvane
