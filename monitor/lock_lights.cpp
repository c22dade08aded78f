#include "monitor/lock_lights.h"

#include "gui/colours.h"
#include "gui/controls.h"
#include "gui/light.h"
#include "platform/keyboard.h"

#include <QHBoxLayout>
#include <QTimer>

namespace korvane {
namespace {

struct LockLightDesign
{
    LockKey key;
    const char* name;
    const char* objectName;
    const char* text;
    const char* toolTip;
};

constexpr std::array<LockLightDesign, LockLights::kCount> kDesigns { {
    { LockKey::Num, "NUM LOCK", "VERT_NUM_LIGHT_LABEL", "N", "NUM LOCK STATUS - DOUBLE-CLICK TO TURN ON / OFF" },
    { LockKey::Caps, "CAPS LOCK", "VERT_CAPS_LIGHT_LABEL", "C", "CAPS LOCK STATUS - DOUBLE-CLICK TO TURN ON / OFF" },
    { LockKey::Scroll, "SCROLL LOCK", "VERT_SCROLL_LIGHT_LABEL", "S",
      "SCROLL LOCK STATUS - DOUBLE-CLICK TO TURN ON / OFF" },
} };

constexpr int kTickIntervalMs = 1000;

} // namespace

LockLights::LockLights(Keyboard& keyboard, QWidget* parent)
    : QWidget(parent)
    , m_keyboard(keyboard)
{
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(4);
    for (std::size_t i = 0; i < kCount; ++i) {
        const LockLightDesign& design = kDesigns[i];
        auto* light = controls::named(new Light(QString::fromLatin1(design.text), this), design.objectName);
        light->setToolTip(QString::fromLatin1(design.toolTip));
        light->setFixedWidth(light->fontMetrics().horizontalAdvance(QLatin1Char('W')) + 10);
        row->addWidget(light);
        m_lights[i] = light;
        connect(light, &Light::doubleClicked, this, [this, key = design.key] {
            if (m_keyboard.available())
                m_keyboard.press(key);
        });
    }

    auto* timer = controls::named(new QTimer(this), "NCS_TIMER");
    timer->setInterval(kTickIntervalMs);
    connect(timer, &QTimer::timeout, this, &LockLights::refresh);
    timer->start();
}

void LockLights::refresh()
{
    const bool readable = m_keyboard.available();
    for (std::size_t i = 0; i < kCount; ++i) {
        const QString name = QString::fromLatin1(kDesigns[i].name);
        Light& light = *m_lights[i];
        if (!readable) {
            light.setColour(colours::kGrey);
            light.setToolTip(name + QStringLiteral(" STATE CANNOT BE READ - NO X SERVER IS REACHABLE"));
            continue;
        }
        const bool on = m_keyboard.isOn(kDesigns[i].key);
        light.setColour(on ? colours::kGreen : colours::kRed);
        light.setToolTip(name + (on ? QStringLiteral(" = ON") : QStringLiteral(" = OFF")));
    }
}

} // namespace korvane
