#include "settings/keys.h"

#include "base/ascii_case.h"

#include <algorithm>
#include <array>

namespace korvane {
namespace {

constexpr std::array kKeys {
    KeyInfo { Key::CryptoName, "CRYPTO_NAME_TEXTBOX", "" },
    KeyInfo { Key::BlockchainHome, "BLOCKCHAIN_HOME_TEXTBOX", "" },
    KeyInfo { Key::QtLocation, "QT_LOCATION_TEXTBOX", "" },
    KeyInfo { Key::QtName, "QT_NAME_TEXTBOX", "" },
    KeyInfo { Key::DaemonCliLocation, "DAEMON_CLI_LOCATION_TEXTBOX", "" },
    KeyInfo { Key::DaemonName, "DAEMON_NAME_TEXTBOX", "" },
    KeyInfo { Key::CliName, "CLI_NAME_TEXTBOX", "" },
    KeyInfo { Key::QtCommand, "QL_QT_COMMAND_TEXTBOX", "" },
    KeyInfo { Key::DaemonCommand, "QL_D_COMMAND_TEXTBOX", "" },
    KeyInfo { Key::CliStopCommand, "QLCLI_STOP_COMMAND_TEXTBOX", "" },
    KeyInfo { Key::QtWalletTick, "QT_WALLET_TICKBOX", "0" },
    KeyInfo { Key::QtDisableWalletTick, "QT_DISABLE_WALLET_TICKBOX", "0" },
    KeyInfo { Key::DaemonWalletTick, "DAEMON_WALLET_TICKBOX", "0" },
    KeyInfo { Key::DaemonDisableWalletTick, "DAEMON_DISABLE_WALLET_TICKBOX", "0" },
    KeyInfo { Key::CliDaemonTick, "CLI_DAEMON_TICKBOX", "0" },
    KeyInfo { Key::DisableDaemonTick, "DISABLE_DAEMON_TICKBOX", "0" },
    KeyInfo { Key::AlwaysOnTop, "AlwaysOnTop_TICKBOX", "1" },
    KeyInfo { Key::HeartbeatCountdown, "HEARTBEAT_COUNTDOWN_TIME_TEXTBOX", "00:05:00" },
    KeyInfo { Key::AutoUpdateFolderSize, "AUTO_UPDATE_FOLDERSIZE_TICKBOX", "0" },
    KeyInfo { Key::UseOwnConf, "USE_OWN_CONF_TICKBOX", "0" },
    KeyInfo { Key::ConfFileLocation, "CONF_FILE_LOCATION_TEXTBOX", "" },
    KeyInfo { Key::WalletFile, "WALLET_FILE_TEXTBOX", "" },
    KeyInfo { Key::WalletTick, "WALLET_TICKBOX", "0" },
    KeyInfo { Key::DisableWalletTick, "DISABLE_WALLET_TICKBOX", "0" },
    KeyInfo { Key::ServerTick, "SERVER_TICKBOX", "0" },
    KeyInfo { Key::AlertsTick, "ALERTS_TICKBOX", "0" },
    KeyInfo { Key::ListenTick, "LISTEN_TICKBOX", "0" },
    KeyInfo { Key::UpnpTick, "UPNP_TICKBOX", "0" },
    KeyInfo { Key::DnsTick, "DNS_TICKBOX", "0" },
    KeyInfo { Key::OldWalletSupportTick, "OLD_WALLET_SUPPORT_TICKBOX", "0" },
    KeyInfo { Key::DaemonTick, "DAEMON_TICKBOX", "0" },
    KeyInfo { Key::PeerLocalhostTick, "PEER_LOCALHOST_TICKBOX", "0" },
    KeyInfo { Key::RpcLocalhostTick, "RPC_LOCALHOST_TICKBOX", "0" },
    KeyInfo { Key::Timeout, "TIMEOUT_TEXTBOX", "" },
    KeyInfo { Key::RpcTimeout, "RPC_TIMEOUT_TEXTBOX", "" },
    KeyInfo { Key::MaxConnections, "MAX_CONNECTIONS_TEXTBOX", "" },
    KeyInfo { Key::PeerPort, "PEER_PORT_TEXTBOX", "" },
    KeyInfo { Key::RpcPort, "RPC_PORT_TEXTBOX", "" },
    KeyInfo { Key::UaComment, "UACOMMENT_TEXTBOX", "" },
    KeyInfo { Key::RpcUser, "RPC_USER_TEXTBOX", "" },
    KeyInfo { Key::RpcPassword, "RPC_PASSWORD_TEXTBOX", "" },
    KeyInfo { Key::RpcAuth, "RPC_AUTH_TEXTBOX", "" },
    KeyInfo { Key::FullNodeList, "FULL_NODE_LIST_TEXTBOX", "" },
    KeyInfo { Key::UserDefinedSettings, "USER_DEFINED_SETTINGS_TEXTBOX", "" },
    // Minutes a stop asked of the node may take before the node status panel says it still runs.
    KeyInfo { Key::NodeStopLimit, "NODE_STOP_LIMIT_MINUTES", "10" },
};

constexpr bool keysFollowTheEnum()
{
    for (std::size_t i = 0; i < kKeys.size(); ++i) {
        if (kKeys[i].key != static_cast<Key>(i))
            return false;
    }
    return true;
}
static_assert(keysFollowTheEnum() && kKeys.back().key == Key::NodeStopLimit,
              "the key table lists every key in the order of the Key enum");

constexpr std::array kWindows {
    WindowInfo { WindowId::Main, "MAIN_", { 1000, 1000, 6720, 2925 } },
    WindowInfo { WindowId::MainSettings, "MAIN_SETTINGS-", { 1000, 1000, 9735, 3465 } },
    WindowInfo { WindowId::CryptoSettings, "CRYPTO_SETTINGS-", { 1000, 1000, 8895, 6735 } },
    WindowInfo { WindowId::OutputCommands, "SINGLE_OUTPUT_COMMANDS_WINDOW-", { 1000, 1000, 7995, 4440 } },
    WindowInfo { WindowId::Terminator, "TERMINATOR_WINDOW-", { 1000, 1000, 10545, 3870 } },
    WindowInfo { WindowId::ConfGenerator, "MAIN-", { 1000, 1000, 13785, 7965 } },
    WindowInfo { WindowId::CoinPresets, "IDS-", { 1000, 1000, 6870, 3180 } },
    WindowInfo { WindowId::TestRpcCredentials, "TEST-RPC-CREDENTIALS-", { 1000, 1000, 7920, 6690 } },
    WindowInfo { WindowId::About, "ABOUT_", { 1000, 1000, 9345, 2505 } },
    WindowInfo { WindowId::Donations, "DONATIONS_WINDOW-", { 1000, 1000, 8880, 6330 } },
};

constexpr std::array<std::string_view, 4> kGeometryParts { "Left", "Top", "Width", "Height" };

} // namespace

std::span<const KeyInfo> allKeys()
{
    return kKeys;
}

const KeyInfo& keyInfo(Key key)
{
    return kKeys.at(static_cast<std::size_t>(key));
}

std::optional<Key> keyByName(std::string_view name)
{
    const auto found = std::find_if(kKeys.begin(), kKeys.end(),
                                    [&](const KeyInfo& info) { return equalsIgnoringAsciiCase(info.name, name); });
    return found == kKeys.end() ? std::nullopt : std::optional(found->key);
}

const WindowInfo& windowInfo(WindowId window)
{
    return kWindows.at(static_cast<std::size_t>(window));
}

std::string geometryKey(WindowId window, GeometryPart part)
{
    return std::string(windowInfo(window).prefix) + std::string(kGeometryParts.at(static_cast<std::size_t>(part)));
}

} // namespace korvane
