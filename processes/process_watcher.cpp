#include "processes/process_watcher.h"

#include "gui/colours.h"
#include "gui/controls.h"
#include "gui/light.h"
#include "gui/live_profile.h"
#include "platform/process_table.h"
#include "platform/qt/async_task.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

namespace korvane {
namespace {

struct LightDesign
{
    const char* name;
    const char* text;
    const char* toolTip;
};

// In the order of WatchedProgram.
constexpr LightDesign kLights[] = {
    { "PROCESS_TEXTBOX_1", "QT", "QT PROCESS - GREEN=RUNNING, RED=STOPPED" },
    { "PROCESS_TEXTBOX_2", "DAEMON", "DAEMON  PROCESS - GREEN=RUNNING, RED=STOPPED" },
    { "PROCESS_TEXTBOX_3", "CLI", "CLI  PROCESS - GREEN=RUNNING, RED=STOPPED" },
    { "PROCESS_TEXTBOX_4", "SE",
      "\"%1\" PROCESS - EMAIL SENDING UTILITY -  GREEN=RUNNING, RED=STOPPED" }, // %1: the utility's name
};

constexpr int kTickIntervalMs = 250;

bool isProgramName(Key key)
{
    return key == Key::QtName || key == Key::DaemonName || key == Key::CliName;
}

void showLook(Light& light, const LightLook& look)
{
    if (look.running)
        light.setColour(*look.running ? colours::kGreen : colours::kRed);
    light.setToolTip(controls::fromStd(look.toolTip));
}

void showDesignLook(Light& light, const QString& designToolTip)
{
    if (light.colour().isValid())
        light.resetDesignLook();
    light.setToolTip(designToolTip);
}

} // namespace

WatchedNames watchedNames(const LiveProfile& profile)
{
    return { profile.text(Key::QtName), profile.text(Key::DaemonName), profile.text(Key::CliName),
             std::string(emailUtilityName()) };
}

ProcessWatcher::ProcessWatcher(const LiveProfile& profile, ProcessTable& table, QWidget* parent)
    : QWidget(parent)
    , m_profile(profile)
    , m_table(table)
    , m_names(watchedNames(profile))
{
    buildLights();
    connect(&m_profile, &LiveProfile::changed, this, [this](Key key) {
        if (isProgramName(key))
            m_names = watchedNames(m_profile);
    });
    auto* timer = controls::named(new QTimer(this), "MULTI_PROCESS_WATCHER_TIMER");
    timer->setInterval(kTickIntervalMs);
    connect(timer, &QTimer::timeout, this, &ProcessWatcher::tick);
    timer->start();
}

void ProcessWatcher::buildLights()
{
    auto* lights = new QHBoxLayout;
    lights->setSpacing(2);
    for (std::size_t i = 0; i < kWatchedProgramCount; ++i) {
        const LightDesign& design = kLights[i];
        auto* light = controls::named(new Light(QString::fromLatin1(design.text), this), design.name);
        QString toolTip = QString::fromLatin1(design.toolTip);
        if (toolTip.contains(QLatin1String("%1")))
            toolTip = toolTip.arg(controls::fromStd(emailUtilityName()));
        light->setToolTip(toolTip);
        lights->addWidget(light);
        m_lights[i] = light;
        m_designToolTips[i] = toolTip;
    }

    auto* box = new QVBoxLayout(this);
    box->setContentsMargins(0, 0, 0, 0);
    box->setSpacing(2);
    box->addWidget(controls::label("Label1", QStringLiteral("Process Watcher"), this));
    box->addLayout(lights);
}

void ProcessWatcher::tick()
{
    if (m_snapshotPending)
        return;
    m_snapshotPending = true;
    async::runThenCallback(
        this,
        [&table = m_table, names = m_names](std::stop_token) {
            return std::pair(names, table.queryRunning(namesToTest(names)));
        },
        [this](const std::pair<WatchedNames, ProcessQuery>& answer) { show(answer.first, answer.second); });
}

void ProcessWatcher::show(const WatchedNames& names, const ProcessQuery& query)
{
    m_snapshotPending = false;
    const WatchOutcome outcome = watchOutcome(names, query);
    for (std::size_t light = 0; light < kWatchedProgramCount; ++light) {
        Light& shownLight = *m_lights[light];
        if (const auto& look = outcome.lights[light]) {
            showLook(shownLight, *look);
            if (look->running)
                m_states[light] = look->running;
        } else {
            showDesignLook(shownLight, m_designToolTips[light]);
            m_states[light].reset();
        }
    }
    Q_EMIT launchAccess(outcome.startButtonsEnabled, outcome.cliStopEnabled);
    if (outcome.daemonProcesses)
        Q_EMIT daemonProcesses(*outcome.daemonProcesses);
    Q_EMIT shown(m_states);
}

} // namespace korvane
