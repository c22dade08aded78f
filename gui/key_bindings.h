#pragma once

#include "settings/key_values.h"
#include "settings/profile.h"

#include <QString>
#include <span>
#include <string>
#include <variant>
#include <vector>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QObject;
class QPlainTextEdit;
class QWidget;

namespace korvane {

class LiveProfile;

// The widgets of one window that hold values, each bound to its key once, so that loading from a
// source (the profile, or the window's own model), storing into the profile and following a model
// are loops. A text box of several lines shows lines ended by "\n". A text the user has not changed
// since it was loaded is stored back as the bytes it was read as, even where they are not valid UTF-8.
class KeyBindings
{
public:
    void add(Key key, QLineEdit* field);
    void add(Key key, QPlainTextEdit* field);
    void add(Key key, QCheckBox* tickBox);
    // A choice among fixed values: each item's data is the value it stores.
    void add(Key key, QComboBox* choice);
    // A read-only box for a value the window computes: never loaded, stored with store(profile, computed).
    void addComputed(Key key, QPlainTextEdit* box);
    // Loads and stores in this order; keys it leaves out keep their place after the others.
    void orderBy(std::span<const Key> order);

    // Sets every widget from `source` in the order they were added; a tick box set here emits
    // toggled, so its rule runs.
    void load(const KeyValues& source);
    // Sets the widget bound to `key`, if any, from `source`.
    void reload(const KeyValues& source, Key key);
    // What the widgets hold, in their order.
    std::vector<KeyValue> values() const;
    std::string value(Key key) const;
    // Stores every value with one write of the profile.
    Result<> store(LiveProfile& profile) const;
    // Stores every value with the window's `computed` ones in one write; once stored, the boxes
    // show what was computed.
    Result<> store(LiveProfile& profile, std::span<const KeyValue> computed);

    // Sends every change made in a widget (a click, typing, a load) to `model`, with its lines
    // ended by `lineBreak`; the connections live as long as `context`.
    void sendChanges(EditableKeyValues& model, std::string_view lineBreak, QObject* context) const;
    // Sets every value of `model` from its widget, with lines ended by `lineBreak`.
    void copyTo(EditableKeyValues& model, std::string_view lineBreak) const;
    // Shows what `model` holds, and which ticks it greys out; a text is set only where it differs, so
    // that a reader's place in it is kept.
    void show(const EditableKeyValues& model) const;

    QWidget* widget(Key key) const;

private:
    using Widget = std::variant<QLineEdit*, QPlainTextEdit*, QCheckBox*, QComboBox*>;
    struct Binding
    {
        Key key;
        Widget widget;
        bool computed = false;
        std::string loaded; // the stored bytes as last loaded
        QString loadedShown; // how the widget showed them
    };

    const Binding& binding(Key key) const;
    static void load(Binding& binding, const KeyValues& source);
    static void send(const Binding& binding, EditableKeyValues& model, std::string_view lineBreak);
    static std::string bytesEndedBy(const std::string& text, std::string_view lineBreak);
    static void showText(const Widget& widget, const QString& text);
    static QString shownText(const Widget& widget);
    static std::string valueOf(const Binding& binding);

    std::vector<Binding> m_bindings;
};

} // namespace korvane
