#include "gui/live_profile.h"

namespace korvane {

LiveProfile::LiveProfile(SettingsStore& store, const OwnExecutable& executable, QObject* parent)
    : QObject(parent)
    , m_profile(store, executable)
{
}

Result<> LiveProfile::setText(Key key, const QString& value)
{
    const KeyValue one { key, value.toStdString() };
    return setValues(std::span(&one, 1));
}

Result<> LiveProfile::setTicked(Key key, bool ticked)
{
    const KeyValue one { key, std::string(tickText(ticked)) };
    return setValues(std::span(&one, 1));
}

Result<> LiveProfile::setValues(std::span<const KeyValue> values)
{
    Result<> stored = m_profile.setValues(values);
    if (stored) {
        for (const auto& value : values)
            Q_EMIT changed(value.key);
    }
    return stored;
}

} // namespace korvane
