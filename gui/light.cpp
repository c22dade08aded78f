#include "gui/light.h"

#include <QMouseEvent>

namespace korvane {

Light::Light(const QString& text, QWidget* parent)
    : QLabel(text, parent)
{
    setAlignment(Qt::AlignCenter);
    setFrameShape(QFrame::Box);
    setAutoFillBackground(true);
    setMinimumWidth(fontMetrics().horizontalAdvance(text) + 10);
}

void Light::setColour(const QColor& colour)
{
    if (colour == m_colour)
        return;
    m_colour = colour;
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, colour);
    palette.setColor(QPalette::WindowText, Qt::black);
    setPalette(palette);
}

void Light::resetDesignLook()
{
    m_colour = QColor();
    setPalette(QPalette());
}

void Light::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        Q_EMIT doubleClicked();
    QLabel::mouseDoubleClickEvent(event);
}

} // namespace korvane
