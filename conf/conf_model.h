#pragma once

#include "settings/key_values.h"

#include <array>
#include <functional>
#include <map>
#include <span>
#include <string>
#include <string_view>

namespace korvane {

// The option lines of a ".conf" file, in the order they are written. Each starts with a key part:
// active ("server=") or commented out ("#server=").
enum class ConfOption
{
    Wallet,
    DisableWallet,
    Server,
    Alerts,
    Listen,
    Upnp,
    Dns,
    Daemon,
    AllowIp,
    RpcAllowIp,
    Timeout,
    RpcTimeout,
    MaxConnections,
    Port,
    RpcPort,
    UaComment,
    RpcUser,
    RpcPassword,
    RpcAuth,
};

inline constexpr std::size_t kConfOptionCount = 19;

// The option's key: "server".
std::string_view confOptionKey(ConfOption option);
// "server=" when active, "#server=" when commented out.
std::string keyPartText(ConfOption option, bool active);

// The value fields and tick boxes of the generator, in the order a window loads and saves them.
std::span<const Key> confGeneratorKeys();

inline constexpr std::string_view kLocalhostAddress = "127.0.0.1";
inline constexpr std::string_view kConfSignature = " - CONF FILE CREATED USING QUILLON - VORSELL - CONF-GENERATOR -";
inline constexpr std::string_view kNo2xComment = "NO2X";
inline constexpr std::string_view kConfLineBreak = "\r\n";

// What the presets and credentials windows may change in the generator: its value fields and
// ticks. A tick set here runs its rule as a click does.
using ConfFields = EditableKeyValues;

// The ".conf" generator's values and the text they render to. A tick's rule runs whenever its state
// changes: the seven plain ticks switch their own line's key part; "Wallet" and "OLD Wallet Support"
// also switch their line's key part and arm their dependent tick ("Disabled", "Daemon"), which is
// cleared and greyed when they are cleared. Key parts of text options follow their value at render.
class ConfModel : public ConfFields
{
public:
    ConfModel();

    std::string text(Key key) const override;
    // A one-line field refuses a value holding a control character: it keeps its value, and the
    // refusal listener hears which character it was.
    void setText(Key key, std::string_view value) override;
    bool ticked(Key key) const override;
    void setTicked(Key key, bool ticked) override;
    bool tickEnabled(Key key) const override;
    void setTickEnabled(Key key, bool enabled) override;

    bool keyPartActive(ConfOption option) const;
    std::string keyPart(ConfOption option) const { return keyPartText(option, keyPartActive(option)); }
    // The first line: "# - " + the crypto name + the signature.
    std::string header() const;

    // After a window has loaded every stored value: sets the tick-decided key parts from the
    // tick states. The daemon line follows "Daemon" itself here, not "OLD Wallet Support".
    void settleAfterLoad();

    // Sets the key parts of the text options (commented when their value is exactly empty) and
    // returns the conf text: 25 lines joined by CR LF, values verbatim, nothing trimmed.
    std::string render();

    // Called after every change of a value, a tick, an enabled state or a key part.
    void setChangeListener(std::function<void()> listener) { m_listener = std::move(listener); }
    void setRefusalListener(std::function<void(Key, const std::string& character)> listener)
    {
        m_refusalListener = std::move(listener);
    }

private:
    void setKeyPart(ConfOption option, bool active);
    void runTickRule(Key tick, bool ticked);
    void changed();

    std::map<Key, std::string> m_texts;
    std::map<Key, bool> m_ticks;
    std::map<Key, bool> m_enabled;
    std::array<bool, kConfOptionCount> m_keyPartActive {};
    std::function<void()> m_listener;
    std::function<void(Key, const std::string&)> m_refusalListener;
};

// "Clear ALL": empties every value and clears every tick, running the tick rules.
void clearAll(ConfFields& fields);

} // namespace korvane
