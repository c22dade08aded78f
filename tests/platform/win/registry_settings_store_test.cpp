#include "platform/win/registry_settings_store.h"
#include "platform/win/win_text.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <windows.h>

namespace korvane {
namespace {

constexpr auto application = "QL_KORVANE_REGISTRY_TEST";

class RegistrySettingsStoreTest : public ::testing::Test
{
protected:
    void SetUp() override { removeApplication(); }
    void TearDown() override { removeApplication(); }

    static void removeApplication()
    {
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\VB and VBA Program Settings\\QL_KORVANE_REGISTRY_TEST");
    }

    void save(std::string_view section, std::string_view key, std::string_view value)
    {
        const Result<> saved = store.saveSetting(application, section, key, value);
        ASSERT_TRUE(saved) << saved.error();
    }

    std::string get(std::string_view section, std::string_view key, std::string_view defaultValue = "<default>")
    {
        return store.getSetting(application, section, key, defaultValue);
    }

    RegistrySettingsStore store;
};

TEST_F(RegistrySettingsStoreTest, RoundTripsTextWithLineBreaksAndOtherScripts)
{
    const std::string text = "first line\r\nsecond line\nthird\r\n\tGr\xC3\xBC\xC3\x9F"
                             "e \xE2\x82\xBF \xE6\xBC\xA2";
    save("QL-KORVANE-V1", "FULL_NODE_LIST_TEXTBOX", text);
    EXPECT_EQ(get("QL-KORVANE-V1", "FULL_NODE_LIST_TEXTBOX"), text);
}

TEST_F(RegistrySettingsStoreTest, MissingKeysAndSectionsGiveTheDefault)
{
    EXPECT_EQ(get("QL-KORVANE-V1", "MAIN_Left", "1000"), "1000");
    save("QL-KORVANE-V1", "MAIN_Top", "250");
    EXPECT_EQ(get("QL-KORVANE-V1", "MAIN_Left", "1000"), "1000");
}

TEST_F(RegistrySettingsStoreTest, AnEmptyValueIsStoredNotDefaulted)
{
    save("QL-KORVANE-V1", "CRYPTO_NAME_TEXTBOX", "");
    EXPECT_EQ(get("QL-KORVANE-V1", "CRYPTO_NAME_TEXTBOX"), "");
}

TEST_F(RegistrySettingsStoreTest, KeysAndSectionsAreComparedWithoutRegardToCase)
{
    save("QL-KORVANE-V1", "AlwaysOnTop_TICKBOX", "1");
    EXPECT_EQ(get("ql-korvane-v1", "ALWAYSONTOP_TICKBOX"), "1");

    save("QL-KORVANE-V1", "alwaysontop_tickbox", "0");
    EXPECT_EQ(get("QL-KORVANE-V1", "AlwaysOnTop_TICKBOX"), "0");
}

TEST_F(RegistrySettingsStoreTest, SectionsAreKeptApart)
{
    save("BTC", "DAEMON_NAME_TEXTBOX", "bitcoind.exe");
    save("LTC", "DAEMON_NAME_TEXTBOX", "litecoind.exe");
    EXPECT_EQ(get("BTC", "DAEMON_NAME_TEXTBOX"), "bitcoind.exe");
    EXPECT_EQ(get("LTC", "DAEMON_NAME_TEXTBOX"), "litecoind.exe");
    EXPECT_EQ(get("DASH", "DAEMON_NAME_TEXTBOX"), "<default>");
}

TEST_F(RegistrySettingsStoreTest, SectionsAreTheSubkeysOfTheApplicationsKey)
{
    EXPECT_TRUE(store.sections(application).empty()) << "no key yet";
    save("BTC", "QL_D_COMMAND_TEXTBOX", "bitcoind.exe");
    save("LTC - \xE2\x82\xBF", "QL_D_COMMAND_TEXTBOX", "litecoind.exe");
    save("ltc - \xE2\x82\xBF", "CRYPTO_NAME_TEXTBOX", "LTC"); // the same key: names ignore letter case
    std::vector<std::string> sections = store.sections(application);
    std::sort(sections.begin(), sections.end());
    EXPECT_EQ(sections, (std::vector<std::string> { "BTC", "LTC - \xE2\x82\xBF" }));
    EXPECT_TRUE(store.sections("QL_KORVANE_NO_SUCH_PROGRAM").empty());
}

TEST_F(RegistrySettingsStoreTest, ValuesAreStringsUnderTheUsersProgramSettingsKey)
{
    save("QL-KORVANE-V1", "QT_NAME_TEXTBOX", "bitcoin-qt.exe");

    wchar_t value[64] {};
    DWORD bytes = sizeof(value);
    const LSTATUS status = RegGetValueW(
        HKEY_CURRENT_USER, L"Software\\VB and VBA Program Settings\\QL_KORVANE_REGISTRY_TEST\\QL-KORVANE-V1",
        L"QT_NAME_TEXTBOX", RRF_RT_REG_SZ, nullptr, value, &bytes);
    ASSERT_EQ(status, ERROR_SUCCESS);
    EXPECT_STREQ(value, L"bitcoin-qt.exe");
}

TEST_F(RegistrySettingsStoreTest, AValueOfAnotherTypeReadsAsTheDefault)
{
    save("QL-KORVANE-V1", "MAIN_Width", "6720");
    HKEY section = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER,
                            L"Software\\VB and VBA Program Settings\\QL_KORVANE_REGISTRY_TEST\\QL-KORVANE-V1", 0,
                            KEY_SET_VALUE, &section),
              ERROR_SUCCESS);
    const DWORD number = 6720;
    RegSetValueExW(section, L"MAIN_Width", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof(number));
    RegCloseKey(section);

    EXPECT_EQ(get("QL-KORVANE-V1", "MAIN_Width", "6720.5"), "6720.5");
}

TEST_F(RegistrySettingsStoreTest, ASaveThatTheRegistryRefusesIsReportedWithItsReason)
{
    // The registry refuses key names longer than 255 characters.
    const std::string overlongSection(300, 'S');
    const Result<> saved = store.saveSetting(application, overlongSection, "KEY", "value");
    EXPECT_FALSE(saved);
    EXPECT_FALSE(saved.error().empty());
}

} // namespace
} // namespace korvane
