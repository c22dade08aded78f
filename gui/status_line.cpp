#include "gui/status_line.h"

#include <QStringList>

namespace korvane {

StatusLine::StatusLine(QWidget* parent)
    : StatusLine(Look {}, parent)
{
}

StatusLine::StatusLine(const Look& look, QWidget* parent)
    : QLabel(parent)
    , m_look(look)
{
    setObjectName(QString::fromLatin1(m_look.objectName));
    setStyleSheet(QStringLiteral("color: #b00000"));
    setWordWrap(m_look.wraps);
    setTextInteractionFlags(Qt::TextSelectableByMouse);
    setVisible(!m_look.hiddenWhileEmpty);
}

void StatusLine::showMessage(const QString& message)
{
    m_message = message;
    refresh();
}

void StatusLine::setStandingProblem(const QString& problem)
{
    m_standingProblem = problem;
    refresh();
}

void StatusLine::refresh()
{
    QStringList shown;
    for (const QString& part : { m_standingProblem, m_message }) {
        if (!part.isEmpty())
            shown << part;
    }
    setText(shown.join(QStringLiteral(" | ")));
    if (m_look.repeatedInToolTip)
        setToolTip(text());
    if (m_look.hiddenWhileEmpty)
        setVisible(!text().isEmpty());
}

} // namespace korvane
