#include "platform/fake/fake_services.h"
#include "settings/profile.h"

#include <gtest/gtest.h>

namespace korvane {
namespace {

class ProfileTest : public ::testing::Test
{
protected:
    fake::SettingsStore store;
    fake::OwnExecutable executable;
    Profile profile { store, executable };
};

TEST_F(ProfileTest, ABatchIsOneWriteInItsOrderUnderTheExecutablesName)
{
    executable.executableName = "LTC";
    const KeyValue values[] = { { Key::CryptoName, "Litecoin" }, { Key::QtWalletTick, std::string(tickText(true)) } };
    ASSERT_TRUE(profile.setValues(values));
    ASSERT_TRUE(profile.savePosition(WindowId::Main, 100000, 1234.5F));
    EXPECT_EQ(store.writes, 2);
    EXPECT_EQ(store.saves,
              (std::vector<std::string> { "LTC/CRYPTO_NAME_TEXTBOX=Litecoin", "LTC/QT_WALLET_TICKBOX=1",
                                          "LTC/MAIN_Left=100000", "LTC/MAIN_Top=1234.5" }));
    EXPECT_TRUE(profile.ticked(Key::QtWalletTick));
    EXPECT_EQ(profile.geometry(WindowId::Main).left, 100000);
}

TEST_F(ProfileTest, UnreadableNumbersFallBackAndFailuresAreReported)
{
    ASSERT_TRUE(store.saveSetting("QL_KORVANE", "QL-KORVANE-V1", "AlwaysOnTop_TICKBOX", "yes"));
    ASSERT_TRUE(store.saveSetting("QL_KORVANE", "QL-KORVANE-V1", "MAIN_Top", "nan"));
    EXPECT_TRUE(profile.ticked(Key::AlwaysOnTop));
    EXPECT_EQ(profile.geometry(WindowId::Main).top, 1000);

    store.failSaves = true;
    const Result<> stored = profile.setText(Key::CryptoName, "Bitcoin");
    EXPECT_FALSE(stored);
    EXPECT_EQ(stored.error(), "Could not store CRYPTO_NAME_TEXTBOX: disk full");
    EXPECT_EQ(profile.setValues(std::vector<KeyValue>(2)).error(), "Could not store the profile: disk full");
}

} // namespace
} // namespace korvane
