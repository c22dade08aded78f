#pragma once

#include <QString>
#include <string>
#include <string_view>

class QLabel;
class QLineEdit;
class QWidget;

namespace korvane::confcontrols {

// A title label in the generator windows' look: bold green text on black.
QLabel* titleLabel(const char* objectName, const QString& text, QWidget* parent);

// A read-only one-line field that shows a fixed or computed text; it takes no focus.
QLineEdit* readOnlyField(const char* objectName, const QString& accessibleName, QWidget* parent);

// Conf text of a text box of several lines: its lines ended by CR LF.
std::string confLines(const QString& shown);

} // namespace korvane::confcontrols
