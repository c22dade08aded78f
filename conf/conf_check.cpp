#include "conf/conf_check.h"

#include "node/node_conf.h"

#include <algorithm>
#include <cctype>
#include <limits>
#include <map>

namespace korvane {
namespace {

using Kind = NodeConfLine::Kind;

constexpr std::string_view kDash = " — ";
constexpr std::size_t kLongestShownLine = 40;

// A malformed line as the user wrote it, shortened when long.
std::string shownLine(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t");
    text = first == std::string_view::npos ? std::string_view() : text.substr(first);
    text = text.substr(0, text.find_last_not_of(" \t\r") + 1);
    if (text.size() <= kLongestShownLine)
        return std::string(text);
    return std::string(text.substr(0, kLongestShownLine)) + "…";
}

std::vector<std::string_view> rawLines(std::string_view text)
{
    std::vector<std::string_view> lines;
    for (;;) {
        const auto end = text.find('\n');
        lines.push_back(text.substr(0, end));
        if (end == std::string_view::npos)
            return lines;
        text.remove_prefix(end + 1);
    }
}

std::string counted(std::size_t count, std::string_view one, std::string_view many)
{
    return std::to_string(count) + " " + std::string(count == 1 ? one : many);
}

std::size_t countOf(const std::vector<ConfFinding>& findings, FindingWeight weight)
{
    return static_cast<std::size_t>(
        std::count_if(findings.begin(), findings.end(), [weight](const ConfFinding& f) { return f.weight == weight; }));
}

std::string summaryOf(const std::vector<ConfFinding>& findings)
{
    const std::size_t ignored = countOf(findings, FindingWeight::Ignored);
    const std::size_t stops = countOf(findings, FindingWeight::Stops);
    const std::size_t warnings = countOf(findings, FindingWeight::Warns);
    std::string summary = ignored == 0 ? "nothing the node will ignore"
                                       : counted(ignored, "line the node will ignore", "lines the node will ignore");
    if (warnings > 0)
        summary += "; " + counted(warnings, "warning", "warnings");
    summary += "; ";
    summary += stops == 0
        ? "nothing that stops it"
        : counted(stops, "problem that stops it from starting", "problems that stop it from starting");
    summary.front() = static_cast<char>(std::toupper(static_cast<unsigned char>(summary.front())));
    return summary;
}

class Checker
{
public:
    Checker(std::string_view confText, std::span<const std::string> words, const DaemonOptions& daemon)
        : m_raw(rawLines(confText))
        , m_lines(parseNodeConf(confText))
        , m_words(words)
        , m_daemon(daemon)
        , m_settings(commandLineOptions(words), m_lines)
    {
    }

    std::vector<ConfFinding> run()
    {
        const NodeSettings::NetworkChoice network = m_settings.network();
        if (!network.network)
            add(0, "chain", FindingWeight::Stops, "the node refuses to start: " + network.problem);
        for (const NodeConfLine& line : m_lines)
            checkLine(line, network.network.value_or(NodeNetwork::Main));
        checkCommandLine();
        std::stable_sort(m_findings.begin(), m_findings.end(), [](const ConfFinding& a, const ConfFinding& b) {
            const auto place = [](int line) { return line == 0 ? std::numeric_limits<int>::max() : line; };
            return place(a.line) < place(b.line);
        });
        return std::move(m_findings);
    }

private:
    void add(int line, std::string key, FindingWeight weight, std::string_view what)
    {
        m_findings.push_back(confFinding(line, std::move(key), weight, what));
    }

    bool knows(std::string_view name) const
    {
        const auto& options = m_daemon.help.options;
        return !m_daemon.known() || options.contains(name) || options.contains(unnegatedName(name));
    }

    void checkLine(const NodeConfLine& line, NodeNetwork network)
    {
        if (line.kind == Kind::Malformed) {
            add(line.number, shownLine(m_raw.at(static_cast<std::size_t>(line.number - 1))), FindingWeight::Stops,
                "the node refuses to start: " + line.problem);
            return;
        }
        if (line.kind != Kind::Setting)
            return;
        const std::string_view name = unnegatedName(line.name);
        if (!knows(line.name)) {
            add(line.number, line.name, FindingWeight::Ignored,
                m_daemon.name + " does not know this option; the node ignores the line");
        } else if (outsideItsSection(line, name, network)) {
            const std::string section(networkName(network));
            add(line.number, line.name, FindingWeight::Stops,
                "the node refuses to start: on " + section + " it reads this option only in the [" + section
                    + "] section");
        } else {
            checkRepeat(line, name);
        }
    }

    bool outsideItsSection(const NodeConfLine& line, std::string_view name, NodeNetwork network) const
    {
        if (network == NodeNetwork::Main || !line.section.empty() || !isNetworkOnlyOption(name))
            return false;
        const std::string_view section = networkName(network);
        const bool inSection = std::any_of(m_lines.begin(), m_lines.end(), [&](const NodeConfLine& other) {
            return other.kind == Kind::Setting && other.section == section && unnegatedName(other.name) == name;
        });
        return !inSection && !m_settings.onCommandLine(name);
    }

    // Of a single-valued option given twice in one section the node takes the first value; of the
    // network choice, the last.
    void checkRepeat(const NodeConfLine& line, std::string_view name)
    {
        if (isListOption(name))
            return;
        const auto [earlier, first] = m_seen.try_emplace({ line.section, std::string(name) }, line.number);
        if (first)
            return;
        if (isNetworkChoiceOption(name)) {
            add(earlier->second, line.name, FindingWeight::Ignored,
                "given twice; the node uses the last, line " + std::to_string(line.number));
            earlier->second = line.number;
        } else {
            add(line.number, line.name, FindingWeight::Ignored,
                "given twice; the node uses the first, line " + std::to_string(earlier->second));
        }
    }

    void checkCommandLine()
    {
        const std::vector<NodeOption> options = commandLineOptions(m_words);
        for (const NodeOption& option : options) {
            if (!knows(option.name))
                add(0, option.written.substr(0, option.written.find('=')), FindingWeight::Stops,
                    m_daemon.name + " does not know this option; the node refuses to start (\"Invalid parameter "
                        + option.written + "\")");
        }
        if (options.size() < m_words.size()) {
            const std::string& token = m_words[options.size()];
            add(0, token, FindingWeight::Stops,
                "not an option; the node refuses to start (\"Command line contains unexpected token '" + token
                    + "'\")");
        }
    }

    std::vector<std::string_view> m_raw;
    std::vector<NodeConfLine> m_lines;
    std::span<const std::string> m_words;
    const DaemonOptions& m_daemon;
    NodeSettings m_settings;
    std::map<std::pair<std::string, std::string>, int> m_seen; // section and option: the line that counts
    std::vector<ConfFinding> m_findings;
};

} // namespace

ConfFinding confFinding(int line, std::string key, FindingWeight weight, std::string_view what)
{
    std::string text = key + std::string(kDash) + std::string(what);
    return { line, std::move(key), weight, std::move(text) };
}

bool ConfCheck::stopsNode() const
{
    return std::any_of(findings.begin(), findings.end(),
                       [](const ConfFinding& finding) { return finding.weight == FindingWeight::Stops; });
}

ConfCheck withMoreFindings(ConfCheck check, std::span<const ConfFinding> more)
{
    check.findings.insert(check.findings.end(), more.begin(), more.end());
    check.summary = summaryOf(check.findings);
    return check;
}

ConfCheck checkConf(std::string_view confText, std::span<const std::string> daemonWords, const DaemonOptions& daemon)
{
    ConfCheck check;
    check.findings = Checker(confText, daemonWords, daemon).run();
    check.summary = summaryOf(check.findings);
    return check;
}

} // namespace korvane
