#include "platform/linux/linux_own_executable.h"
#include "tests/helpers/temporary_folder.h"
#include "tests/platform/linux/posix_test_support.h"

#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

namespace korvane {
namespace {

namespace fs = std::filesystem;

TEST(LinuxOwnExecutable, NamesTheRunningProgramAndItsFolder)
{
    LinuxOwnExecutable executable;
    EXPECT_EQ(executable.name(), "korvane_core_tests");
    const std::filesystem::path folder = executable.folder();
    EXPECT_TRUE(folder.is_absolute());
    EXPECT_TRUE(std::filesystem::exists(folder / "korvane_core_tests"));
}

// The helper korvane_own_name, run from `file` with `firstWord` as its first command-line word.
// It reports the name and folder it knows itself by at start, and again after proceed().
class OwnNameHelper
{
public:
    OwnNameHelper(const fs::path& file, const std::string& firstWord)
    {
        int input[2];
        int output[2];
        ::pipe2(input, O_CLOEXEC);
        ::pipe2(output, O_CLOEXEC);
        posix_spawn_file_actions_t actions;
        ::posix_spawn_file_actions_init(&actions);
        ::posix_spawn_file_actions_adddup2(&actions, input[0], 0);
        ::posix_spawn_file_actions_adddup2(&actions, output[1], 1);
        std::string word = firstWord;
        char* argv[] = { word.data(), nullptr };
        m_started = ::posix_spawn(&m_pid, file.c_str(), &actions, nullptr, argv, environ) == 0;
        ::posix_spawn_file_actions_destroy(&actions);
        ::close(input[0]);
        ::close(output[1]);
        m_input = input[1];
        m_output = ::fdopen(output[0], "r");
    }
    ~OwnNameHelper()
    {
        proceed();
        std::fclose(m_output);
        if (m_started)
            ::waitpid(m_pid, nullptr, 0);
    }
    OwnNameHelper(const OwnNameHelper&) = delete;
    OwnNameHelper& operator=(const OwnNameHelper&) = delete;

    // "<name> in <folder>" as the helper reports it next.
    std::string report()
    {
        const std::string name = line();
        return name + " in " + line();
    }
    void proceed()
    {
        if (m_input >= 0)
            ::close(m_input);
        m_input = -1;
    }

private:
    std::string line()
    {
        char* text = nullptr;
        std::size_t capacity = 0;
        const ssize_t length = ::getline(&text, &capacity, m_output);
        std::string result = length > 0 ? std::string(text, static_cast<std::size_t>(length - 1)) : "(nothing)";
        std::free(text);
        return result;
    }

    pid_t m_pid = -1;
    bool m_started = false;
    int m_input = -1;
    std::FILE* m_output = nullptr;
};

TEST(LinuxOwnExecutable, KeepsItsNameWhenItsFileIsReplacedWhileItRuns)
{
    const test::TemporaryFolder folder;
    const fs::path program = folder.path() / "BTC";
    fs::copy_file(KORVANE_OWN_NAME_PATH, program);
    const std::string expected = "BTC in " + fs::canonical(folder.path()).string();

    OwnNameHelper running(program, program.string());
    EXPECT_EQ(running.report(), expected);
    // An upgrade: the new file is copied beside the old one and renamed over it.
    fs::copy_file(KORVANE_OWN_NAME_PATH, folder.path() / "BTC.new");
    fs::rename(folder.path() / "BTC.new", program);
    running.proceed();
    EXPECT_EQ(running.report(), expected);
}

TEST(LinuxOwnExecutable, ACopyStartedThroughALinkTakesTheLinksNameAndFolder)
{
    const test::TemporaryFolder folder;
    const fs::path target = folder.path() / "QL-KORVANE-V1";
    fs::copy_file(KORVANE_OWN_NAME_PATH, target);
    fs::create_directory(folder.path() / "coins");
    const fs::path link = folder.path() / "coins" / "LTC";
    fs::create_symlink("../QL-KORVANE-V1", link);
    const std::string coins = fs::canonical(folder.path() / "coins").string();
    const std::string programFolder = fs::canonical(folder.path()).string();

    EXPECT_EQ(OwnNameHelper(link, link.string()).report(), "LTC in " + coins);
    {
        test::ScopedEnvironment path("PATH", "/nonexistent-folder:" + coins);
        EXPECT_EQ(OwnNameHelper(link, "LTC").report(), "LTC in " + coins) << "a bare name is found on PATH";
        EXPECT_EQ(OwnNameHelper(link, "BTC").report(), "QL-KORVANE-V1 in " + programFolder)
            << "a first word that names no such file";
    }
    EXPECT_EQ(OwnNameHelper(link, KORVANE_RECORD_ARGS_PATH).report(), "QL-KORVANE-V1 in " + programFolder)
        << "a first word that names another program";
}

} // namespace
} // namespace korvane
