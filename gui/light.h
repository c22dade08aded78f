#pragma once

#include <QColor>
#include <QLabel>

namespace korvane {

// A small coloured box that shows a state by its background. Until it is first coloured it keeps
// its design look (the window's own background), and colour() is invalid.
class Light : public QLabel
{
    Q_OBJECT

public:
    explicit Light(const QString& text, QWidget* parent = nullptr);

    QColor colour() const { return m_colour; }
    void setColour(const QColor& colour);
    void resetDesignLook();

Q_SIGNALS:
    void doubleClicked();

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    QColor m_colour;
};

} // namespace korvane
