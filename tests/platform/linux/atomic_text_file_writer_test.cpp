#include "platform/linux/atomic_text_file_writer.h"
#include "tests/helpers/temporary_folder.h"
#include "tests/platform/linux/posix_test_support.h"

#include <gtest/gtest.h>
#include <pwd.h>
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
        const Result<std::string> written = writer.write(path, text, permissions);
        error = written.error();
        note = written ? written.value() : std::string();
        return written.ok();
    }
    bool write(const std::string& text) { return write(text, target); }
    bool writeOwnerOnly(const std::string& path, const std::string& text)
    {
        return write(text, path, FilePermissions::OwnerOnly);
    }
    std::size_t filesInFolder(const fs::path& path) const
    {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(path), {}));
    }
    std::size_t filesInFolder() const { return filesInFolder(folder.path()); }

    TemporaryFolder folder;
    std::string target = folder.text("BTC-KORVANE-CRYPTO-CONFIG.conf");
    AtomicTextFileWriter writer;
    std::string error;
    std::string note; // what the last write said it did
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

// A conf linked to the node's own: the link stays, its target is replaced in the target's folder.
TEST_F(AtomicTextFileWriterTest, ThroughASymbolicLinkItsTargetIsReplacedOwnerOnly)
{
    const fs::path nodeConf = folder.path() / "node" / "bitcoin.conf";
    test::writeFile(nodeConf, "rpcpassword=old\r\n");
    ::chmod(nodeConf.c_str(), 0644);
    fs::create_symlink("node/bitcoin.conf", target);

    ASSERT_TRUE(writeOwnerOnly(target, "rpcpassword=new\r\n")) << error;
    EXPECT_TRUE(fs::is_symlink(target));
    EXPECT_EQ(readFile(nodeConf), "rpcpassword=new\r\n");
    EXPECT_EQ(permissionBits(nodeConf), 0600);
    EXPECT_EQ(note, "");
    EXPECT_EQ(filesInFolder(nodeConf.parent_path()), 1u);
    EXPECT_EQ(filesInFolder(), 2u) << "the link and the node's folder";
}

// A file with other names stays one file, longer or shorter, and the writer says so.
TEST_F(AtomicTextFileWriterTest, AFileWithOtherNamesIsWrittenInPlaceAndSaysSo)
{
    const std::string otherName = folder.text("bitcoin.conf");
    test::writeFile(target, "rpcpassword=old\r\n");
    ::chmod(target.c_str(), 0644);
    fs::create_hard_link(target, otherName);

    for (const std::string text : { "rpcpassword=much longer than before\r\nserver=1\r\n", "server=0\r\n" }) {
        ASSERT_TRUE(writeOwnerOnly(target, text)) << error;
        EXPECT_EQ(readFile(otherName), text);
        EXPECT_EQ(readFile(target), text);
    }
    EXPECT_EQ(fs::hard_link_count(target), 2u);
    EXPECT_EQ(permissionBits(otherName), 0600);
    EXPECT_EQ(note, target + " was written in place to keep its 2 names (hard links) one file");
    EXPECT_EQ(filesInFolder(), 2u) << "the copy written first is removed";

    {
        test::ScopedFileSizeLimit limit(16);
        EXPECT_FALSE(writeOwnerOnly(target, std::string(1000, 'x')));
    }
    EXPECT_NE(error.find("File too large"), std::string::npos) << error;
    EXPECT_EQ(readFile(otherName), "server=0\r\n");
    EXPECT_EQ(filesInFolder(), 2u);
}

// Saved by root, a user's file stays the user's; a user who cannot give a file back to its owner
// leaves it alone and names the owner.
TEST_F(AtomicTextFileWriterTest, AReplacedFileKeepsItsOwnerOrIsLeftAlone)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "giving a file to another user needs root";
    const passwd* nobody = ::getpwnam("nobody");
    ASSERT_NE(nobody, nullptr);
    test::writeFile(target, "rpcpassword=old\r\n");
    ASSERT_EQ(::chown(target.c_str(), nobody->pw_uid, nobody->pw_gid), 0);

    ASSERT_TRUE(writeOwnerOnly(target, "rpcpassword=new\r\n")) << error;
    struct stat info = {};
    ASSERT_EQ(::stat(target.c_str(), &info), 0);
    EXPECT_EQ(info.st_uid, nobody->pw_uid);
    EXPECT_EQ(info.st_gid, nobody->pw_gid);
    EXPECT_EQ(info.st_mode & 07777, 0600u);

    const std::string rootsFile = folder.text("root.conf");
    test::writeFile(rootsFile, "rpcuser=root\r\n");
    ::chmod(folder.path().c_str(), 0777);
    const TemporaryFolder nothingToGive;
    const std::string outcome = test::runUnprivileged(nothingToGive.path(), [&] {
        return writeOwnerOnly(rootsFile, "rpcuser=nobody\r\n") ? std::string("replaced") : error;
    });
    EXPECT_NE(
        outcome.find("Cannot keep the owner of " + rootsFile + " (user root, group root): Operation not permitted"),
        std::string::npos)
        << outcome;
    EXPECT_EQ(readFile(rootsFile), "rpcuser=root\r\n");
    EXPECT_EQ(filesInFolder(), 2u);
}

} // namespace
} // namespace korvane
