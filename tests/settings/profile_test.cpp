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
    EXPECT_EQ(store.saves, (std::vector<std::string> { "LTC/CRYPTO_NAME_TEXTBOX=Litecoin", "LTC/QT_WALLET_TICKBOX=1",
                                                       "LTC/MAIN_Left=100000", "LTC/MAIN_Top=1234.5" }));
    EXPECT_TRUE(profile.ticked(Key::QtWalletTick));
    EXPECT_EQ(profile.geometry(WindowId::Main).left, 100000);
}

TEST_F(ProfileTest, UnreadableNumbersFallBackAndFailuresAreReported)
{
    store.saveSetting("QL_KORVANE", "QL-KORVANE-V1", "AlwaysOnTop_TICKBOX", "yes");
    store.saveSetting("QL_KORVANE", "QL-KORVANE-V1", "MAIN_Top", "nan");
    EXPECT_TRUE(profile.ticked(Key::AlwaysOnTop));
    EXPECT_EQ(profile.geometry(WindowId::Main).top, 1000);

    std::string reason;
    profile.setFailureHandler([&](const std::string& why) { reason = why; });
    store.failSaves = true;
    EXPECT_FALSE(profile.setText(Key::CryptoName, "Bitcoin"));
    EXPECT_EQ(reason, "Could not store CRYPTO_NAME_TEXTBOX: disk full");
}

} // namespace
} // namespace korvane
