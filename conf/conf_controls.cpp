#include "conf/conf_controls.h"

#include "conf/conf_model.h"
#include "gui/colours.h"
#include "gui/controls.h"

#include <QLabel>
#include <QLineEdit>

namespace korvane::confcontrols {

QLabel* titleLabel(const char* objectName, const QString& text, QWidget* parent)
{
    QLabel* label = controls::label(objectName, text, parent);
    QFont font = label->font();
    font.setBold(true);
    font.setPointSizeF(12);
    label->setFont(font);
    label->setAlignment(Qt::AlignCenter);
    controls::paintBackground(*label, QPalette::Window, colours::kBlack);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colours::kGreen);
    label->setPalette(palette);
    return label;
}

QLineEdit* readOnlyField(const char* objectName, const QString& accessibleName, QWidget* parent)
{
    auto* field = controls::named(new QLineEdit(parent), objectName);
    field->setReadOnly(true);
    field->setFocusPolicy(Qt::NoFocus);
    field->setAccessibleName(accessibleName);
    return field;
}

std::string confLines(const QString& shown)
{
    return controls::linesEndedBy(shown, kConfLineBreak);
}

} // namespace korvane::confcontrols
