#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace korvane {

// Application name under which every value is stored.
inline constexpr std::string_view kApplicationName = "QL_KORVANE";

// Every stored value but window positions. A key's text is the name of the control that holds it.
enum class Key
{
    // node profile
    CryptoName,
    BlockchainHome,
    QtLocation,
    QtName,
    DaemonCliLocation,
    DaemonName,
    CliName,
    QtCommand,
    DaemonCommand,
    CliStopCommand,
    QtWalletTick,
    QtDisableWalletTick,
    DaemonWalletTick,
    DaemonDisableWalletTick,
    CliDaemonTick,
    DisableDaemonTick,
    // main window and main settings
    AlwaysOnTop,
    HeartbeatCountdown,
    AutoUpdateFolderSize,
    UseOwnConf,
    ConfFileLocation,
    KeepAwakeWhile, // "off", "daemon" (while the daemon runs) or "syncing" (while the node syncs)
    RestartDaemonTick,
    LowSpaceGigabytes,
    // conf generator
    WalletFile,
    WalletTick,
    DisableWalletTick,
    ServerTick,
    AlertsTick,
    ListenTick,
    UpnpTick,
    DnsTick,
    OldWalletSupportTick,
    DaemonTick,
    PeerLocalhostTick,
    RpcLocalhostTick,
    Timeout,
    RpcTimeout,
    MaxConnections,
    PeerPort,
    RpcPort,
    UaComment,
    RpcUser,
    RpcPassword,
    RpcAuth,
    FullNodeList,
    UserDefinedSettings,
    // node status
    NodeStopLimit,
    // main settings
    CloseToTray,
};

// What a key holds, and so which control shows it.
enum class KeyKind
{
    Text, // a text box
    Tick, // a tick box: "1" or "0"
};

struct KeyInfo
{
    Key key;
    KeyKind kind;
    std::string_view name;
    std::string_view defaultValue;
};

std::span<const KeyInfo> allKeys();
const KeyInfo& keyInfo(Key key);
inline std::string_view keyName(Key key)
{
    return keyInfo(key).name;
}
std::optional<Key> keyByName(std::string_view name);

// Windows that keep their position; each has a key prefix and a design size.
enum class WindowId
{
    Main,
    MainSettings,
    CryptoSettings,
    OutputCommands,
    Terminator,
    ConfGenerator,
    CoinPresets,
    TestRpcCredentials,
    About,
    Donations,
    NodeDetails,
};

enum class GeometryPart
{
    Left,
    Top,
    Width,
    Height,
};

// A window's rectangle in twips (1/1440 inch).
struct Geometry
{
    float left = 0;
    float top = 0;
    float width = 0;
    float height = 0;

    bool operator==(const Geometry&) const = default;
};

struct WindowInfo
{
    WindowId window;
    std::string_view prefix;
    Geometry defaults;
};

const WindowInfo& windowInfo(WindowId window);
std::string geometryKey(WindowId window, GeometryPart part);

} // namespace korvane
