#include "platform/linux/atomic_text_file_writer.h"
#include "tests/helpers/temporary_folder.h"
#include "tests/platform/linux/posix_test_support.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace korvane {
namespace {

namespace fs = std::filesystem;
using test::permissionBits;
using test::readFile;
using test::TemporaryFolder;

class AtomicTextFileWriterTest : public ::testing::Test
{
protected:
    bool write(const std::string& text, const std::string& path, FilePermissions permissions = FilePermissions::Default)
    {
        const Result<> written = writer.write(path, text, permissions);
        error = written.error();
        return written.ok();
    }
    bool write(const std::string& text) { return write(text, target); }
    std::size_t filesInFolder() const
    {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder.path()), {}));
    }

    TemporaryFolder folder;
    std::string target = folder.text("BTC-KORVANE-CRYPTO-CONFIG.conf");
    AtomicTextFileWriter writer;
    std::string error;
};

TEST_F(AtomicTextFileWriterTest, ReplacesTheWholeFile)
{
    ASSERT_TRUE(write("server=1\r\nrpcport=8332\r\nlisten=1\r\n")) << error;
    ASSERT_TRUE(write("server=0\r\n")) << error;
    EXPECT_EQ(readFile(target), "server=0\r\n");
    ASSERT_TRUE(write("")) << error;
    EXPECT_EQ(readFile(target), "");
    EXPECT_EQ(filesInFolder(), 1u) << "no temporary file is left behind";
}

TEST_F(AtomicTextFileWriterTest, NewFileFollowsUmaskAndReplacedFileKeepsItsPermissions)
{
    {
        test::ScopedUmask mask(027);
        ASSERT_TRUE(write("a")) << error;
    }
    EXPECT_EQ(permissionBits(target), 0640);

    ::chmod(target.c_str(), 0604);
    ASSERT_TRUE(write("b")) << error;
    EXPECT_EQ(permissionBits(target), 0604);
}

TEST_F(AtomicTextFileWriterTest, OwnerOnlyFileIsReadableByItsOwnerAloneNewOrReplaced)
{
    test::ScopedUmask mask(0);
    ASSERT_TRUE(write("rpcpassword=a\r\n", target, FilePermissions::OwnerOnly)) << error;
    EXPECT_EQ(permissionBits(target), 0600);
    ::chmod(target.c_str(), 0644);
    ASSERT_TRUE(write("rpcpassword=b\r\n", target, FilePermissions::OwnerOnly)) << error;
    EXPECT_EQ(permissionBits(target), 0600);
    EXPECT_EQ(readFile(target), "rpcpassword=b\r\n");
}

TEST_F(AtomicTextFileWriterTest, FailedWriteKeepsTheOldFile)
{
    ASSERT_TRUE(write("rpcuser=alice\r\n")) << error;
    {
        test::ScopedFileSizeLimit limit(16);
        EXPECT_FALSE(write(std::string(1000, 'x')));
    }
    EXPECT_NE(error.find("File too large"), std::string::npos) << error;
    EXPECT_EQ(readFile(target), "rpcuser=alice\r\n");
    EXPECT_EQ(filesInFolder(), 1u) << "the temporary file is removed";
}

TEST_F(AtomicTextFileWriterTest, ReportsTheReasonForUnwritablePaths)
{
    fs::create_directory(folder.path() / "a-folder");
    const struct
    {
        std::string path;
        std::string reason;
    } cases[] = {
        { folder.text("missing-folder/x.conf"), "No such file or directory" },
        { folder.text("a-folder"), "Is a directory" },
        { folder.text("a-folder/"), "Is a directory" },
    };
    for (const auto& testCase : cases) {
        EXPECT_FALSE(write("x", testCase.path)) << testCase.path;
        EXPECT_NE(error.find(testCase.reason), std::string::npos) << testCase.path << ": " << error;
    }
    EXPECT_TRUE(fs::is_directory(folder.path() / "a-folder"));
    EXPECT_TRUE(fs::is_empty(folder.path() / "a-folder"));
}

} // namespace
} // namespace korvane
