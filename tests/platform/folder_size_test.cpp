#include "platform/services.h"
#include "tests/helpers/temporary_folder.h"

#include <gtest/gtest.h>

namespace korvane {
namespace {

namespace fs = std::filesystem;
using test::TemporaryFolder;
using test::writeFile;

// The operating system's own folder-size service, as the program uses it.
FolderSizeResult measure(const std::string& folder, std::stop_token stop = {})
{
    return createOsServices().folderSize->measure(folder, stop);
}

TEST(FolderSize, AddsUpTheFilesOfAllSubfoldersOfAFolderWithAnyName)
{
    TemporaryFolder temporary;
    const fs::path root = temporary.path() / u8"Blockchain Ü €";
    writeFile(root / "peers.dat", std::string(10, 'p'));
    writeFile(root / "blocks" / "blk00000.dat", std::string(2000, 'b'));
    writeFile(root / "blocks" / "index" / "000001.ldb", std::string(123456, 'i'));
    writeFile(root / "blocks" / "index" / "LOCK", "");
    writeFile(root / u8"chainstate-ÿ" / u8"日本.log", std::string(77, 'c'));
    fs::create_directories(root / "empty" / "deeper");
    for (int folder = 0; folder < 40; ++folder) // enough folders to keep several threads busy
        writeFile(root / "wide" / std::to_string(folder) / "f", std::string(static_cast<std::size_t>(folder), 'w'));

    const FolderSizeResult result = measure(temporary.text(root.filename()));
    ASSERT_TRUE(result.measured()) << result.error;
    EXPECT_EQ(result.bytes, 10u + 2000 + 123456 + 77 + 39 * 40 / 2);
    EXPECT_FALSE(result.partial());
    EXPECT_EQ(measure(temporary.text(root.filename() / "empty")).bytes, 0u);
}

TEST(FolderSize, SaysWhyThereIsNoFolderToMeasure)
{
    TemporaryFolder folder;
    writeFile(folder.path() / "file.txt", "not a folder");
    const std::pair<std::string, FolderSizeOutcome> cases[] = {
        { "", FolderSizeOutcome::NoFolderName },
        { folder.text("missing"), FolderSizeOutcome::NotFound },
        { folder.text("missing/below"), FolderSizeOutcome::NotFound },
        { folder.text("file.txt"), FolderSizeOutcome::NotAFolder },
    };
    for (const auto& [path, outcome] : cases) {
        const FolderSizeResult result = measure(path);
        EXPECT_EQ(result.outcome, outcome) << "'" << path << "': " << result.error;
        EXPECT_FALSE(result.error.empty()) << "'" << path << "'";
        EXPECT_EQ(result.bytes, 0u);
    }
}

TEST(FolderSize, AStoppedScanEndsWithoutATotal)
{
    TemporaryFolder tree;
    for (int folder = 0; folder < 20; ++folder)
        writeFile(tree.path() / std::to_string(folder) / "f", "data");
    std::stop_source stop;
    stop.request_stop();
    EXPECT_EQ(measure(tree.text(), stop.get_token()).outcome, FolderSizeOutcome::Stopped);
}

} // namespace
} // namespace korvane
