#include "platform/win/win_text_file_writer.h"
#include "tests/platform/win/win_test_support.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace korvane {
namespace {

class WinTextFileWriterTest : public ::testing::Test
{
protected:
    std::vector<std::string> filesInFolder() const
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder.path()))
            names.push_back(entry.path().filename().string());
        return names;
    }

    test::TemporaryFolder folder;
    const std::filesystem::path conf = folder.path() / "BTC-CRYPTO-CONFIG.conf";
    const std::string confText = folder.text("BTC-CRYPTO-CONFIG.conf");
    // Writes `text` to `path`; why it failed is kept in `error`.
    bool write(const std::string& path, const std::string& text)
    {
        const Result<std::string> written = writer.write(path, text, FilePermissions::Default);
        error = written.error();
        return written.ok();
    }

    WinTextFileWriter writer;
    std::string error;
};

TEST_F(WinTextFileWriterTest, WritesANewFileAndReplacesAnOldOneWhole)
{
    ASSERT_TRUE(write(confText, "server=1\r\nlisten=1\r\nrpcport=8332\r\n")) << error;
    EXPECT_EQ(test::readFile(conf), "server=1\r\nlisten=1\r\nrpcport=8332\r\n");

    ASSERT_TRUE(write(confText, "server=0\r\n")) << error;
    EXPECT_EQ(test::readFile(conf), "server=0\r\n");
    EXPECT_EQ(filesInFolder(), std::vector<std::string> { "BTC-CRYPTO-CONFIG.conf" });
}

TEST_F(WinTextFileWriterTest, TextIsWrittenInTheSystemCodePage)
{
    if (GetACP() != 1252)
        GTEST_SKIP() << "the system code page is " << GetACP() << ", not 1252";
    ASSERT_TRUE(write(confText,
                      "uacomment=Gr\xC3\xBC\xC3\x9F"
                      "e \xE2\x82\xAC\r\n"))
        << error;
    EXPECT_EQ(test::readFile(conf),
              "uacomment=Gr\xFC\xDF"
              "e \x80\r\n");
}

TEST_F(WinTextFileWriterTest, TextTheCodePageCannotHoldIsRefusedAndTheOldFileKept)
{
    if (GetACP() == CP_UTF8)
        GTEST_SKIP() << "the system code page is UTF-8, which holds every character";
    ASSERT_TRUE(write(confText, "server=1\r\n")) << error;

    // CJK ideographs are in no single-byte code page; the Greek omega has a best-fit stand-in in some.
    EXPECT_FALSE(write(confText, "uacomment=\xE6\xBC\xA2\xCE\xA9\r\n"));
    EXPECT_NE(error.find("\"\xE6\xBC\xA2\", which the system code page"), std::string::npos) << error;
    EXPECT_EQ(test::readFile(conf), "server=1\r\n");
    EXPECT_EQ(filesInFolder(), std::vector<std::string> { "BTC-CRYPTO-CONFIG.conf" });
}

TEST_F(WinTextFileWriterTest, AFailedReplaceLeavesNoTemporaryFileBehind)
{
    std::filesystem::create_directory(conf);
    EXPECT_FALSE(write(confText, "server=1\r\n"));
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(std::filesystem::is_directory(conf));
    EXPECT_EQ(filesInFolder(), std::vector<std::string> { "BTC-CRYPTO-CONFIG.conf" });
}

TEST_F(WinTextFileWriterTest, AMissingFolderIsReported)
{
    EXPECT_FALSE(write(folder.text("no such folder/x.conf"), "server=1\r\n"));
    EXPECT_FALSE(error.empty());
}

} // namespace
} // namespace korvane
