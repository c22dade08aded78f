#include "platform/linux/linux_launcher.h"
#include "platform/linux/linux_process_table.h"
#include "tests/helpers/temporary_folder.h"
#include "tests/platform/linux/posix_test_support.h"

#include <chrono>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <sstream>
#include <thread>
#include <unistd.h>

namespace korvane {
namespace {

namespace fs = std::filesystem;
using test::ScopedEnvironment;
using test::TemporaryFolder;

// What the helper program korvane_record_args wrote about how it was started.
struct Record
{
    std::map<std::string, std::string> facts; // session, terminal, stdin, stdout, stderr
    std::vector<std::string> arguments;
};

std::optional<Record> waitForRecord(const fs::path& file)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!fs::exists(file)) {
        if (std::chrono::steady_clock::now() > deadline)
            return std::nullopt;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    Record record;
    std::ifstream in(file);
    for (std::string line; std::getline(in, line);) {
        const auto equals = line.find('=');
        if (line.starts_with("arg="))
            record.arguments.push_back(line.substr(equals + 1));
        else
            record.facts[line.substr(0, equals)] = line.substr(equals + 1);
    }
    return record;
}

std::string ownStreamTarget(int fd)
{
    return fs::read_symlink("/proc/self/fd/" + std::to_string(fd)).string();
}

// Children of this process that are zombies or are the started program itself (a launcher that
// does not detach leaves one or the other behind).
std::string leftoverChildren()
{
    std::string leftovers;
    for (const auto& entry : fs::directory_iterator("/proc")) {
        std::ifstream statFile(entry.path() / "stat");
        std::string stat;
        if (!std::getline(statFile, stat) || stat.rfind(')') == std::string::npos)
            continue;
        // "<pid> (<name>) <state> <ppid> ..."
        std::istringstream afterName(stat.substr(stat.rfind(')') + 1));
        char state = 0;
        pid_t parent = 0;
        afterName >> state >> parent;
        const std::string name = stat.substr(stat.find('(') + 1, stat.rfind(')') - stat.find('(') - 1);
        if (parent == ::getpid() && (state == 'Z' || name.starts_with("korvane_record")))
            leftovers += entry.path().filename().string() + " (" + name + ") " + state + "\n";
    }
    return leftovers;
}

class LinuxLauncherTest : public ::testing::Test
{
protected:
    fs::path recordFile() const { return folder.path() / "record.txt"; }

    TemporaryFolder folder;
    ScopedEnvironment recordTarget { "KORVANE_RECORD_FILE", folder.text("record.txt") };
    LinuxLauncher launcher;
};

TEST_F(LinuxLauncherTest, QuotedCommandLineArrivesAsExactArguments)
{
    // A program folder with a blank in its name, as "C:\Program Files" has.
    const fs::path program = folder.path() / "node programs" / "record args";
    fs::create_directories(program.parent_path());
    fs::copy_file(KORVANE_RECORD_ARGS_PATH, program);

    const std::string line
        = "\"" + program.string() + "\" -conf=\"/a b/c.conf\"  -daemon=1\t\"two words\" -datadir=\"\" \"\" back\\slash";
    const LaunchResult result = launcher.start(line, WindowStyle::Hidden);
    ASSERT_TRUE(result) << result.error();
    EXPECT_EQ(result.value().program, program.string());

    auto record = waitForRecord(recordFile());
    ASSERT_TRUE(record) << "the program did not run";
    EXPECT_EQ(
        record->arguments,
        (std::vector<std::string> { "-conf=/a b/c.conf", "-daemon=1", "two words", "-datadir=", "", "back\\slash" }));
}

TEST_F(LinuxLauncherTest, HiddenProgramRunsDetachedWithNullStreams)
{
    const LaunchResult result = launcher.start(KORVANE_RECORD_ARGS_PATH, WindowStyle::Hidden);
    ASSERT_TRUE(result) << result.error();
    EXPECT_EQ(leftoverChildren(), "");

    auto record = waitForRecord(recordFile());
    ASSERT_TRUE(record) << "the program did not run";
    EXPECT_EQ(record->facts["pid"], std::to_string(result.value().processId)) << "the program's own id";
    EXPECT_NE(record->facts["session"], std::to_string(::getsid(0)));
    EXPECT_EQ(record->facts["terminal"], "0");
    EXPECT_EQ(record->facts["stdin"], "/dev/null");
    EXPECT_EQ(record->facts["stdout"], "/dev/null");
    EXPECT_EQ(record->facts["stderr"], "/dev/null");

    // Once the program has exited it must not linger as our zombie either.
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(leftoverChildren(), "");
}

TEST_F(LinuxLauncherTest, NormalProgramKeepsStandardStreamsInItsOwnSession)
{
    const LaunchResult result = launcher.start(KORVANE_RECORD_ARGS_PATH, WindowStyle::NormalFocused);
    ASSERT_TRUE(result) << result.error();

    auto record = waitForRecord(recordFile());
    ASSERT_TRUE(record) << "the program did not run";
    EXPECT_NE(record->facts["session"], std::to_string(::getsid(0)));
    EXPECT_EQ(record->facts["stdout"], ownStreamTarget(1));
    EXPECT_EQ(record->facts["stderr"], ownStreamTarget(2));
}

// A program that fails at once leaves its words in the error file, which holds nothing else and is
// this user's alone; its standard output goes nowhere.
TEST_F(LinuxLauncherTest, ErrorFileTakesTheProgramsStandardErrorOnly)
{
    const std::string errors = folder.text("node-errors.txt");
    test::writeFile(errors, "the last start's words\n");
    const LaunchOptions options { WindowStyle::Hidden, errors };
    const LaunchResult failing
        = launcher.start("sh -c \"echo out; echo Error reading configuration file >&2; exit 3\"", options);
    ASSERT_TRUE(failing) << failing.error();
    LinuxProcessTable table;
    const auto waitedUntilEnded = [&table](ProcessId id) {
        for (int tries = 0; tries < 500 && table.isRunning(id); ++tries)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return !table.isRunning(id);
    };
    EXPECT_TRUE(waitedUntilEnded(failing.value().processId));
    EXPECT_EQ(test::readFile(errors), "Error reading configuration file\n");
    EXPECT_EQ(test::permissionBits(errors), 0600);

    const LaunchResult recorded = launcher.start(KORVANE_RECORD_ARGS_PATH, { WindowStyle::NormalFocused, errors });
    ASSERT_TRUE(recorded) << recorded.error();
    auto record = waitForRecord(recordFile());
    ASSERT_TRUE(record) << "the program did not run";
    EXPECT_EQ(record->facts["pid"], std::to_string(recorded.value().processId));
    EXPECT_EQ(record->facts["stdin"], "/dev/null");
    EXPECT_EQ(record->facts["stdout"], "/dev/null");
    EXPECT_EQ(record->facts["stderr"], errors);

    const LaunchResult nowhere
        = launcher.start(KORVANE_RECORD_ARGS_PATH, { WindowStyle::Hidden, folder.text("missing/errors.txt") });
    EXPECT_EQ(nowhere.error(),
              "Could not start \"" KORVANE_RECORD_ARGS_PATH "\": its error output cannot go to \""
                  + folder.text("missing/errors.txt") + "\": No such file or directory");
}

TEST_F(LinuxLauncherTest, FindsProgramWithoutFolderOnPath)
{
    const fs::path helper = KORVANE_RECORD_ARGS_PATH;
    const char* oldPath = std::getenv("PATH");
    ScopedEnvironment path("PATH",
                           "/nonexistent-folder:" + helper.parent_path().string() + ":" + (oldPath ? oldPath : ""));

    const LaunchResult result = launcher.start(helper.filename().string() + " found", WindowStyle::Hidden);
    ASSERT_TRUE(result) << result.error();
    EXPECT_EQ(result.value().program, helper.filename().string());
    auto record = waitForRecord(recordFile());
    ASSERT_TRUE(record) << "the program did not run";
    EXPECT_EQ(record->arguments, std::vector<std::string> { "found" });
}

TEST_F(LinuxLauncherTest, ReportsWhyAProgramCannotStart)
{
    test::writeFile(folder.path() / "not-executable", "#!/bin/sh\n");
    fs::create_directory(folder.path() / "a-folder");
    ScopedEnvironment path("PATH", "/usr/bin:/bin");
    const struct
    {
        std::string line;
        std::string message;
    } cases[] = {
        { "korvane-no-such-daemon -daemon=1", "Could not start \"korvane-no-such-daemon\": No such file or directory" },
        { "\"" + folder.text("missing/bitcoind") + "\" -daemon",
          "Could not start \"" + folder.text("missing/bitcoind") + "\": No such file or directory" },
        { folder.text("not-executable"),
          "Could not start \"" + folder.text("not-executable") + "\": Permission denied" },
        { folder.text("a-folder"), "Could not start \"" + folder.text("a-folder") + "\": Permission denied" },
        { "\"\" -daemon=1", "Could not start: No such file or directory" },
    };
    for (const auto& testCase : cases) {
        const LaunchResult result = launcher.start(testCase.line, WindowStyle::Hidden);
        EXPECT_FALSE(result) << testCase.line;
        EXPECT_EQ(result.error(), testCase.message) << testCase.line;
    }
    EXPECT_EQ(leftoverChildren(), "");
}

TEST_F(LinuxLauncherTest, PathSearchReportsAProgramItFoundButCouldNotRun)
{
    test::writeFile(folder.path() / "korvane-daemon", "#!/bin/sh\n");
    ScopedEnvironment path("PATH", folder.text() + ":/nonexistent-folder");
    const LaunchResult result = launcher.start("korvane-daemon -daemon=1", WindowStyle::Hidden);
    EXPECT_EQ(result.error(), "Could not start \"korvane-daemon\": Permission denied");
}

// Nothing is started from a line the system would cut or refuse: the user is told why instead.
TEST_F(LinuxLauncherTest, RefusesLinesThatCannotBeRunWhole)
{
    const std::string program = KORVANE_RECORD_ARGS_PATH;
    const std::string longArgument(131072, 'x');
    std::string manyArguments = program;
    for (int i = 0; i < 64; ++i)
        manyArguments += " " + std::string(100000, 'y');
    const struct
    {
        std::string line;
        std::string errorMentions;
    } cases[] = {
        { "", "empty" },
        { "   ", "empty" },
        { "\"/opt/Bitcoin Core/bitcoind -daemon", "quote" },
        { program + " -conf=a" + std::string(1, '\0') + " -daemon=1", "NUL" },
        { program + " " + longArgument, "argument 1 has 131072 bytes, at most 131071" },
        { manyArguments, "longer than Linux starts a program with" },
    };
    for (const auto& testCase : cases) {
        const LaunchResult result = launcher.start(testCase.line, WindowStyle::Hidden);
        EXPECT_FALSE(result) << testCase.line.substr(0, 80);
        EXPECT_NE(result.error().find(testCase.errorMentions), std::string::npos) << result.error();
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_FALSE(fs::exists(recordFile())) << "a cut line was run";
}

} // namespace
} // namespace korvane
