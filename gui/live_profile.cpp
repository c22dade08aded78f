#include "gui/live_profile.h"

#include "gui/controls.h"

namespace korvane {

LiveProfile::LiveProfile(SettingsStore& store, const OwnExecutable& executable, QObject* parent)
    : QObject(parent)
    , m_profile(store, executable)
{
    m_profile.setFailureHandler([this](const std::string& reason) { m_lastFailure = controls::fromStd(reason); });
}

bool LiveProfile::setText(Key key, const QString& value)
{
    const KeyValue one { key, value.toStdString() };
    return setValues(std::span(&one, 1));
}

bool LiveProfile::setTicked(Key key, bool ticked)
{
    const KeyValue one { key, std::string(tickText(ticked)) };
    return setValues(std::span(&one, 1));
}

bool LiveProfile::setValues(std::span<const KeyValue> values)
{
    if (!m_profile.setValues(values))
        return false;
    for (const auto& value : values)
        Q_EMIT changed(value.key);
    return true;
}

} // namespace korvane
