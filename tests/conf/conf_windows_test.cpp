#include "app/main_settings_window.h"
#include "conf/rpc_test_credentials.h"
#include "tests/conf/conf_test_support.h"
#include "tests/gui/expected.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QMessageAuthenticationCode>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

namespace korvane::test {
namespace {

const QString kAllEmptyPreview = QStringList {
    "# -  - CONF FILE CREATED USING QUILLON - VORSELL - CONF-GENERATOR -",
    "#wallet=",
    "#disablewallet=0",
    "#server=0",
    "#alerts=0",
    "#listen=0",
    "#upnp=0",
    "#dns=0",
    "#daemon=0",
    "#allowip=127.0.0.1",
    "#rpcallowip=127.0.0.1",
    "#timeout=",
    "#rpctimeout=",
    "#maxconnections=",
    "#port=",
    "#rpcport=",
    "#uacomment=",
    "",
    "#rpcuser=",
    "#rpcpassword=",
    "#rpcauth=",
    "",
    "",
    "",
    "",
}.join('\n');

// Waits for the next preview tick to show `expected` (at most a little over a second).
bool previewShows(const QWidget& generator, const QString& expected)
{
    return QTest::qWaitFor([&] { return text(generator, "CONF_OUTPUT_TEXTBOX") == expected; }, 1500);
}

bool previewContains(const QWidget& generator, const QString& line)
{
    return QTest::qWaitFor([&] { return text(generator, "CONF_OUTPUT_TEXTBOX").split('\n').contains(line); }, 1500);
}

TEST_F(ConfWindowsTest, OpensFromTheMainSettingsAndAFirstRunPreviewsTheAllEmptyText)
{
    MainSettingsWindow settings(m_services, m_profile, nullptr);
    const bool opened = whileModal(
        [&] { settings.exec(); },
        [&](QWidget& settingsWindow) {
            EXPECT_TRUE(whileModal(
                [&] { click(settingsWindow, "CONF_MANAGER_BUTTON"); },
                [&](QWidget& generator) {
                    EXPECT_EQ(generator.objectName(), "KORVANE_CONF_GENERATOR_MAIN");
                    EXPECT_EQ(generator.windowTitle(), "KORVANE - CRYPTO \".CONF\" CONFIGURATION FILE GENERATOR");
                    EXPECT_EQ(generator.parentWidget(), &settingsWindow);
                    EXPECT_EQ(text(generator, "CONF_FILE_LOCATION_TEXTBOX"), "/opt/nodes/BTC-CRYPTO-CONFIG.conf");
                    EXPECT_EQ(text(generator, "CONF_OUTPUT_TEXTBOX"), "") << "the preview fills at the first tick";
                    EXPECT_EQ(text(generator, "SERVER_EQUALS_TEXTBOX"), "#server=") << "set from the ticks at load";
                    EXPECT_EQ(text(generator, "PORT_EQUALS_TEXTBOX"), "port=") << "set by the first tick";
                    EXPECT_FALSE(child(generator, "DISABLE_WALLET_TICKBOX")->isEnabled());
                    EXPECT_FALSE(child(generator, "DAEMON_TICKBOX")->isEnabled());
                    EXPECT_TRUE(previewShows(generator, kAllEmptyPreview));
                    EXPECT_EQ(text(generator, "PORT_EQUALS_TEXTBOX"), "#port=");

                    type(generator, "CRYPTO_NAME_TEXTBOX", "LTC");
                    tick(generator, "SERVER_TICKBOX");
                    click(generator, "CANCEL_BUTTON");
                }));
            click(settingsWindow, "CANCEL_BUTTON");
        });
    EXPECT_TRUE(opened);
    EXPECT_NE(stored("MAIN-Left"), "<none>");
    EXPECT_EQ(stored("MAIN-Width"), "<none>");
    EXPECT_EQ(stored("CRYPTO_NAME_TEXTBOX"), "<none>") << "closing stores only the position";
    EXPECT_EQ(stored("SERVER_TICKBOX"), "<none>");

    m_fakes.ownExecutable.executableFolder = "C:\\Nodes";
    MainSettingsWindow onWindows(m_services, m_profile, nullptr, windowsNodeConventions());
    EXPECT_EQ(text(onWindows, "CONF_FILE_LOCATION_TEXTBOX"), "C:\\Nodes\\BTC-CRYPTO-CONFIG.conf");
}

TEST_F(ConfWindowsTest, TickRulesRunForClicksToggleLoadAndClearAll)
{
    // Stored: "OLD Wallet Support" with "Daemon" clear; the load leaves the daemon line commented.
    ASSERT_TRUE(m_profile.setTicked(Key::WalletTick, true));
    ASSERT_TRUE(m_profile.setTicked(Key::DisableWalletTick, true));
    ASSERT_TRUE(m_profile.setTicked(Key::OldWalletSupportTick, true));
    QWidget& generator = openGenerator();
    EXPECT_TRUE(ticked(generator, "DISABLE_WALLET_TICKBOX"));
    EXPECT_TRUE(child(generator, "DAEMON_TICKBOX")->isEnabled());
    EXPECT_EQ(text(generator, "DAEMON_EQUALS_TEXTBOX"), "#daemon=");

    // A click on "OLD Wallet Support" follows the click-time rule, at once.
    tick(generator, "OLD_WALLET_SUPPORT_TICKBOX");
    EXPECT_FALSE(child(generator, "DAEMON_TICKBOX")->isEnabled());
    tick(generator, "OLD_WALLET_SUPPORT_TICKBOX");
    EXPECT_EQ(text(generator, "DAEMON_EQUALS_TEXTBOX"), "daemon=");

    // A toggle without a click, as a screen reader's action does.
    child<QCheckBox>(generator, "WALLET_TICKBOX")->toggle();
    EXPECT_FALSE(ticked(generator, "DISABLE_WALLET_TICKBOX"));
    EXPECT_FALSE(child(generator, "DISABLE_WALLET_TICKBOX")->isEnabled());
    EXPECT_EQ(text(generator, "DISABLE_WALLET_EQUALS_TEXTBOX"), "#disablewallet=");
    child<QCheckBox>(generator, "UPNP_TICKBOX")->toggle();
    EXPECT_EQ(text(generator, "UPNP_EQUALS_TEXTBOX"), "upnp=");

    click(generator, "NO_2X_BUTTON");
    auto* settings = child<QPlainTextEdit>(generator, "USER_DEFINED_SETTINGS_TEXTBOX");
    QTest::keyClicks(settings, "txindex=1");
    QTest::keyClick(settings, Qt::Key_Return, Qt::ControlModifier);
    QTest::keyClicks(settings, "prune=0");
    EXPECT_TRUE(previewShows(generator,
                             QStringList { "# -  - CONF FILE CREATED USING QUILLON - VORSELL - CONF-GENERATOR -",
                                           "#wallet=",
                                           "#disablewallet=0",
                                           "#server=0",
                                           "#alerts=0",
                                           "#listen=0",
                                           "upnp=1",
                                           "#dns=0",
                                           "daemon=0",
                                           "#allowip=127.0.0.1",
                                           "#rpcallowip=127.0.0.1",
                                           "#timeout=",
                                           "#rpctimeout=",
                                           "#maxconnections=",
                                           "#port=",
                                           "#rpcport=",
                                           "uacomment=NO2X",
                                           "",
                                           "#rpcuser=",
                                           "#rpcpassword=",
                                           "#rpcauth=",
                                           "",
                                           "txindex=1",
                                           "prune=0",
                                           "",
                                           "" }
                                 .join('\n')))
        << text(generator, "CONF_OUTPUT_TEXTBOX").toStdString();

    click(generator, "CLEAR_ALL_BUTTON");
    EXPECT_FALSE(child(generator, "DAEMON_TICKBOX")->isEnabled());
    EXPECT_TRUE(previewShows(generator, kAllEmptyPreview));
    EXPECT_EQ(stored("UPNP_TICKBOX"), "<none>") << "Clear ALL stores nothing";
}

// Opens the coin presets window from the generator and runs `act` in it.
void inCoinPresets(QWidget& generator, const std::function<void(QWidget&)>& act)
{
    EXPECT_TRUE(whileModal([&] { click(generator, "IDS_BUTTON"); },
                           [&](QWidget& presets) {
                               act(presets);
                               click(presets, "CANCEL_BUTTON");
                           }));
}

std::vector<bool> armedButtons(const QWidget& presets)
{
    std::vector<bool> armed;
    for (const char* name : { "BASIC_SETTINGS_BUTTON", "BTC_IMPORT_BUTTON", "NMC_IMPORT_BUTTON", "LTC_IMPORT_BUTTON",
                              "VTC_IMPORT_BUTTON", "DASH_IMPORT_BUTTON", "BTG_IMPORT_BUTTON" })
        armed.push_back(child(presets, name)->isEnabled());
    return armed;
}

TEST_F(ConfWindowsTest, CoinPresetsAreArmedByTheirTickAndEndInTheGivenTickStates)
{
    const std::vector<bool> allArmed(7, true);
    const std::vector<bool> noneArmed(7, false);
    QWidget& generator = openGenerator();
    inCoinPresets(generator, [&](QWidget& presets) {
        EXPECT_EQ(presets.objectName(), "KORVANE_CONF_GENERATOR_IDS");
        EXPECT_EQ(presets.parentWidget(), &generator);
        EXPECT_EQ(armedButtons(presets), noneArmed);
        tick(presets, "IMPORT_SETTINGS_TICKBOX");
        EXPECT_EQ(armedButtons(presets), allArmed);
        click(presets, "BASIC_SETTINGS_BUTTON");
        EXPECT_EQ(armedButtons(presets), allArmed) << "basic settings keep the buttons armed";
        click(presets, "NMC_IMPORT_BUTTON");
        EXPECT_FALSE(ticked(presets, "IMPORT_SETTINGS_TICKBOX"));
        EXPECT_EQ(armedButtons(presets), noneArmed) << "a coin import disarms them";
        EXPECT_EQ(text(presets, "CANCEL_BUTTON"), "Close");
        EXPECT_EQ(accessibleName(child(presets, "CANCEL_BUTTON")), "Close");
    });
    EXPECT_TRUE(ticked(generator, "OLD_WALLET_SUPPORT_TICKBOX"));
    EXPECT_TRUE(ticked(generator, "DAEMON_TICKBOX"));
    EXPECT_TRUE(child(generator, "DAEMON_TICKBOX")->isEnabled());
    EXPECT_TRUE(ticked(generator, "WALLET_TICKBOX"));
    EXPECT_EQ(text(generator, "CRYPTO_NAME_TEXTBOX"), "NMC - Namecoin");
    EXPECT_EQ(text(generator, "RPC_PORT_TEXTBOX"), "8336");
    EXPECT_TRUE(previewContains(generator, "daemon=1"));

    inCoinPresets(generator, [&](QWidget& presets) {
        EXPECT_EQ(armedButtons(presets), noneArmed) << "each opening starts disarmed";
        EXPECT_EQ(text(presets, "CANCEL_BUTTON"), "Cancel");
        tick(presets, "IMPORT_SETTINGS_TICKBOX");
        click(presets, "NMC_IMPORT_BUTTON");
        tick(presets, "IMPORT_SETTINGS_TICKBOX");
        click(presets, "BASIC_SETTINGS_BUTTON");
    });
    EXPECT_FALSE(ticked(generator, "OLD_WALLET_SUPPORT_TICKBOX"));
    EXPECT_FALSE(ticked(generator, "DAEMON_TICKBOX"));
    EXPECT_FALSE(child(generator, "DAEMON_TICKBOX")->isEnabled());
    EXPECT_EQ(text(generator, "TIMEOUT_TEXTBOX"), "3000");
    EXPECT_TRUE(previewContains(generator, "#daemon=0"));
    EXPECT_NE(stored("IDS-Left"), "<none>");
}

// Opens the RPC test credentials window from the generator and runs `act` in it.
void inTestCredentials(QWidget& generator, const std::function<void(QWidget&)>& act)
{
    EXPECT_TRUE(whileModal([&] { click(generator, "QL_RPC_TEST_CREDENTIALS_BUTTON"); },
                           [&](QWidget& credentials) {
                               act(credentials);
                               click(credentials, "CANCEL_BUTTON");
                           }));
}

// The numbers (1 to 10) of the preset buttons shown in green.
std::vector<int> greenPresets(const QWidget& credentials)
{
    std::vector<int> green;
    for (int number = 1; number <= 10; ++number) {
        const QByteArray name = "TEST_CFG_" + QByteArray::number(number) + "_BUTTON";
        const QColor colour = child(credentials, name.constData())->palette().color(QPalette::Button);
        if (colour == test::seen::kGreen)
            green.push_back(number);
        else
            EXPECT_EQ(colour, QApplication::palette().color(QPalette::Button)) << number;
    }
    return green;
}

TEST_F(ConfWindowsTest, TestCredentialsHighlightByExactUserAndReachTheGeneratorOnlyWhenUsed)
{
    const RpcTestCredentials& seventh = rpcTestCredentials()[6];
    QWidget& generator = openGenerator();
    type(generator, "RPC_USER_TEXTBOX", "HODL_HODL_HODL");
    type(generator, "RPC_PASSWORD_TEXTBOX", "mine");
    inTestCredentials(generator, [&](QWidget& credentials) {
        EXPECT_EQ(credentials.objectName(), "KORVANE_CONF_GENERATOR_TEST_RPC");
        EXPECT_EQ(text(credentials, "RPC_USER_TEXTBOX"), "HODL_HODL_HODL");
        EXPECT_EQ(text(credentials, "RPC_PASSWORD_TEXTBOX"), "mine");
        EXPECT_EQ(greenPresets(credentials), std::vector { 10 });

        click(credentials, "TEST_CFG_3_BUTTON");
        click(credentials, "TEST_CFG_7_BUTTON");
        EXPECT_EQ(greenPresets(credentials), std::vector { 7 });
        EXPECT_EQ(text(credentials, "RPC_USER_TEXTBOX"), controls::fromStd(seventh.user));
        EXPECT_EQ(text(credentials, "RPC_PASSWORD_TEXTBOX"), controls::fromStd(seventh.password));
        EXPECT_EQ(text(credentials, "RPC_AUTH_TEXTBOX"), controls::fromStd(seventh.rpcAuth));
        EXPECT_EQ(text(credentials, "CANCEL_BUTTON"), "Cancel");
    });
    EXPECT_EQ(text(generator, "RPC_USER_TEXTBOX"), "HODL_HODL_HODL") << "closing changes nothing";
    EXPECT_EQ(text(generator, "RPC_PASSWORD_TEXTBOX"), "mine");
    EXPECT_EQ(text(generator, "RPC_AUTH_TEXTBOX"), "");

    type(generator, "RPC_USER_TEXTBOX", "hodl_hodl_hodl");
    inTestCredentials(generator, [&](QWidget& credentials) {
        EXPECT_EQ(greenPresets(credentials), std::vector<int> {}) << "the user name is compared case by case";
        click(credentials, "TEST_CFG_7_BUTTON");
        click(credentials, "USE_CURRENT_CREDENTIALS_BUTTON");
        EXPECT_EQ(text(credentials, "CANCEL_BUTTON"), "Close");
    });
    EXPECT_EQ(text(generator, "RPC_USER_TEXTBOX"), controls::fromStd(seventh.user));
    EXPECT_EQ(text(generator, "RPC_PASSWORD_TEXTBOX"), controls::fromStd(seventh.password));
    EXPECT_EQ(text(generator, "RPC_AUTH_TEXTBOX"), controls::fromStd(seventh.rpcAuth));
    EXPECT_TRUE(previewContains(generator, "rpcauth=" + controls::fromStd(seventh.rpcAuth)));
}

// A credential that only passes through the window unchanged keeps its stored bytes.
TEST_F(ConfWindowsTest, UsingTheCurrentCredentialsKeepsBytesThatAreNotUtf8)
{
    EXPECT_TRUE(m_fakes.settings.saveSetting("QL_KORVANE", "BTC", "RPC_PASSWORD_TEXTBOX", "p\xE9ss"));
    QWidget& generator = openGenerator();
    type(generator, "RPC_USER_TEXTBOX", "alice");
    inTestCredentials(generator, [&](QWidget& credentials) { click(credentials, "USE_CURRENT_CREDENTIALS_BUTTON"); });
    click(generator, "SAVE_BUTTON");
    const std::string written = m_fakes.textFiles.files.at("/opt/nodes/BTC-CRYPTO-CONFIG.conf");
    EXPECT_NE(written.find("\r\nrpcuser=alice\r\nrpcpassword=p\xE9ss\r\n"), std::string::npos) << written;
}

TEST(RpcTestCredentialsTest, EveryRpcAuthLineMatchesItsUserAndPassword)
{
    const struct
    {
        const char* user;
        int saltLength;
        int lineLength;
    } presets[] = {
        { "CRYPTO_MOONSHOT", 30, 111 },    { "BULLS_GO_LONG", 32, 111 },   { "BEARS_GO_SHORT", 30, 110 },
        { "GENESIS_BLOCKERS", 32, 114 },   { "BITCOIN_IS_KING", 32, 113 }, { "BITCONNECT_LIVES_ON", 32, 117 },
        { "CRYPTO_TO_INFINITY", 31, 115 }, { "CRYPTO_ALWAYS", 31, 110 },   { "IM_ALL_IN", 30, 105 },
        { "HODL_HODL_HODL", 32, 112 },
    };
    const QRegularExpression base64Url(QStringLiteral("^[A-Za-z0-9_-]{43}=$"));
    const QRegularExpression lowerHex(QStringLiteral("^[0-9a-f]+$"));
    ASSERT_EQ(rpcTestCredentials().size(), std::size(presets));
    for (std::size_t i = 0; i < std::size(presets); ++i) {
        const RpcTestCredentials& credentials = rpcTestCredentials()[i];
        SCOPED_TRACE(presets[i].user);
        EXPECT_EQ(credentials.user, presets[i].user);
        const QString password = controls::fromStd(credentials.password);
        const QString line = controls::fromStd(credentials.rpcAuth);
        EXPECT_TRUE(base64Url.match(password).hasMatch()) << password.toStdString();
        EXPECT_EQ(line.size(), presets[i].lineLength);

        const QString prefix = QString::fromLatin1(presets[i].user) + QLatin1Char(':');
        ASSERT_TRUE(line.startsWith(prefix));
        const QStringList saltAndHash = line.mid(prefix.size()).split(QLatin1Char('$'));
        ASSERT_EQ(saltAndHash.size(), 2);
        EXPECT_EQ(saltAndHash[0].size(), presets[i].saltLength);
        EXPECT_TRUE(lowerHex.match(saltAndHash[0]).hasMatch());
        const QByteArray hmac
            = QMessageAuthenticationCode::hash(password.toUtf8(), saltAndHash[0].toUtf8(), QCryptographicHash::Sha256);
        EXPECT_EQ(saltAndHash[1], QString::fromLatin1(hmac.toHex()));
    }
}

} // namespace
} // namespace korvane::test
