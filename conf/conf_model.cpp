#include "conf/conf_model.h"

#include "conf/conf_value_rules.h"

#include <algorithm>
#include <optional>

namespace korvane {
namespace {

struct OptionInfo
{
    ConfOption option;
    std::string_view key;
    // A tick, or the text whose emptiness comments the line out.
    Key decidedBy;
    // A text or a tick written after the key part; none for the localhost address.
    std::optional<Key> value;
};

constexpr std::array<OptionInfo, kConfOptionCount> kOptions { {
    { ConfOption::Wallet, "wallet", Key::WalletFile, Key::WalletFile },
    { ConfOption::DisableWallet, "disablewallet", Key::WalletTick, Key::DisableWalletTick },
    { ConfOption::Server, "server", Key::ServerTick, Key::ServerTick },
    { ConfOption::Alerts, "alerts", Key::AlertsTick, Key::AlertsTick },
    { ConfOption::Listen, "listen", Key::ListenTick, Key::ListenTick },
    { ConfOption::Upnp, "upnp", Key::UpnpTick, Key::UpnpTick },
    { ConfOption::Dns, "dns", Key::DnsTick, Key::DnsTick },
    { ConfOption::Daemon, "daemon", Key::OldWalletSupportTick, Key::DaemonTick },
    { ConfOption::AllowIp, "allowip", Key::PeerLocalhostTick, std::nullopt },
    { ConfOption::RpcAllowIp, "rpcallowip", Key::RpcLocalhostTick, std::nullopt },
    { ConfOption::Timeout, "timeout", Key::Timeout, Key::Timeout },
    { ConfOption::RpcTimeout, "rpctimeout", Key::RpcTimeout, Key::RpcTimeout },
    { ConfOption::MaxConnections, "maxconnections", Key::MaxConnections, Key::MaxConnections },
    { ConfOption::Port, "port", Key::PeerPort, Key::PeerPort },
    { ConfOption::RpcPort, "rpcport", Key::RpcPort, Key::RpcPort },
    { ConfOption::UaComment, "uacomment", Key::UaComment, Key::UaComment },
    { ConfOption::RpcUser, "rpcuser", Key::RpcUser, Key::RpcUser },
    { ConfOption::RpcPassword, "rpcpassword", Key::RpcPassword, Key::RpcPassword },
    { ConfOption::RpcAuth, "rpcauth", Key::RpcAuth, Key::RpcAuth },
} };

constexpr std::array kGeneratorKeys {
    Key::CryptoName,       Key::WalletFile,
    Key::WalletTick,       Key::DisableWalletTick,
    Key::ServerTick,       Key::AlertsTick,
    Key::ListenTick,       Key::UpnpTick,
    Key::DnsTick,          Key::OldWalletSupportTick,
    Key::DaemonTick,       Key::PeerLocalhostTick,
    Key::RpcLocalhostTick, Key::Timeout,
    Key::RpcTimeout,       Key::MaxConnections,
    Key::PeerPort,         Key::RpcPort,
    Key::UaComment,        Key::RpcUser,
    Key::RpcPassword,      Key::RpcAuth,
    Key::FullNodeList,     Key::UserDefinedSettings,
};

bool isTick(Key key)
{
    return keyInfo(key).kind == KeyKind::Tick;
}

const OptionInfo& infoOf(ConfOption option)
{
    return kOptions.at(static_cast<std::size_t>(option));
}

const OptionInfo* optionDecidedBy(Key tick)
{
    const auto found = std::find_if(kOptions.begin(), kOptions.end(),
                                    [tick](const OptionInfo& info) { return info.decidedBy == tick; });
    return found == kOptions.end() ? nullptr : &*found;
}

// The tick that an option's own tick arms: "Disabled" for "Wallet", "Daemon" for "OLD Wallet Support".
std::optional<Key> dependentTick(const OptionInfo& info)
{
    if (info.value && *info.value != info.decidedBy && isTick(*info.value))
        return info.value;
    return std::nullopt;
}

} // namespace

std::string_view confOptionKey(ConfOption option)
{
    return infoOf(option).key;
}

std::string keyPartText(ConfOption option, bool active)
{
    std::string text = active ? "" : "#";
    text += infoOf(option).key;
    text += '=';
    return text;
}

std::span<const Key> confGeneratorKeys()
{
    return kGeneratorKeys;
}

ConfModel::ConfModel()
{
    for (Key key : kGeneratorKeys) {
        if (isTick(key)) {
            m_ticks[key] = false;
            m_enabled[key] = key != Key::DisableWalletTick && key != Key::DaemonTick;
        } else {
            m_texts[key];
        }
    }
    m_keyPartActive.fill(true);
}

std::string ConfModel::text(Key key) const
{
    return m_texts.at(key);
}

void ConfModel::setText(Key key, std::string_view value)
{
    std::string& text = m_texts.at(key);
    if (text == value)
        return;
    if (const std::string refused = isOneLineConfField(key) ? refusedOneLineCharacter(value) : ""; !refused.empty()) {
        if (m_refusalListener)
            m_refusalListener(key, refused);
        return;
    }
    text = value;
    changed();
}

bool ConfModel::ticked(Key key) const
{
    return m_ticks.at(key);
}

void ConfModel::setTicked(Key key, bool ticked)
{
    bool& state = m_ticks.at(key);
    if (state == ticked)
        return;
    state = ticked;
    runTickRule(key, ticked);
    changed();
}

bool ConfModel::tickEnabled(Key key) const
{
    return m_enabled.at(key);
}

void ConfModel::setTickEnabled(Key key, bool enabled)
{
    bool& state = m_enabled.at(key);
    if (state == enabled)
        return;
    state = enabled;
    changed();
}

bool ConfModel::keyPartActive(ConfOption option) const
{
    return m_keyPartActive.at(static_cast<std::size_t>(option));
}

std::string ConfModel::header() const
{
    return "# - " + text(Key::CryptoName) + std::string(kConfSignature);
}

void ConfModel::settleAfterLoad()
{
    for (const OptionInfo& info : kOptions) {
        if (!isTick(info.decidedBy))
            continue;
        if (info.option == ConfOption::Daemon) {
            m_enabled.at(Key::DaemonTick) = ticked(Key::OldWalletSupportTick);
            setKeyPart(info.option, ticked(Key::DaemonTick));
        } else {
            setKeyPart(info.option, ticked(info.decidedBy));
        }
    }
    changed();
}

std::string ConfModel::render()
{
    const auto before = m_keyPartActive;
    for (const OptionInfo& info : kOptions) {
        if (!isTick(info.decidedBy))
            setKeyPart(info.option, !text(info.decidedBy).empty());
    }

    std::string output = header();
    const auto addLine = [&output](std::string_view line) {
        output += kConfLineBreak;
        output += line;
    };
    for (const OptionInfo& info : kOptions) {
        if (info.option == ConfOption::RpcUser)
            addLine("");
        std::string value(kLocalhostAddress);
        if (info.value)
            value = isTick(*info.value) ? (ticked(*info.value) ? "1" : "0") : text(*info.value);
        addLine(keyPart(info.option) + value);
    }
    addLine("");
    addLine(text(Key::UserDefinedSettings));
    addLine("");
    addLine(text(Key::FullNodeList));

    if (m_keyPartActive != before)
        changed();
    return output;
}

void ConfModel::setKeyPart(ConfOption option, bool active)
{
    m_keyPartActive.at(static_cast<std::size_t>(option)) = active;
}

void ConfModel::runTickRule(Key tick, bool ticked)
{
    const OptionInfo* info = optionDecidedBy(tick);
    if (!info)
        return;
    setKeyPart(info->option, ticked);
    if (const auto dependent = dependentTick(*info)) {
        m_enabled.at(*dependent) = ticked;
        if (!ticked)
            m_ticks.at(*dependent) = false;
    }
}

void ConfModel::changed()
{
    if (m_listener)
        m_listener();
}

void clearAll(ConfFields& fields)
{
    fields.setText(Key::CryptoName, "");
    fields.setText(Key::WalletFile, "");
    for (Key tick : { Key::WalletTick, Key::ServerTick, Key::AlertsTick, Key::ListenTick, Key::UpnpTick, Key::DnsTick,
                      Key::OldWalletSupportTick, Key::DaemonTick })
        fields.setTicked(tick, false);
    fields.setTickEnabled(Key::DaemonTick, false);
    fields.setTicked(Key::PeerLocalhostTick, false);
    fields.setTicked(Key::RpcLocalhostTick, false);
    for (Key text : { Key::Timeout, Key::RpcTimeout, Key::MaxConnections, Key::PeerPort, Key::RpcPort, Key::UaComment,
                      Key::RpcUser, Key::RpcPassword, Key::RpcAuth, Key::UserDefinedSettings, Key::FullNodeList })
        fields.setText(text, "");
}

} // namespace korvane
