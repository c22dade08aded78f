#pragma once

#include "settings/key_values.h"
#include "settings/profile.h"

#include <QObject>
#include <QString>
#include <span>

namespace korvane {

// The profile as the windows share it while the program runs. A window that changes a value sets
// it here, and every window that shows the value listens to changed(): no window writes into
// another window's widgets. Values are read from the store afresh; each set call is one write.
class LiveProfile : public QObject, public KeyValues
{
    Q_OBJECT

public:
    LiveProfile(SettingsStore& store, const OwnExecutable& executable, QObject* parent = nullptr);

    Profile& profile() { return m_profile; }
    const Profile& profile() const { return m_profile; }

    // The stored bytes, which need not be UTF-8.
    std::string text(Key key) const override { return m_profile.text(key); }
    bool ticked(Key key) const override { return m_profile.ticked(key); }

    Result<> setText(Key key, const QString& value);
    Result<> setTicked(Key key, bool ticked);
    // Stores the values in their order with one write, then tells which keys changed.
    Result<> setValues(std::span<const KeyValue> values);

Q_SIGNALS:
    void changed(korvane::Key key);

private:
    Profile m_profile;
};

} // namespace korvane
