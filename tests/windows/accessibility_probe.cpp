// What a screen reader sees of the program, for its test under Wine, where UI Automation cannot
// read another program's controls. Qt loads this plugin into the program when asked to
// (QT_QPA_GENERIC_PLUGINS=korvaneprobe, found through QT_PLUGIN_PATH); four times a second it
// writes every shown top-level window's accessible objects to the file named by
// KORVANE_PROBE_FILE, as JSON:
//   {"windows": [{"title": ..., "frame": [x, y, w, h], "controls": [{"role": 43, "name": "Exit",
//                 "rect": [x, y, w, h], "enabled": true, "checked": false, "value": ...}, ...]}, ...]}
// with rectangles in screen coordinates; a window's frame is where Windows has it, title bar and
// border included. The test clicks and reads colours on the screen itself.
#include <QAccessible>
#include <QApplication>
#include <QGenericPlugin>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QTimer>
#include <QWidget>

namespace {

void addControls(QAccessibleInterface* object, QJsonArray& controls, int depth)
{
    if (!object || !object->isValid() || depth > 32)
        return;
    const QAccessible::State state = object->state();
    if (state.invisible)
        return;
    const QRect rect = object->rect();
    controls.append(QJsonObject { { "role", static_cast<int>(object->role()) },
                                  { "name", object->text(QAccessible::Name) },
                                  { "value", object->text(QAccessible::Value) },
                                  { "rect", QJsonArray { rect.x(), rect.y(), rect.width(), rect.height() } },
                                  { "enabled", !state.disabled },
                                  { "checked", bool(state.checked) } });
    for (int i = 0; i < object->childCount(); ++i)
        addControls(object->child(i), controls, depth + 1);
}

class Probe : public QObject
{
public:
    explicit Probe(QString path)
        : m_path(std::move(path))
    {
        connect(&m_timer, &QTimer::timeout, this, &Probe::write);
        m_timer.start(250);
    }

private:
    void write()
    {
        QJsonArray windows;
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (!window->isVisible())
                continue;
            QJsonArray controls;
            addControls(QAccessible::queryAccessibleInterface(window), controls, 0);
            const QRect frame = window->frameGeometry();
            windows.append(
                QJsonObject { { "title", window->windowTitle() },
                              { "frame", QJsonArray { frame.x(), frame.y(), frame.width(), frame.height() } },
                              { "controls", controls } });
        }
        QSaveFile file(m_path);
        if (file.open(QIODevice::WriteOnly)) {
            file.write(QJsonDocument(QJsonObject { { "windows", windows } }).toJson(QJsonDocument::Compact));
            file.commit();
        }
    }

    QString m_path;
    QTimer m_timer;
};

} // namespace

class AccessibilityProbePlugin : public QGenericPlugin
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QGenericPluginFactoryInterface_iid FILE "accessibility_probe.json")

public:
    QObject* create(const QString&, const QString&) override
    {
        return new Probe(qEnvironmentVariable("KORVANE_PROBE_FILE"));
    }
};

#include "accessibility_probe.moc"
