#include "platform/linux/linux_process_table.h"
#include "tests/platform/linux/posix_test_support.h"
#include "tests/processes/helper_programs.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

namespace korvane {
namespace {

using test::ChildProcess;
using test::uniqueName;

std::string upper(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::toupper(c); });
    return text;
}

std::string lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

using Found = std::vector<bool>;

// Whether some process answers to each name asked; none when the query failed.
Found found(const ProcessQuery& query)
{
    Found answers;
    if (query.ok()) {
        for (const auto& ids : query.value())
            answers.push_back(!ids.empty());
    }
    return answers;
}

class LinuxProcessTableTest : public ::testing::Test
{
protected:
    Found running(const std::vector<std::string>& names)
    {
        const auto query = table.queryRunning(names);
        EXPECT_TRUE(query) << query.error();
        return query.ok() ? found(query) : Found(names.size(), false);
    }
    bool running(const std::string& name) { return running(std::vector { name }).at(0); }

    LinuxProcessTable table;
    test::HelperPrograms programs;
};

// Each process of the name is found by its id; one that ended counts as ended by id too, also as a
// zombie not yet reaped.
TEST_F(LinuxProcessTableTest, ProcessIsRunningUntilItEndsAndNotAsAZombie)
{
    const std::string name = uniqueName("noded");
    const auto program = programs.program(name);
    ChildProcess child(program);
    ChildProcess second(program);
    const auto query = table.queryRunning({ name });
    ASSERT_TRUE(query) << query.error();
    EXPECT_EQ(query.value(), (std::vector<std::vector<ProcessId>> { { child.pid(), second.pid() } }));
    EXPECT_TRUE(table.isRunning(child.pid()));

    child.killToZombie();
    EXPECT_EQ(table.queryRunning({ name }).value(), (std::vector<std::vector<ProcessId>> { { second.pid() } }));
    EXPECT_FALSE(table.isRunning(child.pid()));
    EXPECT_TRUE(child.reapKilled());
    EXPECT_FALSE(table.isRunning(child.pid()));
    for (const ProcessId impossible : { ProcessId { 0 }, ProcessId { -1 }, ProcessId { 1 } << 40 })
        EXPECT_FALSE(table.isRunning(impossible)) << impossible;
}

// Another user's process is running while it exists, though its files are closed to this user.
TEST_F(LinuxProcessTableTest, AnotherUsersProcessIsRunning)
{
    const pid_t testProcess = ::getpid();
    const std::string seen = test::runInChildProcess([testProcess]() -> std::string {
        if (::geteuid() != 0)
            return LinuxProcessTable().isRunning(1) ? "running" : "ended";
        if (::setgid(65534) != 0 || ::setuid(65534) != 0)
            return "no other user";
        return LinuxProcessTable().isRunning(testProcess) ? "running" : "ended";
    });
    EXPECT_EQ(seen, "running");
}

TEST_F(LinuxProcessTableTest, KernelThreadIsNotARunningProgram)
{
    std::ifstream kernelThreadName("/proc/2/comm");
    std::string name;
    if (!std::getline(kernelThreadName, name) || name != "kthreadd")
        GTEST_SKIP() << "kernel threads are not visible here";
    EXPECT_FALSE(running(name));
}

TEST_F(LinuxProcessTableTest, NamesMatchWholeAndWithoutRegardToCase)
{
    const std::string name = uniqueName("Walletd.EXE-");
    ChildProcess child(programs.program(name));
    EXPECT_EQ(running({ upper(name), lower(name), name.substr(0, name.size() - 1), name + "x", "walletd", "" }),
              (Found { true, true, false, false, false, false }));
}

TEST_F(LinuxProcessTableTest, NamesLongerThanTheKernelCommandNameMatchOnlyInFull)
{
    const std::string name = uniqueName("long-daemon-", 20);
    ChildProcess child(programs.program(name));
    EXPECT_EQ(running({ name, upper(name), name.substr(0, 15), name.substr(0, 19), name + "d" }),
              (Found { true, true, false, false, false }));
}

TEST_F(LinuxProcessTableTest, ProgramStartedThroughALinkMatchesBothNames)
{
    const std::string real = uniqueName("real-");
    const std::string alias = uniqueName("alias-to-the-real-one-");
    const auto program = programs.program(real);
    ChildProcess child(programs.link(alias, program));
    EXPECT_EQ(running({ real, alias, alias.substr(0, 15) }), (Found { true, true, false }));
}

TEST_F(LinuxProcessTableTest, ShebangScriptIsNamedByItsInterpreter)
{
    const std::string interpreterName = uniqueName("interp-");
    const auto interpreter = programs.program(interpreterName);
    const std::string scriptName = uniqueName("job-");
    ChildProcess script(programs.script(scriptName, interpreter));
    EXPECT_EQ(running({ interpreterName, scriptName }), (Found { true, false }));
}

// Only the executable names a process: a program that gave itself a watched command name, and one
// whose executable's name begins like a watched name and whose argument ends in it, are neither
// found nor ended. A program started through a link under another name is both.
TEST_F(LinuxProcessTableTest, ImpostorsAreNeitherFoundNorEndedWhileALinkedProgramIsBoth)
{
    const std::string renamedTo = uniqueName("btcd");
    ChildProcess renamer(programs.program(uniqueName("renamerprog-")), {}, { "KORVANE_SLEEPER_RENAME=" + renamedTo });
    const std::string longNode = uniqueName("fakenode-long-daemon-", 24);
    ChildProcess tool(programs.program(longNode + "-tool"), { "/srv/" + longNode });
    const std::string alias = uniqueName("alias-");
    ChildProcess linked(programs.link(alias, programs.program(uniqueName("aliased-"))));

    EXPECT_EQ(running({ renamedTo, longNode, alias }), (Found { false, false, true }));
    EXPECT_EQ(table.terminateAll(renamedTo).killed, 0);
    EXPECT_EQ(table.terminateAll(longNode).killed, 0);
    EXPECT_EQ(table.terminateAll(alias).killed, 1);
    EXPECT_TRUE(renamer.alive());
    EXPECT_TRUE(tool.alive());
    EXPECT_TRUE(linked.reapKilled());
}

// A program of this user that hides its executable link (not dumpable) cannot be told from a node
// by its first word, which it chose: it is neither found nor ended by that word. As root, which
// reads every link, both the program and the table run as "nobody".
TEST_F(LinuxProcessTableTest, ThisUsersProgramWithAHiddenExecutableIsNeitherFoundNorEnded)
{
    const std::string daemon = uniqueName("hiddend-");
    const std::string nobody = "65534";
    std::vector<std::string> environment { "KORVANE_SLEEPER_UNDUMPABLE=1" };
    if (::geteuid() == 0)
        environment.push_back("KORVANE_SLEEPER_USER=" + nobody);
    ChildProcess impostor(programs.program(uniqueName("impostor-")), {}, environment, daemon);

    const std::string seen = test::runInChildProcess([&]() -> std::string {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            return "no other user";
        LinuxProcessTable asTheSameUser;
        const auto query = asTheSameUser.queryRunning({ daemon });
        const TerminateResult ended = asTheSameUser.terminateAll(daemon);
        return std::string(found(query) == Found { false } ? "not found" : "found") + ", "
            + std::to_string(ended.killed) + " killed, " + std::to_string(ended.refusals.size()) + " refused";
    });
    EXPECT_EQ(seen, "not found, 0 killed, 0 refused");
    EXPECT_TRUE(impostor.alive());
}

TEST_F(LinuxProcessTableTest, ReplacedOrDeletedExecutableStillMatches)
{
    const std::string name = uniqueName("upgraded-");
    const auto program = programs.program(name);
    ChildProcess child(program);
    std::filesystem::remove(program);
    EXPECT_TRUE(running(name));
}

TEST_F(LinuxProcessTableTest, QuotesAndWildcardsAreOrdinaryCharacters)
{
    const std::string name = uniqueName("it's*[a]%_?");
    ChildProcess child(programs.program(name));
    EXPECT_EQ(running({ name, "*", "%", "it's*", "'", "' OR '1'='1" }),
              (Found { true, false, false, false, false, false }));
}

TEST_F(LinuxProcessTableTest, TerminateEndsEveryProcessOfTheNameAndNoOther)
{
    const std::string name = uniqueName("victim-");
    const auto program = programs.program(name);
    std::string nearName = name;
    nearName.back() = nearName.back() == '0' ? '1' : '0';
    ChildProcess first(program), second(program), third(program);
    ChildProcess survivor(programs.program(nearName));

    const auto result = table.terminateAll(upper(name));
    EXPECT_EQ(result.killed, 3);
    EXPECT_TRUE(result.refusals.empty());
    EXPECT_TRUE(first.reapKilled());
    EXPECT_TRUE(second.reapKilled());
    EXPECT_TRUE(third.reapKilled());
    EXPECT_TRUE(survivor.alive());
}

TEST_F(LinuxProcessTableTest, TerminateWithoutAMatchDoesNothing)
{
    ChildProcess child(programs.program(uniqueName("bystander-")));
    EXPECT_EQ(table.terminateAll("").killed, 0);
    EXPECT_EQ(table.terminateAll(uniqueName("bystander-").substr(1)).killed, 0);
    EXPECT_TRUE(table.terminateAll(uniqueName("nobody-")).refusals.empty());
    EXPECT_TRUE(child.alive());
}

// Another user cannot read this user's executable links: it sees the processes by their first
// command-line words, also one that renamed itself, and may not end them: the refusal comes back
// with its reason.
TEST_F(LinuxProcessTableTest, OtherUsersProcessIsFoundButItsKillIsRefused)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to act as another user";
    const std::string name = uniqueName("guarded-");
    const std::string longName = uniqueName("guarded-long-name-", 21);
    ChildProcess child(programs.program(name), {}, { "KORVANE_SLEEPER_RENAME=renamed" });
    ChildProcess longChild(programs.program(longName));

    int pipeEnds[2];
    ASSERT_EQ(::pipe(pipeEnds), 0);
    const pid_t otherUser = ::fork();
    if (otherUser == 0) {
        int foundAll = 0;
        int refused = 0;
        if (::setgid(65534) == 0 && ::setuid(65534) == 0) {
            const auto query = table.queryRunning({ name, longName, longName.substr(0, 15) });
            foundAll = found(query) == Found { true, true, false } ? 1 : 0;
            const auto result = table.terminateAll(name);
            refused = result.killed == 0 && result.refusals.size() == 1
                    && result.refusals[0].find("Operation not permitted") != std::string::npos
                ? 1
                : 0;
        }
        const char answer[2] = { static_cast<char>('0' + foundAll), static_cast<char>('0' + refused) };
        (void)!::write(pipeEnds[1], answer, sizeof answer);
        ::_exit(0);
    }
    ::close(pipeEnds[1]);
    char answer[2] = {};
    EXPECT_EQ(::read(pipeEnds[0], answer, sizeof answer), 2);
    ::close(pipeEnds[0]);
    ::waitpid(otherUser, nullptr, 0);
    EXPECT_EQ(answer[0], '1') << "found by another user";
    EXPECT_EQ(answer[1], '1') << "kill refused with its reason";
    EXPECT_TRUE(child.alive());
}

} // namespace
} // namespace korvane
