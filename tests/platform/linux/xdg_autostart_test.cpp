#include "platform/linux/xdg_autostart.h"
#include "tests/helpers/temporary_folder.h"
#include "tests/platform/linux/posix_test_support.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <thread>

namespace korvane {
namespace {

using test::readFile;
using test::ScopedEnvironment;
using test::TemporaryFolder;
using test::writeFile;

TEST(XdgAutostart, EachCopyHasItsOwnEntryAndRemovesOnlyIt)
{
    TemporaryFolder config;
    ScopedEnvironment configHome { "XDG_CONFIG_HOME", config.text() };
    XdgAutostart btc("BTC", "/home/u/nodes/BTC");
    XdgAutostart ltc("LTC", "/home/u/nodes/LTC");
    EXPECT_FALSE(btc.enabled());
    EXPECT_TRUE(btc.disable());

    ASSERT_TRUE(btc.enable());
    ASSERT_TRUE(ltc.enable());
    EXPECT_EQ(btc.entryPath(), config.text("autostart/BTC.desktop"));
    EXPECT_TRUE(btc.enabled());
    EXPECT_NE(readFile(btc.entryPath()).find("Exec=\"/home/u/nodes/BTC\"\n"), std::string::npos);

    ASSERT_TRUE(btc.disable());
    EXPECT_FALSE(std::filesystem::exists(btc.entryPath()));
    EXPECT_TRUE(ltc.enabled());

    // A copy of the same name elsewhere does not take over, nor remove, the other's entry.
    XdgAutostart other("LTC", "/opt/LTC");
    EXPECT_FALSE(other.enabled());
    EXPECT_NE(other.disable().error().find("starts another program"), std::string::npos);
    EXPECT_NE(other.enable().error().find("starts another program"), std::string::npos);
    EXPECT_TRUE(ltc.enabled());

    // An entry the desktop was told to hide counts as off.
    writeFile(ltc.entryPath(), readFile(ltc.entryPath()) + "Hidden=true\n");
    EXPECT_FALSE(ltc.enabled());
}

TEST(XdgAutostart, QuotesThePathAsDesktopEntriesRequire)
{
    EXPECT_EQ(desktopExecValue("/home/u/my nodes/BTC"), "\"/home/u/my nodes/BTC\"");
    EXPECT_EQ(desktopExecValue("/a/$x`y\"z"), R"("/a/\\$x\\`y\\"z")");
    EXPECT_EQ(desktopExecValue("/a\\b/100%"), R"(/usr/bin/env "/a\\\\b/100%%")");

    TemporaryFolder config;
    ScopedEnvironment configHome { "XDG_CONFIG_HOME", config.text() };
    XdgAutostart broken("BTC", "/a\nExec=/bin/evil/BTC");
    EXPECT_NE(broken.enable().error().find("line break"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(broken.entryPath()));

    const char* home = std::getenv("HOME");
    ScopedEnvironment unset { "XDG_CONFIG_HOME", std::nullopt };
    EXPECT_EQ(autostartFolder(), std::string(home ? home : "") + "/.config/autostart");
}

// Whatever its path, a copy's entry is one that GLib (GNOME's reader) reads and starts the copy
// from, and that the desktop's validator passes; a path no entry can hold is refused.
TEST(XdgAutostart, GLibStartsTheCopyFromItsEntryAndTheValidatorPassesIt)
{
    if (std::system("command -v desktop-file-validate >/dev/null") != 0)
        GTEST_SKIP() << "desktop-file-validate is not installed";
    TemporaryFolder config;
    ScopedEnvironment configHome { "XDG_CONFIG_HOME", config.text() };
    TemporaryFolder programs;
    const std::string started = programs.text("started");
    for (const std::string name : { "LTC", "$LTC\\x%", "100%%d", "a\"b`c'd", "\xc3\xbcn\xc3\xaf LTC" }) {
        const std::string program = programs.text("my nodes/" + name);
        writeFile(program, "#!/bin/sh\nprintf '%s\\n' \"$0\" > '" + started + "'\n");
        std::filesystem::permissions(program, std::filesystem::perms::owner_all);
        std::filesystem::remove(started);
        XdgAutostart copy("LTC main", program);
        ASSERT_TRUE(copy.enable());
        EXPECT_TRUE(copy.enabled());
        const std::string entry = "'" + copy.entryPath() + "'";
        EXPECT_EQ(std::system(("desktop-file-validate " + entry).c_str()), 0) << readFile(copy.entryPath());
        const int launched = std::system(("/usr/bin/python3 " KORVANE_GLIB_LAUNCH " " + entry).c_str());
        EXPECT_EQ(launched, 0) << name;
        for (int wait = 0; launched == 0 && wait < 250 && readFile(started).empty(); ++wait)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        EXPECT_EQ(readFile(started), program + "\n");
        ASSERT_TRUE(copy.disable());
    }
    XdgAutostart notUtf8("LTC", programs.text("\xff"));
    EXPECT_NE(notUtf8.enable().error().find("not UTF-8"), std::string::npos);
}

} // namespace
} // namespace korvane
