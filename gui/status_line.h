#pragma once

#include <QLabel>
#include <QString>

namespace korvane {

// The line of a window that reports what went wrong: red, selectable text. Every window that reports
// has one; an empty message clears it. A standing problem (one found at start, say) stays in front
// of every message, joined to it by " | ".
class StatusLine : public QLabel
{
    Q_OBJECT

public:
    struct Look
    {
        const char* objectName = "STATUS_LABEL";
        bool wraps = true;
        bool hiddenWhileEmpty = true;
        bool repeatedInToolTip = true; // for a long line cut off at the window's edge
    };

    explicit StatusLine(QWidget* parent);
    StatusLine(const Look& look, QWidget* parent);

    void showMessage(const QString& message);
    void setStandingProblem(const QString& problem);

private:
    void refresh();

    Look m_look;
    QString m_standingProblem;
    QString m_message;
};

} // namespace korvane
