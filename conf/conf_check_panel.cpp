#include "conf/conf_check_panel.h"

#include "base/command_line_split.h"
#include "gui/controls.h"
#include "gui/live_profile.h"
#include "gui/status_line.h"
#include "platform/program_runner.h"
#include "platform/qt/async_task.h"

#include <QBrush>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>
#include <fstream>
#include <sstream>

namespace korvane {
namespace {

const QColor kStopsColour { 176, 0, 0 };

std::string fileText(const std::string& path)
{
    std::ifstream file(std::filesystem::path(std::u8string(path.begin(), path.end())), std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

bool sameFindings(const ConfCheck& a, const ConfCheck& b)
{
    return a.summary == b.summary
        && std::equal(a.findings.begin(), a.findings.end(), b.findings.begin(), b.findings.end(),
                      [](const ConfFinding& x, const ConfFinding& y) { return x.text == y.text; });
}

} // namespace

ProfileDaemon profileDaemon(const LiveProfile& profile)
{
    const SplitCommandLine split = splitCommandLine(profile.text(Key::DaemonCommand));
    ProfileDaemon daemon;
    if (!split || split.value().empty())
        return daemon;
    daemon.program = split.value().front();
    daemon.words.assign(split.value().begin() + 1, split.value().end());
    return daemon;
}

ConfCheckPanel::ConfCheckPanel(ProgramRunner& runner,
                               const LiveProfile& profile,
                               QWidget* parent,
                               std::chrono::milliseconds timeLimit)
    : QWidget(parent)
    , m_daemon(profileDaemon(profile))
{
    setObjectName(QStringLiteral("CONF_CHECK_PANEL"));
    auto* heading = controls::label("CONF_CHECK_LABEL", QStringLiteral("CONF CHECK"), this);
    m_daemonLine = controls::label("CONF_CHECK_DAEMON_LABEL", QString(), this);
    m_summary = controls::label("CONF_CHECK_SUMMARY_LABEL", QString(), this);
    for (QLabel* label : { m_daemonLine, m_summary })
        label->setWordWrap(true);
    m_findings = controls::named(new QListWidget(this), "CONF_CHECK_LIST");
    m_findings->setWordWrap(true);
    m_findings->setMaximumHeight(m_findings->fontMetrics().lineSpacing() * 8);
    heading->setBuddy(m_findings);
    m_findings->setAccessibleName(heading->text()); // item views take no name from a buddy

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(heading);
    column->addWidget(m_daemonLine);
    column->addWidget(m_summary);
    column->addWidget(m_findings);
    showDaemon();

    async::runThenCallback(
        this,
        [&runner, program = m_daemon.program, timeLimit](std::stop_token stop) {
            return DaemonOptionsCache::shared().get(runner, program, stop, timeLimit);
        },
        [this](DaemonOptions options) {
            m_options = std::move(options);
            m_reading = false;
            showDaemon();
            if (m_lastText)
                show(checkConf(*m_lastText, m_daemon.words, m_options));
        });
}

void ConfCheckPanel::check(const std::string& confText)
{
    if (m_lastText == confText)
        return;
    m_lastText = confText;
    show(checkConf(confText, m_daemon.words, m_options));
}

// Rebuilt only when a finding changed, so that a screen reader keeps its place in the list.
void ConfCheckPanel::show(const ConfCheck& result)
{
    if (sameFindings(result, m_shown) && !m_summary->text().isEmpty())
        return;
    m_shown = result;
    m_summary->setText(controls::fromStd(result.summary));
    m_findings->clear();
    for (const ConfFinding& finding : result.findings) {
        auto* item = new QListWidgetItem(controls::fromStd(finding.text), m_findings);
        if (finding.weight == FindingWeight::Stops)
            item->setForeground(QBrush(kStopsColour));
    }
}

void ConfCheckPanel::showDaemon()
{
    const QString name
        = controls::fromStd(m_options.known() ? m_options.name : daemonDisplayName(m_daemon.program, {}));
    if (m_reading)
        m_daemonLine->setText(QStringLiteral("Reading the options of %1…").arg(name));
    else if (m_options.known())
        m_daemonLine->setText(QStringLiteral("Checked against %1").arg(name));
    else
        m_daemonLine->setText(QStringLiteral("Not checked against the daemon's options: %1; only the form of "
                                             "the lines is checked")
                                  .arg(controls::fromStd(m_options.problem)));
}

ConfCheckLine::ConfCheckLine(const LiveProfile& profile, QWidget* parent)
    : QWidget(parent)
    , m_profile(profile)
{
    m_line = new StatusLine({ .objectName = "CONF_CHECK_STATUS_LABEL" }, this);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(m_line);
}

void ConfCheckLine::check(const QString& confPath)
{
    const int generation = ++m_generation;
    async::runThenCallback(
        this,
        [daemon = profileDaemon(m_profile), path = confPath.toStdString()](std::stop_token) {
            const auto options = DaemonOptionsCache::shared().known(daemon.program);
            return checkConf(fileText(path), daemon.words, options.value_or(DaemonOptions()));
        },
        [this, generation](const ConfCheck& result) {
            if (generation != m_generation)
                return;
            const auto stops = std::find_if(result.findings.begin(), result.findings.end(),
                                            [](const ConfFinding& f) { return f.weight == FindingWeight::Stops; });
            QString text;
            if (stops != result.findings.end())
                text = QStringLiteral("This conf stops the node: %1 (%2)")
                           .arg(controls::fromStd(stops->text), controls::fromStd(result.summary));
            m_line->showMessage(text);
        });
}

} // namespace korvane
