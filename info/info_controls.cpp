#include "info/info_controls.h"

#include "gui/colours.h"
#include "gui/controls.h"
#include "gui/window_geometry.h"

#include <QFocusEvent>
#include <QLabel>

namespace korvane::infocontrols {
namespace {

void paint(QWidget& widget,
           QPalette::ColorRole textRole,
           const QColor& text,
           QPalette::ColorRole backgroundRole,
           const QColor& background)
{
    controls::paintBackground(widget, backgroundRole, background);
    QPalette palette = widget.palette();
    palette.setColor(textRole, text);
    widget.setPalette(palette);
}

} // namespace

TextBox::TextBox(const char* objectName, const QString& text, QWidget* parent)
    : QLineEdit(text, parent)
{
    setObjectName(QString::fromLatin1(objectName));
    setReadOnly(true);
    setAlignment(Qt::AlignCenter);
    setCursorPosition(0);
}

void TextBox::mouseDoubleClickEvent(QMouseEvent* event)
{
    QLineEdit::mouseDoubleClickEvent(event);
    Q_EMIT doubleClicked();
}

// A menu opening on the box, or another program taking the desktop's focus, leaves the focus
// where it is as far as the window is concerned.
void TextBox::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    if (event->reason() != Qt::PopupFocusReason && event->reason() != Qt::ActiveWindowFocusReason)
        Q_EMIT focusLost();
}

QLabel* titleLabel(const char* objectName, const QString& caption, const Geometry& twips, QWidget* parent)
{
    QLabel* label = controls::label(objectName, caption, parent);
    label->setAlignment(Qt::AlignCenter);
    label->setFont(arial(label->font(), 12, QFont::Bold));
    paintLabel(*label, colours::kGreen, colours::kBlack);
    placeInTwips(*label, twips);
    fitCaption(*label, caption, 4);
    return label;
}

QFont arial(const QFont& base, double points, int weight)
{
    QFont font = base;
    font.setFamily(QStringLiteral("Arial"));
    font.setPointSizeF(points);
    font.setWeight(static_cast<QFont::Weight>(weight));
    return font;
}

void paintTextBox(QWidget& box, const QColor& text, const QColor& background)
{
    paint(box, QPalette::Text, text, QPalette::Base, background);
}

void paintLabel(QWidget& label, const QColor& text, const QColor& background)
{
    paint(label, QPalette::WindowText, text, QPalette::Window, background);
}

void fitCaption(QWidget& control, const QString& caption, int margin)
{
    QFont font = control.font();
    const int room = control.width() - 2 * margin;
    while (QFontMetrics(font).horizontalAdvance(caption) > room && font.pointSizeF() > 6)
        font.setPointSizeF(font.pointSizeF() - 0.25);
    control.setFont(font);
}

} // namespace korvane::infocontrols
