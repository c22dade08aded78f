#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace korvane {

// How a node (bitcoind and the daemons that share its code) reads its conf file and command line.

enum class NodeNetwork
{
    Main,
    Test,
    Signet,
    Regtest,
};

// The name a network goes by in section headers and in "-chain=": "main", "test", "signet", "regtest".
std::string_view networkName(NodeNetwork network);
std::optional<NodeNetwork> networkByName(std::string_view name);

// Options that a node on any network but main reads only from that network's section of the conf
// file or from its command line; set in the default section alone, they stop the node at start.
bool isNetworkOnlyOption(std::string_view name);

// Options of which the node takes every value, each line adding one, where of any other option it
// takes a single value.
bool isListOption(std::string_view name);

// Options that choose the network; of these the node takes the last value, in a conf file too.
bool isNetworkChoiceOption(std::string_view name);

struct NodeConfLine
{
    enum class Kind
    {
        Empty, // blank, or a comment only
        Section, // "[name]"
        Setting, // "name=value"
        Malformed, // anything else: the node refuses to start
    };

    int number = 0; // counted from 1
    Kind kind = Kind::Empty;
    // A setting's section ("" for the default one, before any header); a header's own name.
    std::string section;
    std::string name; // a setting's option name, without a section prefix and as written ("nolisten")
    std::string value;
    std::string problem; // why the node refuses a malformed line, in the node's own terms
};

// An option's name without the "no" that negates it: "nolisten" is "listen". The node reads every
// name so, in a conf file and on its command line.
std::string_view unnegatedName(std::string_view name);

// Reads a conf file's text line by line as the node does: "#" starts a comment, blanks around a
// line, name and value are dropped, "[name]" opens a section, "name=value" sets an option
// ("section.name=value" sets it in that section).
std::vector<NodeConfLine> parseNodeConf(std::string_view text);

struct NodeOption
{
    std::string section; // "" unless given as "-section.name"
    std::string name; // without dashes, section and negation: "-nolisten" is "listen"
    std::string value; // a negated option reads "0" (or "1" for "-nofoo=0")
    bool hasValue = false; // written with "="
    std::string written; // the word as it stands on the command line
};

// The options among a node's command-line words (the program's own word left out). Like the node,
// reading stops at the first word that does not start with "-"; "--name" counts as "-name".
std::vector<NodeOption> commandLineOptions(std::span<const std::string> words);

// The value of each option as the node resolves it from its command line and one conf file.
class NodeSettings
{
public:
    NodeSettings(std::vector<NodeOption> commandLine, const std::vector<NodeConfLine>& conf);

    struct NetworkChoice
    {
        std::optional<NodeNetwork> network; // empty when the choice contradicts itself or is unknown
        std::string problem; // why, in the node's own terms
    };

    // The network chosen by "-regtest", "-testnet", "-signet" or "-chain=" on the command line or in
    // the conf file's default section (main when none is).
    NetworkChoice network() const;

    struct Found
    {
        std::string value;
        std::optional<std::size_t> confLine; // the index of its conf line; empty on the command line
        std::string section; // the conf section it was found in ("" for the default one)
    };

    // An option's value on `network`: the command line's last, else the network section's first,
    // else (unless a network-only option on another network than main) the default section's first.
    // In a conf file the first value wins: the node keeps that rule for older files' sake.
    std::optional<Found> find(std::string_view name, NodeNetwork network) const;
    std::optional<std::string> value(std::string_view name, NodeNetwork network) const;

    // Every value of a list option on `network`, as the node gathers them: the command line's, then
    // the network section's, then (unless a network-only option on another network than main) the
    // default section's.
    std::vector<std::string> values(std::string_view name, NodeNetwork network) const;

    // The network-only options that, on a network other than main, are set in the conf file's
    // default section alone: the node refuses to start with them.
    std::vector<std::string> unsuitableDefaultSectionOptions(NodeNetwork network) const;

    // True when the option is set on the command line (any section).
    bool onCommandLine(std::string_view name) const;

private:
    struct Entry
    {
        std::string section;
        std::string name;
        std::string value;
        std::optional<std::size_t> confLine;
    };

    std::optional<bool> chainFlag(std::string_view name) const;

    std::vector<Entry> m_commandLine;
    std::vector<Entry> m_conf;
};

// The node's reading of a boolean text: empty is true, otherwise a number other than zero.
bool nodeBoolean(std::string_view text);

// A port number from 1 to 65535 written in full; empty for any other text.
std::optional<std::uint16_t> portNumber(std::string_view text);

} // namespace korvane
