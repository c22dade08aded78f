#include "conf/conf_check_panel.h"

#include "base/command_line_split.h"
#include "gui/controls.h"
#include "gui/live_profile.h"
#include "gui/status_line.h"
#include "node/machine_folders.h"
#include "platform/native_os.h"
#include "platform/program_runner.h"
#include "platform/qt/async_task.h"
#include "platform/services.h"

#include <QBrush>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

namespace korvane {
namespace {

const QColor kStopsColour { 176, 0, 0 };
const QColor kWarnsColour { 150, 85, 0 };

// A conf file's text, or why it is not read: a folder, a named pipe or a device at its path is not
// opened (a pipe would keep the reader waiting). A missing file reads as empty, as the node reads it.
struct ConfFileText
{
    std::string text;
    QString problem;
};

ConfFileText confFileText(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return {};
    if (!info.isFile())
        return { {},
                 QStringLiteral("%1 is not a file the node can read (a folder, a named pipe or a device)").arg(path) };
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return { {}, QStringLiteral("%1 cannot be read: %2").arg(path, file.errorString()) };
    return { file.readAll().toStdString(), {} };
}

const ConfFinding* firstStop(const ConfCheck& check)
{
    const auto stops = std::find_if(check.findings.begin(), check.findings.end(),
                                    [](const ConfFinding& f) { return f.weight == FindingWeight::Stops; });
    return stops == check.findings.end() ? nullptr : &*stops;
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

ThisCopy thisCopy(const LiveProfile& profile, std::optional<std::string> confText)
{
    return { profile.text(Key::DaemonCommand), profile.text(Key::CryptoName), std::move(confText) };
}

Workstation thisWorkstation(const LiveProfile& profile, const SettingsStore& profiles)
{
    return { .others = otherCopies(profiles, profile.profile().section(), nativeOperatingSystem()),
             .folders = thisMachinesFolders() };
}

ConfCheckPanel::ConfCheckPanel(Services& services,
                               const LiveProfile& profile,
                               QWidget* parent,
                               std::chrono::milliseconds timeLimit)
    : QWidget(parent)
    , m_services(services)
    , m_profile(profile)
    , m_timeLimit(timeLimit)
    , m_daemon(profileDaemon(profile))
{
    setObjectName(QStringLiteral("CONF_CHECK_PANEL"));
    auto* heading = controls::label("CONF_CHECK_LABEL", QStringLiteral("CONF CHECK"), this);
    m_daemonLine = controls::label("CONF_CHECK_DAEMON_LABEL", QString(), this);
    m_summary = controls::label("CONF_CHECK_SUMMARY_LABEL", QString(), this);
    m_others = controls::label("CONF_CHECK_COPIES_LABEL", QString(), this);
    for (QLabel* label : { m_daemonLine, m_summary, m_others })
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
    column->addWidget(m_others);
    showDaemon();

    async::runThenCallback(
        this,
        [&runner = services.programs, program = m_daemon.program, timeLimit](std::stop_token stop) {
            return DaemonOptionsCache::shared().get(runner, program, stop, timeLimit);
        },
        [this](DaemonOptions options) {
            m_options = std::move(options);
            m_reading = false;
            showDaemon();
            if (m_lastText) {
                show();
                checkCopies();
            }
        });
}

void ConfCheckPanel::check(const std::string& confText)
{
    if (m_lastText == confText)
        return;
    m_lastText = confText;
    show();
    if (!m_reading)
        checkCopies();
}

// Rebuilt only when a finding changed, so that a screen reader keeps its place in the list.
void ConfCheckPanel::show()
{
    const ConfCheck result = withMoreFindings(checkConf(*m_lastText, m_daemon.words, m_options), m_copies);
    if (sameFindings(result, m_shown) && !m_summary->text().isEmpty())
        return;
    m_shown = result;
    m_summary->setText(controls::fromStd(result.summary));
    m_findings->clear();
    for (const ConfFinding& finding : result.findings) {
        auto* item = new QListWidgetItem(controls::fromStd(finding.text), m_findings);
        if (finding.weight != FindingWeight::Ignored)
            item->setForeground(QBrush(finding.weight == FindingWeight::Stops ? kStopsColour : kWarnsColour));
    }
}

// The other copies as they are now, with the text checked, their daemons asked for their default
// cache (each only once while its file is unchanged).
void ConfCheckPanel::checkCopies()
{
    const int generation = ++m_copiesGeneration;
    Workstation workstation = thisWorkstation(m_profile, m_services.settings);
    workstation.memoryBytes = m_services.memory.physicalBytes();
    async::runThenCallback(
        this,
        [copy = thisCopy(m_profile, m_lastText), workstation = std::move(workstation), &runner = m_services.programs,
         timeLimit = m_timeLimit](std::stop_token stop) mutable {
            workstation.cacheDefault = [&runner, &stop, timeLimit](const std::string& program) {
                return defaultCacheMiB(DaemonOptionsCache::shared().get(runner, program, stop, timeLimit));
            };
            return checkAcrossCopies(copy, workstation);
        },
        [this, generation](const CopiesCheck& copies) {
            if (generation != m_copiesGeneration)
                return;
            m_copies = copies.findings;
            QStringList others;
            for (const std::string& other : copies.others)
                others << controls::fromStd(other);
            m_others->setText(others.isEmpty() ? QStringLiteral("No other copy of the program has a node set.")
                                               : QStringLiteral("Other copies' nodes:\n") + others.join('\n'));
            show();
        });
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

ConfCheckLine::ConfCheckLine(const LiveProfile& profile, const SettingsStore& profiles, QWidget* parent)
    : QWidget(parent)
    , m_profile(profile)
    , m_profiles(profiles)
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
        [daemon = profileDaemon(m_profile), copy = thisCopy(m_profile),
         workstation = thisWorkstation(m_profile, m_profiles), path = confPath](std::stop_token) mutable {
            const ConfFileText file = confFileText(path);
            if (!file.problem.isEmpty())
                return QStringLiteral("This conf is not read: %1").arg(file.problem);
            const auto options = DaemonOptionsCache::shared().known(daemon.program);
            copy.confText = file.text;
            const ConfCheck check
                = withMoreFindings(checkConf(file.text, daemon.words, options.value_or(DaemonOptions())),
                                   checkAcrossCopies(copy, workstation).findings);
            const ConfFinding* stop = firstStop(check);
            return stop ? QStringLiteral("This conf stops the node: %1 (%2)")
                              .arg(controls::fromStd(stop->text), controls::fromStd(check.summary))
                        : QString();
        },
        [this, generation](const QString& text) {
            if (generation == m_generation)
                m_line->showMessage(text);
        });
}

} // namespace korvane
