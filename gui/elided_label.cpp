#include "gui/elided_label.h"

#include <QResizeEvent>

namespace korvane {

ElidedLabel::ElidedLabel(QWidget* parent)
    : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setWordWrap(false);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
}

void ElidedLabel::setFullText(const QString& text, const QString& more)
{
    if (text == m_fullText && more == m_more)
        return;
    m_fullText = text;
    m_more = more;
    elide();
}

QSize ElidedLabel::minimumSizeHint() const
{
    return { 0, QLabel::minimumSizeHint().height() };
}

void ElidedLabel::resizeEvent(QResizeEvent* event)
{
    QLabel::resizeEvent(event);
    elide();
}

void ElidedLabel::elide()
{
    const QString shown = fontMetrics().elidedText(m_fullText, Qt::ElideRight, contentsRect().width());
    setText(shown);
    const bool cut = shown != m_fullText;
    QStringList tip;
    if (cut)
        tip << m_fullText;
    if (!m_more.isEmpty())
        tip << m_more;
    setToolTip(tip.join(QLatin1Char('\n')));
    setAccessibleName(cut ? m_fullText : QString());
}

} // namespace korvane
