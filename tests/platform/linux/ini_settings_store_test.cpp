#include "conf/copies_check.h"
#include "platform/fake/fake_services.h"
#include "platform/linux/ini_settings_store.h"
#include "settings/profile.h"
#include "tests/helpers/temporary_folder.h"
#include "tests/platform/linux/posix_test_support.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace korvane {
namespace {

using test::permissionBits;
using test::readFile;
using test::ScopedEnvironment;
using test::TemporaryFolder;
using test::writeFile;

constexpr std::string_view kApp = "QL_KORVANE";

class IniSettingsStoreTest : public ::testing::Test
{
protected:
    std::string get(std::string_view section, std::string_view key, std::string_view defaultValue = "default")
    {
        return store.getSetting(kApp, section, key, defaultValue);
    }
    bool save(std::string_view section, std::string_view key, std::string_view value)
    {
        const Result<> saved = store.saveSetting(kApp, section, key, value);
        error = saved.error();
        return saved.ok();
    }
    std::string sectionFile(const std::string& section) const { return config.text("QL_KORVANE/" + section + ".ini"); }

    TemporaryFolder config;
    ScopedEnvironment configHome { "XDG_CONFIG_HOME", config.text() };
    IniSettingsStore store;
    std::string error;
};

TEST_F(IniSettingsStoreTest, FreshSectionGivesDefaultsThroughProfile)
{
    fake::OwnExecutable executable;
    executable.executableName = "BTC-KORVANE";
    Profile profile(store, executable);

    EXPECT_EQ(profile.text(Key::CryptoName), "");
    EXPECT_EQ(profile.text(Key::HeartbeatCountdown), "00:05:00");
    EXPECT_TRUE(profile.ticked(Key::AlwaysOnTop));
    EXPECT_EQ(profile.geometry(WindowId::Main), (Geometry { 1000, 1000, 6720, 2925 }));
    EXPECT_EQ(permissionBits(sectionFile("BTC-KORVANE")), -1) << "reading must not create the file";
    EXPECT_TRUE(profile.usable());

    ASSERT_TRUE(profile.savePosition(WindowId::Main, 100000, 1500.5f));
    EXPECT_EQ(get("BTC-KORVANE", "MAIN_Left"), "100000");
    EXPECT_EQ(get("BTC-KORVANE", "MAIN_Top"), "1500.5");
}

TEST_F(IniSettingsStoreTest, EachSectionKeepsItsOwnValues)
{
    ASSERT_TRUE(save("BTC-KORVANE", "CRYPTO_NAME_TEXTBOX", "Bitcoin")) << error;
    ASSERT_TRUE(save("LTC-KORVANE", "CRYPTO_NAME_TEXTBOX", "Litecoin")) << error;
    ASSERT_TRUE(save("BTC-KORVANE", "MAIN_Left", "1500")) << error;

    EXPECT_EQ(get("BTC-KORVANE", "CRYPTO_NAME_TEXTBOX"), "Bitcoin");
    EXPECT_EQ(get("LTC-KORVANE", "CRYPTO_NAME_TEXTBOX"), "Litecoin");
    EXPECT_EQ(get("LTC-KORVANE", "MAIN_Left"), "default");

    // Another copy of the program under the same name sees the same values.
    IniSettingsStore otherCopy;
    EXPECT_EQ(otherCopy.getSetting(kApp, "BTC-KORVANE", "MAIN_Left", ""), "1500");
    ASSERT_TRUE(otherCopy.saveSetting(kApp, "BTC-KORVANE", "MAIN_Left", "2500"));
    EXPECT_EQ(get("BTC-KORVANE", "MAIN_Left"), "2500");
    EXPECT_EQ(get("BTC-KORVANE", "CRYPTO_NAME_TEXTBOX"), "Bitcoin");
}

TEST_F(IniSettingsStoreTest, AnyTextRoundTripsExactly)
{
    const std::string values[] = {
        "line one\nline two\r\nline three\n",
        "rpcuser=alice\nrpcpassword=p=ss",
        "[QL-KORVANE-V1]",
        "C:\\Program Files\\Bitcoin\\ \\n \\x41 \\",
        "  leading and trailing blanks \t ",
        "; not a comment",
        "# not a comment either",
        "",
        " ",
        std::string("nul\0inside", 10),
        "\x01\x1F\x7F control",
        "Grüße € ₿",
    };
    for (std::size_t i = 0; i < std::size(values); ++i)
        ASSERT_TRUE(save("S", "VALUE_" + std::to_string(i), values[i])) << error;
    ASSERT_TRUE(save("S", " odd = [key]; # ", "odd key")) << error;

    for (std::size_t i = 0; i < std::size(values); ++i)
        EXPECT_EQ(get("S", "VALUE_" + std::to_string(i)), values[i]) << "value " << i;
    EXPECT_EQ(get("S", " odd = [key]; # "), "odd key");
}

TEST_F(IniSettingsStoreTest, KeysMatchInAnyLetterCase)
{
    ASSERT_TRUE(save("S", "AlwaysOnTop_TICKBOX", "0")) << error;
    EXPECT_EQ(get("S", "alwaysontop_tickbox"), "0");
    EXPECT_EQ(get("S", "ALWAYSONTOP_TICKBOX"), "0");

    ASSERT_TRUE(save("S", "ALWAYSONTOP_TICKBOX", "1")) << error;
    EXPECT_EQ(get("S", "AlwaysOnTop_TICKBOX"), "1");
    const std::string file = test::readFile(sectionFile("S"));
    EXPECT_EQ(file.find("TICKBOX"), file.rfind("TICKBOX")) << "one entry, not two:\n" << file;
}

TEST_F(IniSettingsStoreTest, NonNumericStoredNumbersFallBackToDefaults)
{
    fake::OwnExecutable executable;
    executable.executableName = "S";
    Profile profile(store, executable);
    ASSERT_TRUE(save("S", "AlwaysOnTop_TICKBOX", "yes")) << error;
    ASSERT_TRUE(save("S", "AUTO_UPDATE_FOLDERSIZE_TICKBOX", "")) << error;
    ASSERT_TRUE(save("S", "MAIN_Left", "far left")) << error;
    ASSERT_TRUE(save("S", "MAIN_Top", "250")) << error;

    EXPECT_EQ(profile.tickState(Key::AlwaysOnTop), 1);
    EXPECT_EQ(profile.tickState(Key::AutoUpdateFolderSize), 0);
    EXPECT_EQ(profile.geometry(WindowId::Main), (Geometry { 1000, 250, 6720, 2925 }));
}

TEST_F(IniSettingsStoreTest, FileAndFolderAreOwnerOnly)
{
    ASSERT_TRUE(save("S", "RPC_PASSWORD_TEXTBOX", "secret")) << error;
    EXPECT_EQ(permissionBits(sectionFile("S")), 0600);
    EXPECT_EQ(permissionBits(config.text("QL_KORVANE")), 0700);
}

TEST_F(IniSettingsStoreTest, ReadsHandEditedFiles)
{
    test::writeFile(sectionFile("S"),
                    "; edited by hand\r\n[S]\r\n  CRYPTO_NAME_TEXTBOX = Dash  \r\n\r\nno equals sign\r\nMAIN_Left=1\r\n"
                    "MAIN_Left=2\r\n");
    EXPECT_EQ(get("S", "CRYPTO_NAME_TEXTBOX"), "Dash");
    EXPECT_EQ(get("S", "MAIN_Left"), "2") << "the last of two entries wins";
    ASSERT_TRUE(save("S", "MAIN_Top", "3")) << error;
    EXPECT_EQ(test::readFile(sectionFile("S")),
              "; edited by hand\r\n[S]\r\n  CRYPTO_NAME_TEXTBOX = Dash  \r\n\r\nno equals sign\r\nMAIN_Left=1\r\n"
              "MAIN_Left=2\r\nMAIN_Top=3\r\n");
}

// Windows editors begin the file with a UTF-8 byte order mark: it is read past and written back.
TEST_F(IniSettingsStoreTest, AFileBeginningWithAByteOrderMarkReadsAndKeepsTheMark)
{
    const std::string marked = "\xEF\xBB\xBF[BTC]\r\nCRYPTO_NAME_TEXTBOX=Bitcoin\r\nRPC_USER_TEXTBOX=alice\r\n";
    test::writeFile(sectionFile("BTC"), marked);
    EXPECT_EQ(get("BTC", "CRYPTO_NAME_TEXTBOX"), "Bitcoin");
    EXPECT_EQ(get("BTC", "RPC_USER_TEXTBOX"), "alice");

    ASSERT_TRUE(save("BTC", "RPC_USER_TEXTBOX", "bob")) << error;
    ASSERT_TRUE(save("BTC", "MAIN_Left", "1600")) << error;
    EXPECT_EQ(test::readFile(sectionFile("BTC")),
              "\xEF\xBB\xBF[BTC]\r\nCRYPTO_NAME_TEXTBOX=Bitcoin\r\nRPC_USER_TEXTBOX=bob\r\nMAIN_Left=1600\r\n")
        << "one section, its mark kept";
    EXPECT_EQ(get("BTC", "CRYPTO_NAME_TEXTBOX"), "Bitcoin");
}

// A profile file copied from another coin keeps its header; comments and other sections are
// neither read nor lost.
TEST_F(IniSettingsStoreTest, ReadsOnlyTheFirstSectionAndKeepsEveryOtherLine)
{
    const std::string other = "\n[Other]\nCRYPTO_NAME_TEXTBOX=Litecoin\nRPC_USER_TEXTBOX=bob\n";
    test::writeFile(
        sectionFile("LTC"),
        "; synced from the desktop\n[QL-KORVANE-V1]\nCRYPTO_NAME_TEXTBOX=Bitcoin\n# the port\nMAIN_Left=1500\n"
        "not a setting"
            + other);
    EXPECT_EQ(get("LTC", "CRYPTO_NAME_TEXTBOX"), "Bitcoin");
    EXPECT_EQ(get("LTC", "RPC_USER_TEXTBOX"), "default");

    const SettingValue values[]
        = { { "MAIN_Left", "1600" }, { "RPC_USER_TEXTBOX", "alice" }, { "CRYPTO_NAME_TEXTBOX", "Bitcoin" } };
    const Result<> saved = store.saveSettings(kApp, "LTC", values);
    ASSERT_TRUE(saved) << saved.error();
    EXPECT_EQ(test::readFile(sectionFile("LTC")),
              "; synced from the desktop\n[QL-KORVANE-V1]\nCRYPTO_NAME_TEXTBOX=Bitcoin\n# the port\nMAIN_Left=1600\n"
              "RPC_USER_TEXTBOX=alice\nnot a setting"
                  + other);
    EXPECT_EQ(get("LTC", "RPC_USER_TEXTBOX"), "alice");
}

// Saving through a symbolic link keeps the link: its target is replaced, in the target's folder.
TEST_F(IniSettingsStoreTest, SavingThroughALinkReplacesItsTarget)
{
    const auto synced = config.path() / "synced" / "BTC.ini";
    test::writeFile(synced, "[BTC]\nCRYPTO_NAME_TEXTBOX=Bitcoin\n");
    std::filesystem::create_directories(config.path() / "QL_KORVANE");
    std::filesystem::create_symlink("../synced/BTC.ini", sectionFile("S"));

    ASSERT_TRUE(save("S", "MAIN_Left", "1600")) << error;
    EXPECT_TRUE(std::filesystem::is_symlink(sectionFile("S")));
    EXPECT_EQ(test::readFile(synced), "[BTC]\nCRYPTO_NAME_TEXTBOX=Bitcoin\nMAIN_Left=1600\n");
    EXPECT_EQ(permissionBits(synced.string()), 0600);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(synced.parent_path()), {}), 1);
}

TEST_F(IniSettingsStoreTest, UsesHomeConfigWithoutAbsoluteConfigHome)
{
    TemporaryFolder home;
    ScopedEnvironment homeVariable("HOME", home.text());
    for (const std::optional<std::string>& configHomeValue :
         { std::optional<std::string>(), std::optional<std::string>(""), std::optional<std::string>("relative") }) {
        ScopedEnvironment configHomeVariable("XDG_CONFIG_HOME", configHomeValue);
        ASSERT_TRUE(save("S", "K", "v")) << error;
        EXPECT_EQ(test::readFile(home.path() / ".config/QL_KORVANE/S.ini"), "[S]\nK=v\n");
        std::filesystem::remove_all(home.path() / ".config");
    }
}

TEST_F(IniSettingsStoreTest, RefusesSectionNamesThatLeaveTheFolder)
{
    for (const std::string_view section : { "../escape", "..", ".", "a/b", "/etc/passwd", "" }) {
        EXPECT_FALSE(save(section, "K", "v")) << section;
        EXPECT_FALSE(error.empty()) << section;
        EXPECT_EQ(get(section, "K"), "default") << section;
    }
    EXPECT_FALSE(std::filesystem::exists(config.path() / "escape.ini"));
    EXPECT_FALSE(std::filesystem::exists(config.path() / "QL_KORVANE" / "a"));
}

// "ulimit -f": the save fails with the system's reason instead of ending the program.
TEST_F(IniSettingsStoreTest, AFileSizeLimitFailsTheSaveLikeAFullDisk)
{
    ASSERT_TRUE(save("S", "CRYPTO_NAME_TEXTBOX", "Bitcoin")) << error;
    {
        test::ScopedFileSizeLimit limit(64);
        EXPECT_FALSE(save("S", "USER_DEFINED_SETTINGS_TEXTBOX", std::string(1000, 'x')));
    }
    EXPECT_NE(error.find("File too large"), std::string::npos) << error;
    EXPECT_EQ(get("S", "CRYPTO_NAME_TEXTBOX"), "Bitcoin");
    EXPECT_EQ(get("S", "USER_DEFINED_SETTINGS_TEXTBOX"), "default");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(config.path() / "QL_KORVANE"), {}), 1)
        << "no temporary file is left behind";
}

TEST_F(IniSettingsStoreTest, UnwritableFoldersAreReportedWithTheirReason)
{
    namespace fs = std::filesystem;
    const auto attempt = [this](const std::string& value) {
        return test::runUnprivileged(config.path(),
                                     [&] { return save("S", "CRYPTO_NAME_TEXTBOX", value) ? "" : error; });
    };
    // No folder of the program's own yet, where none can be made.
    fs::permissions(config.path(), fs::perms::owner_write, fs::perm_options::remove);
    EXPECT_EQ(attempt("Bitcoin"), "Cannot create the folder " + config.text("QL_KORVANE") + ": Permission denied");

    fs::permissions(config.path(), fs::perms::owner_write, fs::perm_options::add);
    ASSERT_TRUE(save("S", "CRYPTO_NAME_TEXTBOX", "Bitcoin")) << error;
    fs::permissions(config.path() / "QL_KORVANE", fs::perms::owner_write, fs::perm_options::remove);
    EXPECT_NE(attempt("Dash").find("Permission denied"), std::string::npos);
    EXPECT_EQ(get("S", "CRYPTO_NAME_TEXTBOX"), "Bitcoin");
}

// A profile that is a folder, a named pipe or unreadable is named at start, reads as defaults
// without blocking, and is never written over.
TEST_F(IniSettingsStoreTest, UnusableProfileFilesAreNamedAndLeftAlone)
{
    fake::OwnExecutable executable;
    Profile profile(store, executable);
    const auto check = [&](const std::string& section, const std::string& reason) {
        SCOPED_TRACE(section);
        executable.executableName = section;
        const std::string problem = "Cannot read the profile " + sectionFile(section) + ": " + reason;
        EXPECT_EQ(profile.usable().error(), problem);
        EXPECT_EQ(profile.text(Key::CryptoName), "");
        EXPECT_FALSE(save(section, "CRYPTO_NAME_TEXTBOX", "Dash"));
        EXPECT_EQ(error, problem);
    };
    std::filesystem::create_directories(sectionFile("FOLDER"));
    check("FOLDER", "Is a directory");
    EXPECT_TRUE(std::filesystem::is_empty(sectionFile("FOLDER")));

    ASSERT_EQ(::mkfifo(sectionFile("PIPE").c_str(), 0600), 0);
    check("PIPE", "not a regular file");
    EXPECT_TRUE(std::filesystem::is_fifo(sectionFile("PIPE")));

    test::writeFile(sectionFile("LOCKED"), "[LOCKED]\nCRYPTO_NAME_TEXTBOX=Bitcoin\n");
    ::chmod(sectionFile("LOCKED").c_str(), 0);
    const std::string unprivileged = test::runUnprivileged(config.path(), [&] {
        return store.usable(kApp, "LOCKED").error() + "|" + get("LOCKED", "CRYPTO_NAME_TEXTBOX") + "|"
            + (save("LOCKED", "CRYPTO_NAME_TEXTBOX", "Dash") ? "saved" : error);
    });
    const std::string problem = "Cannot read the profile " + sectionFile("LOCKED") + ": Permission denied";
    EXPECT_EQ(unprivileged, problem + "|default|" + problem);
    ::chmod(sectionFile("LOCKED").c_str(), 0600);
    EXPECT_EQ(test::readFile(sectionFile("LOCKED")), "[LOCKED]\nCRYPTO_NAME_TEXTBOX=Bitcoin\n");
}

TEST_F(IniSettingsStoreTest, TheOtherCopiesAreTheProfileFilesReadAndNeverWritten)
{
    const TemporaryFolder node;
    const std::string otherLine = "litecoind -datadir=" + node.text() + " -conf=" + node.text("LTC2.conf");
    writeFile(node.path() / "LTC2.conf", "port=9333\n");
    const std::string_view daemonKey = keyName(Key::DaemonCommand);
    ASSERT_TRUE(save("LTC", daemonKey, "litecoind")) << error;
    ASSERT_TRUE(save("LTC2", daemonKey, otherLine)) << error;
    ASSERT_TRUE(save("NODAEMON", "CRYPTO_NAME_TEXTBOX", "DASH")) << error;
    const std::filesystem::path folder = config.path() / "QL_KORVANE";
    writeFile(node.path() / "linked.ini", "[LINKED]\n" + std::string(daemonKey) + "=bitcoind\n");
    std::filesystem::create_symlink(node.path() / "linked.ini", folder / "LINKED.ini");
    std::filesystem::create_directory(folder / "folder.ini");
    ASSERT_EQ(::mkfifo((folder / "pipe.ini").c_str(), 0600), 0);
    writeFile(folder / "notes.txt", "");

    std::vector<std::string> sections = store.sections(kApp);
    std::sort(sections.begin(), sections.end());
    EXPECT_EQ(sections, (std::vector<std::string> { "LINKED", "LTC", "LTC2", "NODAEMON" }));
    EXPECT_TRUE(IniSettingsStore().sections("NO_SUCH_PROGRAM").empty());

    const std::vector<CopyProfile> others = otherCopies(store, "LTC", OperatingSystem::Linux);
    ASSERT_EQ(others.size(), 2u);
    EXPECT_EQ(others[0].profile, "LINKED");
    EXPECT_EQ(others[1].profile, "LTC2");
    EXPECT_EQ(others[1].daemonCommandLine, otherLine);

    const std::string profileBytes = readFile(sectionFile("LTC2"));
    const auto profileTime = std::filesystem::last_write_time(sectionFile("LTC2"));
    const CopiesCheck check = checkAcrossCopies({ "litecoind -datadir=" + config.text(), "", std::nullopt },
                                                { others, { OperatingSystem::Linux, config.text(), "", "" } });
    EXPECT_TRUE(std::any_of(check.findings.begin(), check.findings.end(),
                            [](const ConfFinding& finding) { return finding.key == "port 9333"; }));
    EXPECT_EQ(readFile(sectionFile("LTC2")), profileBytes);
    EXPECT_EQ(std::filesystem::last_write_time(sectionFile("LTC2")), profileTime);
    EXPECT_EQ(readFile(node.path() / "LTC2.conf"), "port=9333\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(node.path()), {}), 2) << "nothing new beside it";
}

} // namespace
} // namespace korvane
