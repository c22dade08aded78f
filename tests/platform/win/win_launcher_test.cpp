#include "platform/win/toolhelp_process_table.h"
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
        EXPECT_TRUE(result) << result.error();
        std::string recorded;
        // Under load Wine has once let the file be seen before it could be read.
        EXPECT_TRUE(test::waitUntil([&] {
            recorded = test::readFile(record);
            return recorded.find('\n') != std::string::npos;
        }));
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

// A program that fails at once leaves its words in the error file, and only those; the id given is
// its own.
TEST_F(WinLauncherTest, ErrorFileTakesTheProgramsStandardErrorOnly)
{
    const std::string errors = folder.text("node-errors.txt");
    test::writeFile(folder.path() / "node-errors.txt", "the last start's words");
    SetEnvironmentVariableW(L"KORVANE_RUN", L"Error reading configuration file");
    const LaunchResult result
        = launcher.start(quoted(test::helperProgram()) + " print on-standard-output", { WindowStyle::Hidden, errors });
    SetEnvironmentVariableW(L"KORVANE_RUN", nullptr);
    ASSERT_TRUE(result) << result.error();
    ToolhelpProcessTable table;
    EXPECT_TRUE(test::waitUntil([&] { return !table.isRunning(result.value().processId); }));
    EXPECT_EQ(test::readFile(folder.path() / "node-errors.txt"), "Error reading configuration file");

    const std::string nowhere = folder.text("missing\\errors.txt");
    const LaunchResult refused
        = launcher.start(quoted(test::helperProgram()) + " print", { WindowStyle::Hidden, nowhere });
    EXPECT_NE(refused.error().find(": its error output cannot go to \"" + nowhere + "\": "), std::string::npos)
        << refused.error();
}

TEST_F(WinLauncherTest, AMissingProgramIsReportedWithTheSystemsReason)
{
    const LaunchResult result = launcher.start(R"("C:\no such folder\bitcoind.exe" -daemon=1)", WindowStyle::Hidden);
    EXPECT_FALSE(result);
    EXPECT_EQ(result.error().rfind(R"(Could not start "C:\no such folder\bitcoind.exe": )", 0), 0u) << result.error();
    EXPECT_GT(result.error().size(), std::string_view(R"(Could not start "C:\no such folder\bitcoind.exe": )").size());

    const LaunchResult unquoted = launcher.start("no-such-program.exe -stop", WindowStyle::Hidden);
    EXPECT_EQ(unquoted.error().rfind("Could not start \"no-such-program.exe\": ", 0), 0u) << unquoted.error();
}

TEST_F(WinLauncherTest, ABlankCommandLineStartsNothing)
{
    const LaunchResult result = launcher.start(" \t ", WindowStyle::NormalFocused);
    EXPECT_EQ(result.error(), "Could not start: The command line is empty.");
}

// A line the system would cut is refused with the reason, and nothing runs.
TEST_F(WinLauncherTest, LinesTheSystemWouldCutAreRefused)
{
    const auto record = folder.path() / "record.txt";
    const std::string start = quoted(test::helperProgram()) + " record " + quoted(record);
    const std::string withNul = start + std::string(1, '\0') + " -daemon=1";
    const std::string fits = start + " " + std::string(32766 - start.size() - 1, 'x');
    const struct
    {
        std::string line;
        std::string errorMentions;
    } cases[] = {
        { withNul, "NUL" },
        { fits + "y", "32767 characters; Windows starts a program with at most 32766" },
        { fits + "\xE2\x82\xAC", "32767 characters" }, // one character, three bytes
    };
    for (const auto& testCase : cases) {
        const LaunchResult result = launcher.start(testCase.line, WindowStyle::Hidden);
        EXPECT_FALSE(result);
        EXPECT_NE(result.error().find(testCase.errorMentions), std::string::npos) << result.error();
    }
    Sleep(200);
    EXPECT_FALSE(std::filesystem::exists(record)) << "a cut line was run";

    startRecorder(fits.substr(start.size()), WindowStyle::Hidden); // the longest line is still run whole
}

} // namespace
} // namespace korvane
