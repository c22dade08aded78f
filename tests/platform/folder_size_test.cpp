#include "platform/std_folder_size.h"
#include "tests/helpers/temporary_folder.h"

#include <gtest/gtest.h>

namespace korvane {
namespace {

namespace fs = std::filesystem;
using test::TemporaryFolder;
using test::writeFile;

TEST(StdFolderSize, AddsUpFilesOfAllSubfoldersWithoutFollowingLinks)
{
    TemporaryFolder tree;
    writeFile(tree.path() / "blocks" / "blk00000.dat", std::string(2000, 'b'));
    writeFile(tree.path() / "blocks" / "index" / "000001.ldb", std::string(123456, 'i'));
    writeFile(tree.path() / "blocks" / "index" / "LOCK", "");
    writeFile(tree.path() / "peers.dat", std::string(10, 'p'));
    fs::create_directory(tree.path() / "empty");
    const std::uint64_t expected = 2000 + 123456 + 10;

    // Links to a big file and a folder elsewhere must count as nothing.
    TemporaryFolder elsewhere;
    writeFile(elsewhere.path() / "big.bin", std::string(500000, 'x'));
    std::error_code noLinks;
    fs::create_symlink(elsewhere.path() / "big.bin", tree.path() / "big-link", noLinks);
    if (!noLinks)
        fs::create_directory_symlink(elsewhere.path(), tree.path() / "blocks" / "folder-link", noLinks);

    StdFolderSize folderSize;
    const FolderSizeResult result = folderSize.measure(tree.text());
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(result.bytes, expected);
}

TEST(StdFolderSize, EmptyFolderMeasuresZero)
{
    TemporaryFolder empty;
    StdFolderSize folderSize;
    const FolderSizeResult result = folderSize.measure(empty.text());
    EXPECT_TRUE(result.ok) << result.error;
    EXPECT_EQ(result.bytes, 0u);
}

TEST(StdFolderSize, FailsWithReasonWhenThereIsNoFolder)
{
    TemporaryFolder folder;
    writeFile(folder.path() / "file.txt", "not a folder");
    StdFolderSize folderSize;
    for (const std::string& path : { std::string(), folder.text("missing"), folder.text("file.txt") }) {
        const FolderSizeResult result = folderSize.measure(path);
        EXPECT_FALSE(result.ok) << "'" << path << "'";
        EXPECT_FALSE(result.error.empty()) << "'" << path << "'";
        EXPECT_EQ(result.bytes, 0u);
    }
}

} // namespace
} // namespace korvane
