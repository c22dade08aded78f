#pragma once

#include <QLabel>
#include <QString>

namespace korvane {

// A one-line label for texts that come from outside (a node's warnings, a path): shown as plain
// text, never as markup, and cut with "…" to the width it has, the whole text in its tool tip and
// read to a screen reader. A line that never wraps keeps the layout from jumping as texts change.
class ElidedLabel : public QLabel
{
    Q_OBJECT

public:
    explicit ElidedLabel(QWidget* parent = nullptr);

    // `more` is added to the tool tip: where the text comes from, say.
    void setFullText(const QString& text, const QString& more = {});
    const QString& fullText() const { return m_fullText; }

    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void elide();

    QString m_fullText;
    QString m_more;
};

} // namespace korvane
