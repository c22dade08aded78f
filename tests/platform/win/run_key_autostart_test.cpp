#include "platform/win/run_key_autostart.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace korvane {
namespace {

constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

class RunKeyAutostartTest : public ::testing::Test
{
protected:
    void SetUp() override { TearDown(); }
    void TearDown() override
    {
        for (const wchar_t* name : { L"KORVANE_TEST_BTC", L"KORVANE_TEST_LTC" })
            RegDeleteKeyValueW(HKEY_CURRENT_USER, kRunKey, name);
    }
};

TEST_F(RunKeyAutostartTest, EachCopyHasItsOwnValueAndRemovesOnlyIt)
{
    RunKeyAutostart btc("KORVANE_TEST_BTC", "C:\\Nodes\\My Coins\\KORVANE_TEST_BTC.exe");
    RunKeyAutostart ltc("KORVANE_TEST_LTC", "C:\\Nodes\\KORVANE_TEST_LTC.exe");
    EXPECT_FALSE(btc.enabled());
    EXPECT_TRUE(btc.disable());
    ASSERT_TRUE(btc.enable());
    ASSERT_TRUE(ltc.enable());
    EXPECT_TRUE(btc.enabled());

    wchar_t value[MAX_PATH] {};
    DWORD bytes = sizeof(value);
    ASSERT_EQ(RegGetValueW(HKEY_CURRENT_USER, kRunKey, L"KORVANE_TEST_BTC", RRF_RT_REG_SZ, nullptr, value, &bytes),
              ERROR_SUCCESS);
    EXPECT_STREQ(value, L"\"C:\\Nodes\\My Coins\\KORVANE_TEST_BTC.exe\"");

    ASSERT_TRUE(btc.disable());
    EXPECT_FALSE(btc.enabled());
    EXPECT_TRUE(ltc.enabled());

    // A copy of the same name elsewhere neither takes over nor removes the other's value.
    RunKeyAutostart other("KORVANE_TEST_LTC", "D:\\KORVANE_TEST_LTC.exe");
    EXPECT_FALSE(other.enabled());
    EXPECT_NE(other.disable().error().find("starts another program"), std::string::npos);
    EXPECT_NE(other.enable().error().find("starts another program"), std::string::npos);
    EXPECT_TRUE(ltc.enabled());
}

TEST_F(RunKeyAutostartTest, KnowsItsOwnProgram)
{
    const std::string path = runningProgramPath();
    EXPECT_NE(path.find("korvane_core_tests"), std::string::npos) << path;
}

} // namespace
} // namespace korvane
