#include "gui/controls.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <limits>

namespace korvane::controls {

QString fromStd(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString shownLines(std::string_view text)
{
    QString shown = fromStd(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return shown;
}

std::string linesEndedBy(const QString& shown, std::string_view lineBreak)
{
    QString text = shown;
    text.replace(QLatin1Char('\n'), fromStd(lineBreak));
    return text.toStdString();
}

QLabel* label(const char* objectName, const QString& caption, QWidget* parent)
{
    return named(new QLabel(caption, parent), objectName);
}

QString objectNameOf(Key key)
{
    return fromStd(keyName(key));
}

QPushButton* button(const char* objectName, const QString& caption, QWidget* parent)
{
    auto* result = new QPushButton(caption, parent);
    result->setObjectName(QString::fromLatin1(objectName));
    result->setAutoDefault(false);
    return result;
}

QCheckBox* tickBox(const char* objectName, const QString& caption, QWidget* parent)
{
    auto* result = new QCheckBox(caption, parent);
    result->setObjectName(QString::fromLatin1(objectName));
    return result;
}

QCheckBox* tickBox(Key key, const QString& caption, QWidget* parent)
{
    auto* result = tickBox("", caption, parent);
    result->setObjectName(objectNameOf(key));
    return result;
}

QLineEdit* keyLineEdit(Key key, QWidget* parent)
{
    auto* field = new QLineEdit(parent);
    field->setObjectName(objectNameOf(key));
    field->setMaxLength(std::numeric_limits<int>::max());
    return field;
}

QPlainTextEdit* keyTextBox(Key key, QWidget* parent)
{
    auto* field = new QPlainTextEdit(parent);
    field->setObjectName(objectNameOf(key));
    return field;
}

LabelledField keyField(Key key, const QString& caption, QWidget* parent)
{
    auto* label = new QLabel(caption, parent);
    auto* field = keyLineEdit(key, parent);
    label->setBuddy(field);
    return { label, field };
}

QLabel* heading(const QString& text, QWidget* parent)
{
    auto* result = new QLabel(text, parent);
    result->setObjectName(QStringLiteral("HEADING_LABEL"));
    QFont font = result->font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.2);
    result->setFont(font);
    return result;
}

void paintBackground(QWidget& widget, QPalette::ColorRole role, const QColor& colour)
{
    QPalette palette = widget.palette();
    palette.setColor(role, colour);
    palette.setColor(QPalette::Disabled, QPalette::Text, palette.color(QPalette::Active, QPalette::Text).lighter(160));
    widget.setAutoFillBackground(role == QPalette::Window);
    widget.setPalette(palette);
}

NativeWindow nativeWindowOf(QWidget& window)
{
    return static_cast<NativeWindow>(window.winId());
}

} // namespace korvane::controls
