#include "gui/key_bindings.h"

#include "gui/controls.h"
#include "gui/live_profile.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <algorithm>
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
    m_bindings.push_back({ key, field, false, {}, {} });
}

void KeyBindings::add(Key key, QPlainTextEdit* field)
{
    m_bindings.push_back({ key, field, false, {}, {} });
}

void KeyBindings::add(Key key, QCheckBox* tickBox)
{
    if (keyInfo(key).kind != KeyKind::Tick)
        throw std::logic_error(std::string(keyName(key)) + " is not a tick");
    m_bindings.push_back({ key, tickBox, false, {}, {} });
}

void KeyBindings::add(Key key, QComboBox* choice)
{
    m_bindings.push_back({ key, choice, false, {}, {} });
}

void KeyBindings::addComputed(Key key, QPlainTextEdit* box)
{
    m_bindings.push_back({ key, box, true, {}, {} });
}

void KeyBindings::orderBy(std::span<const Key> order)
{
    const auto rank = [order](const Binding& binding) {
        return std::find(order.begin(), order.end(), binding.key) - order.begin();
    };
    std::stable_sort(m_bindings.begin(), m_bindings.end(),
                     [&rank](const Binding& a, const Binding& b) { return rank(a) < rank(b); });
}

void KeyBindings::load(const KeyValues& source)
{
    for (Binding& binding : m_bindings) {
        if (!binding.computed)
            load(binding, source);
    }
}

void KeyBindings::reload(const KeyValues& source, Key key)
{
    for (Binding& binding : m_bindings) {
        if (binding.key == key)
            load(binding, source);
    }
}

void KeyBindings::load(Binding& binding, const KeyValues& source)
{
    binding.loaded = source.text(binding.key);
    if (auto* const* tickBox = std::get_if<QCheckBox*>(&binding.widget))
        (*tickBox)->setChecked(source.ticked(binding.key));
    else
        showText(binding.widget, controls::fromStd(binding.loaded));
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

Result<> KeyBindings::store(LiveProfile& profile) const
{
    return profile.setValues(values());
}

Result<> KeyBindings::store(LiveProfile& profile, std::span<const KeyValue> computed)
{
    std::vector<KeyValue> all = values();
    for (const KeyValue& value : computed) {
        const auto bound = std::find_if(all.begin(), all.end(), [&](const KeyValue& v) { return v.key == value.key; });
        if (bound == all.end())
            throw std::logic_error("no box is bound to " + std::string(keyName(value.key)));
        bound->value = value.value;
    }
    Result<> stored = profile.setValues(all);
    if (stored) {
        for (const KeyValue& value : computed)
            showText(binding(value.key).widget, controls::fromStd(value.value));
    }
    return stored;
}

void KeyBindings::sendChanges(EditableKeyValues& model, std::string_view lineBreak, QObject* context) const
{
    for (const Binding& binding : m_bindings) {
        // The binding as it is when the change comes, with the bytes it loaded last.
        const auto sendThis
            = [&binding, &model, lineBreak = std::string(lineBreak)] { send(binding, model, lineBreak); };
        std::visit(
            Overloaded {
                [&](QLineEdit* field) { QObject::connect(field, &QLineEdit::textChanged, context, sendThis); },
                [&](QPlainTextEdit* box) { QObject::connect(box, &QPlainTextEdit::textChanged, context, sendThis); },
                [&](QCheckBox* tickBox) { QObject::connect(tickBox, &QCheckBox::toggled, context, sendThis); },
                [&](QComboBox* choice) {
                    QObject::connect(choice, &QComboBox::currentIndexChanged, context, sendThis);
                } },
            binding.widget);
    }
}

void KeyBindings::copyTo(EditableKeyValues& model, std::string_view lineBreak) const
{
    for (const Binding& binding : m_bindings)
        send(binding, model, lineBreak);
}

// Lines ended by CR LF, LF or a lone CR, ended by `lineBreak` instead.
std::string KeyBindings::bytesEndedBy(const std::string& text, std::string_view lineBreak)
{
    std::string lines;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') {
            lines += text[i];
            continue;
        }
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        lines += lineBreak;
    }
    return lines;
}

void KeyBindings::send(const Binding& binding, EditableKeyValues& model, std::string_view lineBreak)
{
    // A text the user has not changed keeps its stored bytes (see valueOf), with the model's line ends.
    std::visit(Overloaded { [&](const QLineEdit*) { model.setText(binding.key, valueOf(binding)); },
                            [&](const QComboBox*) { model.setText(binding.key, valueOf(binding)); },
                            [&](const QPlainTextEdit*) {
                                model.setText(binding.key, bytesEndedBy(valueOf(binding), lineBreak));
                            },
                            [&](const QCheckBox* tickBox) { model.setTicked(binding.key, tickBox->isChecked()); } },
               binding.widget);
}

void KeyBindings::show(const EditableKeyValues& model) const
{
    for (const Binding& binding : m_bindings) {
        if (auto* const* tickBox = std::get_if<QCheckBox*>(&binding.widget)) {
            (*tickBox)->setChecked(model.ticked(binding.key));
            (*tickBox)->setEnabled(model.tickEnabled(binding.key));
            continue;
        }
        const std::string value = model.text(binding.key);
        const bool lines = std::holds_alternative<QPlainTextEdit*>(binding.widget);
        const QString text = lines ? controls::shownLines(value) : controls::fromStd(value);
        if (shownText(binding.widget) != text)
            showText(binding.widget, text);
    }
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

void KeyBindings::showText(const Widget& widget, const QString& text)
{
    std::visit(Overloaded { [&](QLineEdit* field) { field->setText(text); },
                            [&](QPlainTextEdit* box) { box->setPlainText(text); },
                            [&](QCheckBox*) { throw std::logic_error("a tick box shows no text"); },
                            [&](QComboBox* choice) {
                                // A stored value that is no longer offered leaves the choice as it is.
                                if (const int index = choice->findData(text); index >= 0)
                                    choice->setCurrentIndex(index);
                            } },
               widget);
}

QString KeyBindings::shownText(const Widget& widget)
{
    return std::visit(Overloaded { [](const QLineEdit* field) { return field->text(); },
                                   [](const QPlainTextEdit* box) { return box->toPlainText(); },
                                   [](const QCheckBox* tickBox) {
                                       return tickBox->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
                                   },
                                   [](const QComboBox* choice) { return choice->currentData().toString(); } },
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
