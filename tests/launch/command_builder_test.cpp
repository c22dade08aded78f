#include "base/command_line_split.h"
#include "launch/command_builder.h"
#include "launch/option_pair.h"

#include <gtest/gtest.h>

namespace korvane {
namespace {

NodeProgramFields windowsUseValues()
{
    const NodeConventions& onWindows = windowsNodeConventions();
    return { "D:\\BTC",
             std::string(onWindows.useQtFolder),
             std::string(onWindows.useQtFile),
             std::string(onWindows.useDaemonCliFolder),
             std::string(onWindows.useDaemonFile),
             std::string(onWindows.useCliFile) };
}

NodeProgramFields linuxUseValues()
{
    const NodeConventions& onLinux = linuxNodeConventions();
    return { "/srv/btc",
             std::string(onLinux.useQtFolder),
             std::string(onLinux.useQtFile),
             std::string(onLinux.useDaemonCliFolder),
             std::string(onLinux.useDaemonFile),
             std::string(onLinux.useCliFile) };
}

constexpr const char* kWindowsConf = "C:\\Nodes\\BTC-CRYPTO-CONFIG.conf";
constexpr const char* kLinuxConf = "/opt/nodes/BTC-CRYPTO-CONFIG.conf";
constexpr NodeOptions kAllOn { kWalletOption.on, kWalletOption.on, kDaemonOption.on };
constexpr NodeOptions kAllOff {};

TEST(CommandBuilderTest, WindowsLinesFromTheUseValues)
{
    const CommandLines lines = composeCommandLines(windowsNodeConventions(), windowsUseValues(), kWindowsConf, kAllOn);
    EXPECT_EQ(lines.qt,
              R"("C:\Program Files\Bitcoin\bitcoin-qt.exe" -conf="C:\Nodes\BTC-CRYPTO-CONFIG.conf" )"
              R"(-datadir="D:\BTC" -disablewallet=0)");
    EXPECT_EQ(lines.daemon,
              R"("C:\Program Files\Bitcoin\Daemon\bitcoind.exe" -conf="C:\Nodes\BTC-CRYPTO-CONFIG.conf" )"
              R"(-datadir="D:\BTC" -disablewallet=0)");
    EXPECT_EQ(lines.cliStop,
              R"("C:\Program Files\Bitcoin\Daemon\bitcoin-cli.exe" )"
              R"(-conf="C:\Nodes\BTC-CRYPTO-CONFIG.conf" -daemon=1 stop)");
}

TEST(CommandBuilderTest, LinuxLinesFromTheUseValues)
{
    const CommandLines lines = composeCommandLines(linuxNodeConventions(), linuxUseValues(), kLinuxConf, kAllOn);
    EXPECT_EQ(lines.qt,
              R"("/usr/local/bin/bitcoin-qt" -conf="/opt/nodes/BTC-CRYPTO-CONFIG.conf" -datadir="/srv/btc" )"
              R"(-disablewallet=0)");
    EXPECT_EQ(lines.daemon,
              R"("/usr/local/bin/bitcoind" -conf="/opt/nodes/BTC-CRYPTO-CONFIG.conf" -datadir="/srv/btc" )"
              R"(-disablewallet=0)");
    EXPECT_EQ(lines.cliStop,
              R"("/usr/local/bin/bitcoin-cli" -conf="/opt/nodes/BTC-CRYPTO-CONFIG.conf" -daemon=1 stop)");
}

TEST(CommandBuilderTest, EachPairDecidesOnlyItsOwnLinesOption)
{
    const NodeOptions mixed { kWalletOption.disabled, {}, kDaemonOption.disabled };
    const CommandLines lines = composeCommandLines(windowsNodeConventions(), windowsUseValues(), kWindowsConf, mixed);
    EXPECT_TRUE(lines.qt.ends_with(R"(-datadir="D:\BTC" -disablewallet=1)")) << lines.qt;
    EXPECT_TRUE(lines.daemon.ends_with(R"(-datadir="D:\BTC" )")) << lines.daemon;
    EXPECT_TRUE(lines.cliStop.ends_with(R"(-conf="C:\Nodes\BTC-CRYPTO-CONFIG.conf" -daemon=0 stop)")) << lines.cliStop;
}

TEST(CommandBuilderTest, PairsOffLeaveTheirSeparatingSpaces)
{
    for (const auto* conventions : { &windowsNodeConventions(), &linuxNodeConventions() }) {
        const bool onWindows = conventions == &windowsNodeConventions();
        SCOPED_TRACE(onWindows ? "windows" : "linux");
        const CommandLines lines = composeCommandLines(*conventions, onWindows ? windowsUseValues() : linuxUseValues(),
                                                       onWindows ? kWindowsConf : kLinuxConf, kAllOff);
        const std::string home = onWindows ? R"(D:\BTC)" : "/srv/btc";
        const std::string conf = onWindows ? kWindowsConf : kLinuxConf;
        EXPECT_TRUE(lines.qt.ends_with("-datadir=\"" + home + "\" ")) << lines.qt;
        EXPECT_TRUE(lines.daemon.ends_with("-datadir=\"" + home + "\" ")) << lines.daemon;
        EXPECT_TRUE(lines.cliStop.ends_with("-conf=\"" + conf + "\"  stop")) << lines.cliStop;
    }
}

TEST(CommandBuilderTest, EmptyFieldsLeaveOnlyTheFixedPieces)
{
    const CommandLines onWindows = composeCommandLines(windowsNodeConventions(), {}, "", kAllOff);
    EXPECT_EQ(onWindows.qt, R"("\" -conf="" -datadir="" )");
    EXPECT_EQ(onWindows.daemon, R"("\" -conf="" -datadir="" )");
    EXPECT_EQ(onWindows.cliStop, R"("\" -conf=""  stop)");

    const CommandLines onLinux = composeCommandLines(linuxNodeConventions(), {}, "", kAllOff);
    EXPECT_EQ(onLinux.qt, R"("/" -conf="" -datadir="" )");
    EXPECT_EQ(onLinux.daemon, R"("/" -conf="" -datadir="" )");
    EXPECT_EQ(onLinux.cliStop, R"("/" -conf=""  stop)");
}

TEST(CommandBuilderTest, FieldsAreTakenAsTheyStand)
{
    NodeProgramFields fields { " D:\\My BTC ", "C:\\Bit coin", "bitcoin-qt", "C:\\Daemon", "bitcoind ", "\"cli\"" };
    const CommandLines lines = composeCommandLines(windowsNodeConventions(), fields, " a b.conf", kAllOff);
    EXPECT_EQ(lines.qt, R"("C:\Bit coin\bitcoin-qt" -conf=" a b.conf" -datadir=" D:\My BTC " )");
    EXPECT_EQ(lines.daemon, R"("C:\Daemon\bitcoind " -conf=" a b.conf" -datadir=" D:\My BTC " )");
    EXPECT_EQ(lines.cliStop, R"("C:\Daemon\"cli"" -conf=" a b.conf"  stop)");
}

// A started Windows program reads 2n backslashes before a quote as n, so "E:\" must be written
// "E:\\" to come back as E:\ instead of swallowing the closing quote.
TEST(CommandBuilderTest, WindowsDoublesTrailingBackslashesOfTheQuotedConfAndDataFolder)
{
    NodeProgramFields fields = windowsUseValues();
    fields.blockchainHome = "E:\\";
    const CommandLines lines = composeCommandLines(windowsNodeConventions(), fields, "F:\\conf\\\\", kAllOn);
    EXPECT_EQ(lines.qt,
              R"("C:\Program Files\Bitcoin\bitcoin-qt.exe" -conf="F:\conf\\\\" -datadir="E:\\" )"
              R"(-disablewallet=0)");
    EXPECT_TRUE(lines.daemon.ends_with(R"(-conf="F:\conf\\\\" -datadir="E:\\" -disablewallet=0)")) << lines.daemon;
    EXPECT_EQ(lines.cliStop, R"("C:\Program Files\Bitcoin\Daemon\bitcoin-cli.exe" -conf="F:\conf\\\\" -daemon=1 stop)");

    fields.blockchainHome = "E:\\a\\b";
    const CommandLines inner = composeCommandLines(windowsNodeConventions(), fields, "\\", kAllOff);
    EXPECT_TRUE(inner.qt.ends_with(R"( -conf="\\" -datadir="E:\a\b" )")) << inner.qt;
}

// Whatever the file system allows in a path, quotes and backslashes included, comes back whole
// when the line is split; lines without a quote or a trailing backslash in a path are unchanged.
TEST(CommandBuilderTest, QuotedPathsSplitBackUnchanged)
{
    NodeProgramFields fields = linuxUseValues();
    fields.qtLocation = R"(/opt/my "node" \dir\)";
    fields.qtName = R"(qt\")";
    fields.blockchainHome = R"(/srv/odd\)";
    const std::string conf = R"(/etc/"a\"b"\\)";
    const CommandLines lines = composeCommandLines(linuxNodeConventions(), fields, conf, kAllOn);
    EXPECT_TRUE(lines.qt.ends_with(R"( -datadir="/srv/odd\\" -disablewallet=0)")) << lines.qt;
    EXPECT_EQ(splitCommandLine(lines.qt).value(),
              (std::vector<std::string> { fields.qtLocation + "/" + fields.qtName, "-conf=" + conf,
                                          "-datadir=" + fields.blockchainHome, "-disablewallet=0" }));

    // Windows reads the program to the next quote as it stands; the other paths are escaped alike.
    NodeProgramFields onWindows = windowsUseValues();
    onWindows.blockchainHome = R"(E:\a "b"\)";
    const CommandLines windowsLines = composeCommandLines(windowsNodeConventions(), onWindows, conf, kAllOff);
    EXPECT_EQ(
        splitCommandLine(windowsLines.cliStop).value(),
        (std::vector<std::string> { R"(C:\Program Files\Bitcoin\Daemon\bitcoin-cli.exe)", "-conf=" + conf, "stop" }));
    EXPECT_EQ(splitCommandLine(windowsLines.daemon).value().at(2), "-datadir=" + onWindows.blockchainHome);
}

TEST(NodeConventionsTest, DefaultConfLocationJoinsFolderAndNameWithOneSeparator)
{
    EXPECT_EQ(defaultConfLocation(windowsNodeConventions(), "C:\\Nodes", "BTC"), "C:\\Nodes\\BTC-CRYPTO-CONFIG.conf");
    EXPECT_EQ(defaultConfLocation(linuxNodeConventions(), "/opt/nodes", "BTC.main"),
              "/opt/nodes/BTC.main-CRYPTO-CONFIG.conf");
}

TEST(NodeConventionsTest, FileNameOfAPickedPath)
{
    const NodeConventions& onWindows = windowsNodeConventions();
    EXPECT_EQ(fileNameOf(onWindows, "C:\\Apps\\node\\bitcoind.exe"), "bitcoind.exe");
    EXPECT_EQ(fileNameOf(onWindows, "C:/Apps/node/bitcoind.exe"), "bitcoind.exe");
    EXPECT_EQ(fileNameOf(onWindows, "bitcoind.exe"), "bitcoind.exe");
    const NodeConventions& onLinux = linuxNodeConventions();
    EXPECT_EQ(fileNameOf(onLinux, "/usr/local/bin/bitcoind"), "bitcoind");
    EXPECT_EQ(fileNameOf(onLinux, "/srv/odd\\name"), "odd\\name");
}

TEST(NodeConventionsTest, LinuxTextsShowNoWindowsPathOrProgramSuffix)
{
    const NodeConventions& onLinux = linuxNodeConventions();
    for (std::string_view text :
         { onLinux.useQtFolder, onLinux.useQtFile, onLinux.useDaemonCliFolder, onLinux.useCliFile,
           onLinux.useDaemonFile, onLinux.qtFolderLabel, onLinux.qtFileLabel, onLinux.daemonCliFolderLabel,
           onLinux.cliFileLabel, onLinux.daemonFileLabel, onLinux.qtFileTitle, onLinux.cliFileTitle,
           onLinux.daemonFileTitle, onLinux.programFilter, onLinux.multipleConfigurationsHint }) {
        EXPECT_EQ(text.find(".exe"), std::string_view::npos) << text;
        EXPECT_EQ(text.find('\\'), std::string_view::npos) << text;
        EXPECT_EQ(text.find("C:"), std::string_view::npos) << text;
    }
}

} // namespace
} // namespace korvane
