#include "settings/keys.h"

#include "base/ascii_case.h"

#include <algorithm>
#include <array>

namespace korvane {
namespace {

constexpr std::array kKeys {
    KeyInfo { Key::CryptoName, KeyKind::Text, "CRYPTO_NAME_TEXTBOX", "" },
    KeyInfo { Key::BlockchainHome, KeyKind::Text, "BLOCKCHAIN_HOME_TEXTBOX", "" },
    KeyInfo { Key::QtLocation, KeyKind::Text, "QT_LOCATION_TEXTBOX", "" },
    KeyInfo { Key::QtName, KeyKind::Text, "QT_NAME_TEXTBOX", "" },
    KeyInfo { Key::DaemonCliLocation, KeyKind::Text, "DAEMON_CLI_LOCATION_TEXTBOX", "" },
    KeyInfo { Key::DaemonName, KeyKind::Text, "DAEMON_NAME_TEXTBOX", "" },
    KeyInfo { Key::CliName, KeyKind::Text, "CLI_NAME_TEXTBOX", "" },
    KeyInfo { Key::QtCommand, KeyKind::Text, "QL_QT_COMMAND_TEXTBOX", "" },
    KeyInfo { Key::DaemonCommand, KeyKind::Text, "QL_D_COMMAND_TEXTBOX", "" },
    KeyInfo { Key::CliStopCommand, KeyKind::Text, "QLCLI_STOP_COMMAND_TEXTBOX", "" },
    KeyInfo { Key::QtWalletTick, KeyKind::Tick, "QT_WALLET_TICKBOX", "0" },
    KeyInfo { Key::QtDisableWalletTick, KeyKind::Tick, "QT_DISABLE_WALLET_TICKBOX", "0" },
    KeyInfo { Key::DaemonWalletTick, KeyKind::Tick, "DAEMON_WALLET_TICKBOX", "0" },
    KeyInfo { Key::DaemonDisableWalletTick, KeyKind::Tick, "DAEMON_DISABLE_WALLET_TICKBOX", "0" },
    KeyInfo { Key::CliDaemonTick, KeyKind::Tick, "CLI_DAEMON_TICKBOX", "0" },
    KeyInfo { Key::DisableDaemonTick, KeyKind::Tick, "DISABLE_DAEMON_TICKBOX", "0" },
    KeyInfo { Key::AlwaysOnTop, KeyKind::Tick, "AlwaysOnTop_TICKBOX", "1" },
    KeyInfo { Key::HeartbeatCountdown, KeyKind::Text, "HEARTBEAT_COUNTDOWN_TIME_TEXTBOX", "00:05:00" },
    KeyInfo { Key::AutoUpdateFolderSize, KeyKind::Tick, "AUTO_UPDATE_FOLDERSIZE_TICKBOX", "0" },
    KeyInfo { Key::UseOwnConf, KeyKind::Tick, "USE_OWN_CONF_TICKBOX", "0" },
    KeyInfo { Key::ConfFileLocation, KeyKind::Text, "CONF_FILE_LOCATION_TEXTBOX", "" },
    KeyInfo { Key::KeepAwakeWhile, KeyKind::Text, "KEEP_AWAKE_COMBOBOX", "daemon" },
    KeyInfo { Key::RestartDaemonTick, KeyKind::Tick, "RESTART_DAEMON_TICKBOX", "0" },
    KeyInfo { Key::LowSpaceGigabytes, KeyKind::Text, "LOW_SPACE_GB_TEXTBOX", "10" },
    KeyInfo { Key::WalletFile, KeyKind::Text, "WALLET_FILE_TEXTBOX", "" },
    KeyInfo { Key::WalletTick, KeyKind::Tick, "WALLET_TICKBOX", "0" },
    KeyInfo { Key::DisableWalletTick, KeyKind::Tick, "DISABLE_WALLET_TICKBOX", "0" },
    KeyInfo { Key::ServerTick, KeyKind::Tick, "SERVER_TICKBOX", "0" },
    KeyInfo { Key::AlertsTick, KeyKind::Tick, "ALERTS_TICKBOX", "0" },
    KeyInfo { Key::ListenTick, KeyKind::Tick, "LISTEN_TICKBOX", "0" },
    KeyInfo { Key::UpnpTick, KeyKind::Tick, "UPNP_TICKBOX", "0" },
    KeyInfo { Key::DnsTick, KeyKind::Tick, "DNS_TICKBOX", "0" },
    KeyInfo { Key::OldWalletSupportTick, KeyKind::Tick, "OLD_WALLET_SUPPORT_TICKBOX", "0" },
    KeyInfo { Key::DaemonTick, KeyKind::Tick, "DAEMON_TICKBOX", "0" },
    KeyInfo { Key::PeerLocalhostTick, KeyKind::Tick, "PEER_LOCALHOST_TICKBOX", "0" },
    KeyInfo { Key::RpcLocalhostTick, KeyKind::Tick, "RPC_LOCALHOST_TICKBOX", "0" },
    KeyInfo { Key::Timeout, KeyKind::Text, "TIMEOUT_TEXTBOX", "" },
    KeyInfo { Key::RpcTimeout, KeyKind::Text, "RPC_TIMEOUT_TEXTBOX", "" },
    KeyInfo { Key::MaxConnections, KeyKind::Text, "MAX_CONNECTIONS_TEXTBOX", "" },
    KeyInfo { Key::PeerPort, KeyKind::Text, "PEER_PORT_TEXTBOX", "" },
    KeyInfo { Key::RpcPort, KeyKind::Text, "RPC_PORT_TEXTBOX", "" },
    KeyInfo { Key::UaComment, KeyKind::Text, "UACOMMENT_TEXTBOX", "" },
    KeyInfo { Key::RpcUser, KeyKind::Text, "RPC_USER_TEXTBOX", "" },
    KeyInfo { Key::RpcPassword, KeyKind::Text, "RPC_PASSWORD_TEXTBOX", "" },
    KeyInfo { Key::RpcAuth, KeyKind::Text, "RPC_AUTH_TEXTBOX", "" },
    KeyInfo { Key::FullNodeList, KeyKind::Text, "FULL_NODE_LIST_TEXTBOX", "" },
    KeyInfo { Key::UserDefinedSettings, KeyKind::Text, "USER_DEFINED_SETTINGS_TEXTBOX", "" },
    // Minutes a stop asked of the node may take before the node status panel says it still runs.
    KeyInfo { Key::NodeStopLimit, KeyKind::Text, "NODE_STOP_LIMIT_MINUTES", "10" },
    // The main window's close box hides it to the tray, where there is one.
    KeyInfo { Key::CloseToTray, KeyKind::Tick, "CLOSE_TO_TRAY_TICKBOX", "0" },
};

constexpr bool keysFollowTheEnum()
{
    for (std::size_t i = 0; i < kKeys.size(); ++i) {
        if (kKeys[i].key != static_cast<Key>(i))
            return false;
    }
    return true;
}
static_assert(keysFollowTheEnum() && kKeys.back().key == Key::CloseToTray,
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
    WindowInfo { WindowId::NodeDetails, "NODE_DETAILS-", { 1400, 1400, 15000, 7500 } },
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
