#include "processes/process_watcher.h"

#include "gui/colours.h"
#include "gui/controls.h"
#include "gui/light.h"
#include "platform/process_table.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

namespace korvane {
namespace {

template <typename Widget> Widget* control(const QWidget& window, const char* name)
{
    auto* widget = window.findChild<Widget*>(QString::fromLatin1(name));
    Q_ASSERT_X(widget, "ProcessWatcher", name);
    return widget;
}

// The main window's text box that holds the program name stored under `key`.
QLineEdit* nameBox(const QWidget& window, Key key)
{
    auto* box = window.findChild<QLineEdit*>(controls::objectNameOf(key));
    Q_ASSERT(box);
    return box;
}

void showLook(Light& light, const LightLook& look)
{
    if (look.running)
        light.setColour(*look.running ? colours::kGreen : colours::kRed);
    light.setToolTip(QString::fromStdString(look.toolTip));
}

void showDesignLook(Light& light, const QString& designToolTip)
{
    if (light.colour().isValid())
        light.resetDesignLook();
    light.setToolTip(designToolTip);
}

} // namespace

ProcessWatcher::ProcessWatcher(QWidget& mainWindow, ProcessTable& table)
    : QObject(&mainWindow)
    , m_table(table)
    , m_nameBoxes { nameBox(mainWindow, Key::QtName), nameBox(mainWindow, Key::DaemonName),
                    nameBox(mainWindow, Key::CliName) }
    , m_lights { control<Light>(mainWindow, "PROCESS_TEXTBOX_1"), control<Light>(mainWindow, "PROCESS_TEXTBOX_2"),
                 control<Light>(mainWindow, "PROCESS_TEXTBOX_3"), control<Light>(mainWindow, "PROCESS_TEXTBOX_4") }
    , m_cliStop(control<QPushButton>(mainWindow, "CLI_STOP_BUTTON"))
    , m_startButtons { control<QPushButton>(mainWindow, "QT_START_BUTTON"),
                       control<QPushButton>(mainWindow, "DAEMON_START_BUTTON") }
{
    for (std::size_t light = 0; light < kWatchedProgramCount; ++light)
        m_designToolTips[light] = m_lights[light]->toolTip();
    m_snapshots.setObjectName(QStringLiteral("process snapshots"));
    m_snapshotContext.moveToThread(&m_snapshots);
    m_snapshots.start();
    connect(control<QTimer>(mainWindow, "MULTI_PROCESS_WATCHER_TIMER"), &QTimer::timeout, this, &ProcessWatcher::tick);
}

ProcessWatcher::~ProcessWatcher()
{
    m_snapshots.quit();
    m_snapshots.wait();
}

void ProcessWatcher::tick()
{
    if (m_snapshotPending)
        return;
    m_snapshotPending = true;
    QMetaObject::invokeMethod(&m_snapshotContext, [this, names = watchedNames()] {
        const ProcessQuery query = m_table.queryRunning(namesToTest(names));
        QMetaObject::invokeMethod(this, [this, names, query] { show(names, query); });
    });
}

WatchedNames ProcessWatcher::watchedNames() const
{
    const auto text = [](const QLineEdit* box) { return box->text().toStdString(); };
    return { text(m_nameBoxes[0]), text(m_nameBoxes[1]), text(m_nameBoxes[2]), std::string(emailUtilityName()) };
}

void ProcessWatcher::show(const WatchedNames& names, const ProcessQuery& query)
{
    m_snapshotPending = false;
    const WatchOutcome outcome = watchOutcome(names, query);
    for (std::size_t light = 0; light < kWatchedProgramCount; ++light) {
        if (outcome.lights[light])
            showLook(*m_lights[light], *outcome.lights[light]);
        else
            showDesignLook(*m_lights[light], m_designToolTips[light]);
    }
    if (outcome.cliStopEnabled)
        m_cliStop->setEnabled(*outcome.cliStopEnabled);
    if (outcome.startButtonsEnabled) {
        for (QPushButton* start : m_startButtons)
            start->setEnabled(*outcome.startButtonsEnabled);
    }
    Q_EMIT shown();
}

} // namespace korvane
