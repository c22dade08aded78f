#pragma once

#include "conf/daemon_options.h"

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace korvane {

enum class FindingWeight
{
    Ignored, // the node goes on without the line's value
    Stops, // the node refuses to start
    Warns, // the node starts, but something near it needs care (another copy's node, the memory)
};

struct ConfFinding
{
    int line = 0; // counted from 1; 0 for the daemon's command line
    std::string key; // the option as written, or the line's text where it names none
    FindingWeight weight = FindingWeight::Ignored;
    std::string text; // "alerts — litecoind 0.21.2.1 does not know this option; the node ignores the line"
};

// A finding whose text is its key, a dash and what it means: "alerts — ...".
ConfFinding confFinding(int line, std::string key, FindingWeight weight, std::string_view what);

struct ConfCheck
{
    std::vector<ConfFinding> findings; // in the order of the lines, the command line's last
    std::string summary; // "3 lines the node will ignore; nothing that stops it"

    bool stopsNode() const;
};

// Reads a conf text and the daemon's command-line words (after the program's own) as the node
// will, and tells what it will make of each line it does not take as written: an option the daemon
// does not know (ignored; a few options the node accepts are missing from its help, so this is
// only a warning), a network-only option outside its network's section while another network than
// main is chosen (the node stops), an option given twice (the node takes one of them), a malformed
// line (the node stops); and, on the command line, an option the daemon does not know or a word
// that is no option (the node stops). Without the daemon's options, unknown options go unnoticed.
ConfCheck checkConf(std::string_view confText, std::span<const std::string> daemonWords, const DaemonOptions& daemon);

// The check with more findings after its own (about the other copies' nodes), its summary counted
// again.
ConfCheck withMoreFindings(ConfCheck check, std::span<const ConfFinding> more);

} // namespace korvane
