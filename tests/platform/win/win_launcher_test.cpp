#include "platform/win/win_launcher.h"
#include "tests/platform/win/win_test_support.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace korvane {
namespace {

using test::quoted;

class WinLauncherTest : public ::testing::Test
{
protected:
    // Starts the helper with `arguments` after its record command; returns what it recorded:
    // its command line, a line break, and its window style.
    std::string startRecorder(const std::string& arguments, WindowStyle style)
    {
        const auto record = folder.path() / "record.txt";
        std::filesystem::remove(record);
        const std::string commandLine = quoted(test::helperProgram()) + " record " + quoted(record) + arguments;
        const LaunchResult result = launcher.start(commandLine, style);
        EXPECT_TRUE(result.started) << result.error;
        EXPECT_TRUE(test::waitUntil([&] { return std::filesystem::exists(record); }));
        const std::string recorded = test::readFile(record);
        const auto lineBreak = recorded.find('\n');
        EXPECT_EQ(recorded.substr(0, lineBreak), commandLine);
        return recorded.substr(lineBreak + 1);
    }

    test::TemporaryFolder folder;
    WinLauncher launcher;
};

TEST_F(WinLauncherTest, TheProgramReceivesExactlyTheCommandLineGiven)
{
    startRecorder(R"(  -datadir="C:\Node Data\btc"  -rpcuser=a"b "" \"quoted\" tail\ )", WindowStyle::Hidden);
    startRecorder(" -wallet=Gr\xC3\xBC\xC3\x9F"
                  "e \xE6\xBC\xA2\t-x",
                  WindowStyle::Hidden);
}

TEST_F(WinLauncherTest, HiddenProgramsStartWithoutAWindowAndTheWalletShownNormally)
{
    EXPECT_EQ(startRecorder("", WindowStyle::Hidden), std::to_string(SW_HIDE));
    EXPECT_EQ(startRecorder("", WindowStyle::NormalFocused), std::to_string(SW_SHOWNORMAL));
}

TEST_F(WinLauncherTest, AMissingProgramIsReportedWithTheSystemsReason)
{
    const LaunchResult result = launcher.start(R"("C:\no such folder\bitcoind.exe" -daemon=1)", WindowStyle::Hidden);
    EXPECT_FALSE(result.started);
    EXPECT_EQ(result.program, R"(C:\no such folder\bitcoind.exe)");
    EXPECT_FALSE(result.error.empty());

    const LaunchResult unquoted = launcher.start("no-such-program.exe -stop", WindowStyle::Hidden);
    EXPECT_FALSE(unquoted.started);
    EXPECT_EQ(unquoted.program, "no-such-program.exe");
}

TEST_F(WinLauncherTest, ABlankCommandLineStartsNothing)
{
    const LaunchResult result = launcher.start(" \t ", WindowStyle::NormalFocused);
    EXPECT_FALSE(result.started);
    EXPECT_EQ(result.program, "");
    EXPECT_EQ(result.error, "The command line is empty.");
}

} // namespace
} // namespace korvane
