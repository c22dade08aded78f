#include "processes/process_watcher.h"

#include "gui/async_task.h"
#include "gui/colours.h"
#include "gui/controls.h"
#include "gui/light.h"
#include "platform/process_table.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace korvane {
namespace {

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

ProcessWatcher::ProcessWatcher(const WatcherControls& controls, ProcessTable& table, QObject* parent)
    : QObject(parent)
    , m_table(table)
    , m_controls(controls)
{
    for (std::size_t light = 0; light < kWatchedProgramCount; ++light)
        m_designToolTips[light] = m_controls.lights[light]->toolTip();
    connect(m_controls.timer, &QTimer::timeout, this, &ProcessWatcher::tick);
}

void ProcessWatcher::tick()
{
    if (m_snapshotPending)
        return;
    m_snapshotPending = true;
    async::runThenCallback(
        this,
        [&table = m_table, names = watchedNames()](std::stop_token) {
            return std::pair(names, table.queryRunning(namesToTest(names)));
        },
        [this](const std::pair<WatchedNames, ProcessQuery>& answer) { show(answer.first, answer.second); });
}

WatchedNames ProcessWatcher::watchedNames() const
{
    const auto text = [this](std::size_t box) { return m_controls.nameBoxes[box]->text().toStdString(); };
    return { text(0), text(1), text(2), std::string(emailUtilityName()) };
}

void ProcessWatcher::show(const WatchedNames& names, const ProcessQuery& query)
{
    m_snapshotPending = false;
    const WatchOutcome outcome = watchOutcome(names, query);
    for (std::size_t light = 0; light < kWatchedProgramCount; ++light) {
        Light& shownLight = *m_controls.lights[light];
        if (const auto& look = outcome.lights[light]) {
            showLook(shownLight, *look);
            if (look->running)
                m_states[light] = look->running;
        } else {
            showDesignLook(shownLight, m_designToolTips[light]);
            m_states[light].reset();
        }
    }
    if (outcome.cliStopEnabled)
        m_controls.cliStop->setEnabled(*outcome.cliStopEnabled);
    if (outcome.startButtonsEnabled) {
        for (QPushButton* start : m_controls.startButtons)
            start->setEnabled(*outcome.startButtonsEnabled);
    }
    Q_EMIT shown(m_states);
}

} // namespace korvane
