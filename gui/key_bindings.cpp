#include "gui/key_bindings.h"

#include "gui/controls.h"
#include "gui/live_profile.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <stdexcept>

namespace korvane {
namespace {

template <typename... Ts> struct Overloaded : Ts...
{
    using Ts::operator()...;
};

} // namespace

void KeyBindings::add(Key key, QLineEdit* field)
{
    m_bindings.push_back({ key, field, {}, {} });
}

void KeyBindings::add(Key key, QPlainTextEdit* field)
{
    m_bindings.push_back({ key, field, {}, {} });
}

void KeyBindings::add(Key key, QCheckBox* tickBox)
{
    m_bindings.push_back({ key, tickBox, {}, {} });
}

void KeyBindings::load(const LiveProfile& profile)
{
    for (Binding& binding : m_bindings)
        load(binding, profile);
}

void KeyBindings::reload(const LiveProfile& profile, Key key)
{
    for (Binding& binding : m_bindings) {
        if (binding.key == key)
            load(binding, profile);
    }
}

void KeyBindings::load(Binding& binding, const LiveProfile& profile)
{
    binding.loaded = profile.bytes(binding.key);
    const QString text = controls::fromStd(binding.loaded);
    std::visit(Overloaded { [&](QLineEdit* field) { field->setText(text); },
                            [&](QPlainTextEdit* field) { field->setPlainText(text); },
                            [&](QCheckBox* tickBox) { tickBox->setChecked(profile.ticked(binding.key)); } },
               binding.widget);
    binding.loadedShown = shownText(binding.widget);
}

std::vector<KeyValue> KeyBindings::values() const
{
    std::vector<KeyValue> result;
    result.reserve(m_bindings.size());
    for (const Binding& binding : m_bindings)
        result.push_back({ binding.key, valueOf(binding) });
    return result;
}

std::string KeyBindings::value(Key key) const
{
    return valueOf(binding(key));
}

bool KeyBindings::store(LiveProfile& profile) const
{
    return profile.setValues(values());
}

QWidget* KeyBindings::widget(Key key) const
{
    return std::visit([](auto* widget) -> QWidget* { return widget; }, binding(key).widget);
}

const KeyBindings::Binding& KeyBindings::binding(Key key) const
{
    for (const Binding& binding : m_bindings) {
        if (binding.key == key)
            return binding;
    }
    throw std::logic_error("no widget is bound to " + std::string(keyName(key)));
}

QString KeyBindings::shownText(const Widget& widget)
{
    return std::visit(Overloaded { [](const QLineEdit* field) { return field->text(); },
                                   [](const QPlainTextEdit* field) { return field->toPlainText(); },
                                   [](const QCheckBox* tickBox) {
                                       return tickBox->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
                                   } },
                      widget);
}

std::string KeyBindings::valueOf(const Binding& binding)
{
    // A text box may show stored bytes differently (bytes that are not UTF-8, line ends): a text the
    // user has not changed keeps its stored bytes. A tick is stored as it shows.
    const QString shown = shownText(binding.widget);
    const bool keepsStoredBytes = !std::holds_alternative<QCheckBox*>(binding.widget) && shown == binding.loadedShown;
    return keepsStoredBytes ? binding.loaded : shown.toStdString();
}

} // namespace korvane
