#pragma once

#include "platform/native_window.h"
#include "settings/keys.h"

#include <QPalette>
#include <QString>
#include <string>
#include <string_view>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QWidget;

namespace korvane::controls {

QString fromStd(std::string_view text);
// Text of several lines as a text box shows it, with lines ended by "\n", and back with lines
// ended by `lineBreak`.
QString shownLines(std::string_view text);
std::string linesEndedBy(const QString& shown, std::string_view lineBreak);

template <typename Widget> Widget* named(Widget* widget, const char* objectName)
{
    widget->setObjectName(QString::fromLatin1(objectName));
    return widget;
}

QLabel* label(const char* objectName, const QString& caption, QWidget* parent);

// A text box's object name: the settings key it holds.
QString objectNameOf(Key key);

// A push button that never presses itself on Enter; a window makes its main button the default.
// Buttons and tick boxes are read to a screen reader by their caption, as it stands at the time.
QPushButton* button(const char* objectName, const QString& caption, QWidget* parent);
QCheckBox* tickBox(const char* objectName, const QString& caption, QWidget* parent);
// A tick box whose state is stored under `key`, and named after it.
QCheckBox* tickBox(Key key, const QString& caption, QWidget* parent);

// A one-line text box named after the key it holds. It takes text of any length: what is stored
// is what is shown and what runs.
QLineEdit* keyLineEdit(Key key, QWidget* parent);
// A text box of several lines named after the key it holds.
QPlainTextEdit* keyTextBox(Key key, QWidget* parent);

struct LabelledField
{
    QLabel* label;
    QLineEdit* field;
};
// A caption and the text box it names, for screen readers too.
LabelledField keyField(Key key, const QString& caption, QWidget* parent);
// The bold heading at the top of a window.
QLabel* heading(const QString& text, QWidget* parent);

NativeWindow nativeWindowOf(QWidget& window);

// Paints a widget's background role (Window for labels, Base for text fields); greyed text stays
// readable on it.
void paintBackground(QWidget& widget, QPalette::ColorRole role, const QColor& colour);

} // namespace korvane::controls
