#include "monitor/lock_lights.h"

#include "gui/colours.h"
#include "gui/light.h"
#include "platform/keyboard.h"

#include <QTimer>

namespace korvane {
namespace {

struct LockLightDesign
{
    LockKey key;
    const char* name;
};

constexpr std::array<LockLightDesign, LockLights::kCount> kDesigns { {
    { LockKey::Num, "NUM LOCK" },
    { LockKey::Caps, "CAPS LOCK" },
    { LockKey::Scroll, "SCROLL LOCK" },
} };

} // namespace

LockLights::LockLights(const std::array<Light*, kCount>& lights, QTimer* tickTimer, Keyboard& keyboard, QObject* parent)
    : QObject(parent)
    , m_lights(lights)
    , m_keyboard(keyboard)
{
    connect(tickTimer, &QTimer::timeout, this, &LockLights::refresh);
    for (std::size_t i = 0; i < kCount; ++i) {
        const LockKey key = kDesigns[i].key;
        connect(m_lights[i], &Light::doubleClicked, this, [this, key] {
            if (m_keyboard.available())
                m_keyboard.press(key);
        });
    }
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
