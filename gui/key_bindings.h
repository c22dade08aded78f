#pragma once

#include "settings/profile.h"

#include <QString>
#include <string>
#include <variant>
#include <vector>

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class QWidget;

namespace korvane {

class LiveProfile;

// The widgets of one window that hold profile values, each bound to its key once, so that loading
// and storing are loops. A text the user has not changed since it was loaded is stored back as
// the bytes it was read as, even where they are not valid UTF-8.
class KeyBindings
{
public:
    void add(Key key, QLineEdit* field);
    void add(Key key, QPlainTextEdit* field);
    void add(Key key, QCheckBox* tickBox);

    // Sets every widget from the profile in the order they were added; a tick box set here emits
    // toggled, so its rule runs.
    void load(const LiveProfile& profile);
    // Sets the widget bound to `key`, if any, from the profile.
    void reload(const LiveProfile& profile, Key key);
    // What the widgets hold, in the order they were added.
    std::vector<KeyValue> values() const;
    std::string value(Key key) const;
    // Stores every value with one write of the profile.
    bool store(LiveProfile& profile) const;

    QWidget* widget(Key key) const;

private:
    using Widget = std::variant<QLineEdit*, QPlainTextEdit*, QCheckBox*>;
    struct Binding
    {
        Key key;
        Widget widget;
        std::string loaded; // the stored bytes as last loaded
        QString loadedShown; // how the widget showed them
    };

    const Binding& binding(Key key) const;
    static void load(Binding& binding, const LiveProfile& profile);
    static QString shownText(const Widget& widget);
    static std::string valueOf(const Binding& binding);

    std::vector<Binding> m_bindings;
};

} // namespace korvane
