#include "platform/win/win_launcher.h"
#include "platform/win/win_own_executable.h"
#include "platform/win/win_text.h"
#include "tests/platform/win/win_test_support.h"

#include <gtest/gtest.h>

namespace korvane {
namespace {

// Runs a copy of the helper program under `fileName`; returns what it reports of its own executable.
std::pair<std::string, std::filesystem::path> ownExecutableOfCopy(const test::TemporaryFolder& folder,
                                                                  const std::string& fileName)
{
    const auto copy = test::copyHelper(folder.path(), fileName);
    const auto report = folder.path() / "own-executable.txt";
    std::filesystem::remove(report);
    const auto started
        = WinLauncher().start(test::quoted(copy) + " own-executable " + test::quoted(report), WindowStyle::Hidden);
    EXPECT_TRUE(started) << started.error();
    EXPECT_TRUE(test::waitUntil([&] { return std::filesystem::exists(report); }));
    const std::string content = test::readFile(report);
    const auto lineBreak = content.find('\n');
    return { content.substr(0, lineBreak), std::filesystem::path(win::toWide(content.substr(lineBreak + 1))) };
}

TEST(WinOwnExecutableTest, NameIsTheFileNameOfTheCopyWithoutExeAndFolderIsWhereItLies)
{
    const test::TemporaryFolder folder;

    const auto [name, location] = ownExecutableOfCopy(folder, "BTC.main.EXE");
    EXPECT_EQ(name, "BTC.main");
    EXPECT_TRUE(std::filesystem::equivalent(location, folder.path()));

    EXPECT_EQ(ownExecutableOfCopy(folder,
                                  "Litecoin Node Gr\xC3\xBC\xC3\x9F"
                                  "e.exe")
                  .first,
              "Litecoin Node Gr\xC3\xBC\xC3\x9F"
              "e");
}

TEST(WinOwnExecutableTest, FolderHasNoTrailingSeparator)
{
    const std::string folder = WinOwnExecutable().folder();
    ASSERT_FALSE(folder.empty());
    EXPECT_NE(folder.back(), '\\');
}

} // namespace
} // namespace korvane
