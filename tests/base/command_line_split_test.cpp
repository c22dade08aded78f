#include "base/command_line_split.h"

#include <gtest/gtest.h>

namespace korvane {
namespace {

using Arguments = std::vector<std::string>;
using namespace std::string_literals;

struct SplitCase
{
    const char* name;
    std::string line;
    Arguments expected;
};

TEST(CommandLineSplit, SplitsIntoProgramAndArguments)
{
    const SplitCase cases[] = {
        { "single program", "bitcoind", { "bitcoind" } },
        { "blanks separate", "bitcoind -daemon=1 -server", { "bitcoind", "-daemon=1", "-server" } },
        { "runs of blanks and tabs",
          " \t bitcoind  \t-daemon=1\t\t-server \t",
          { "bitcoind", "-daemon=1", "-server" } },
        { "quoted program with blanks",
          "\"/opt/Bitcoin Core/bin/bitcoind\" -daemon=1",
          { "/opt/Bitcoin Core/bin/bitcoind", "-daemon=1" } },
        { "quoted run inside a word", "bitcoind -conf=\"/a b/c.conf\"", { "bitcoind", "-conf=/a b/c.conf" } },
        { "empty quotes end a word", "bitcoind -datadir=\"\"", { "bitcoind", "-datadir=" } },
        { "lone quotes are an empty argument", "bitcoind \"\" -x", { "bitcoind", "", "-x" } },
        { "empty program", "\"\"", { "" } },
        { "quotes join with neighbours", "a\"b c\"d\"\"e", { "ab cde" } },
        { "tab inside quotes is kept", "p \"a\tb\"", { "p", "a\tb" } },
        { "backslash is ordinary",
          "C:\\node\\bitcoind.exe -datadir=C:\\data\\",
          { "C:\\node\\bitcoind.exe", "-datadir=C:\\data\\" } },
        { "backslash before a quote escapes it",
          R"(p "/my \"node\" dir" a\"b)",
          { "p", R"(/my "node" dir)", R"(a"b)" } },
        { "backslashes before a quote are halved",
          R"(p "E:\\" "F:\\\"" x\\\\)",
          { "p", R"(E:\)", R"(F:\")", R"(x\\\\)" } },
    };
    for (const SplitCase& testCase : cases) {
        const SplitCommandLine split = splitCommandLine(testCase.line);
        ASSERT_TRUE(split) << testCase.name << ": " << split.error();
        EXPECT_EQ(split.value(), testCase.expected) << testCase.name;
    }
}

TEST(CommandLineSplit, RefusesLinesThatCannotBeRun)
{
    const struct
    {
        const char* name;
        std::string line;
        const char* errorMentions;
    } cases[] = {
        { "nothing", "", "empty" },
        { "only blanks", " \t  ", "empty" },
        { "unclosed quote", "\"/opt/Bitcoin Core/bitcoind -daemon=1", "quote" },
        { "odd quote inside a word", "bitcoind -conf=\"/a b/c.conf", "quote" },
        { "three quotes", "\"a\" \"", "quote" },
        { "NUL inside", "bitcoind -conf=\"a\0b\""s, "NUL" },
    };
    for (const auto& testCase : cases) {
        const SplitCommandLine split = splitCommandLine(testCase.line);
        EXPECT_FALSE(split) << testCase.name;
        EXPECT_NE(split.error().find(testCase.errorMentions), std::string::npos)
            << testCase.name << ": " << split.error();
    }
}

} // namespace
} // namespace korvane
