#pragma once

#include "settings/keys.h"

#include <QLineEdit>

class QLabel;

namespace korvane::infocontrols {

inline const QColor kLightYellow { 255, 255, 192 };
inline const QColor kPink { 255, 128, 255 };
inline const QColor kLightGreen { 128, 255, 128 };
inline const QColor kLightCyan { 192, 255, 255 };
inline const QColor kMagenta { 255, 0, 255 };

// A read-only, centred text box that tells when it is double-clicked and when the focus moves
// from it to another control of the window.
class TextBox : public QLineEdit
{
    Q_OBJECT

public:
    TextBox(const char* objectName, const QString& text, QWidget* parent);

Q_SIGNALS:
    void doubleClicked();
    void focusLost();

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
};

// A centred label in bold 12-point Arial, green on black.
QLabel* titleLabel(const char* objectName, const QString& caption, const Geometry& twips, QWidget* parent);

QFont arial(const QFont& base, double points, int weight);
// Text and background of a text box (Text on Base) or of a label (WindowText on Window).
void paintTextBox(QWidget& box, const QColor& text, const QColor& background);
void paintLabel(QWidget& label, const QColor& text, const QColor& background);
// Makes a fixed caption as wide as its control allows: a machine without the design font may set
// it wider, and then it shrinks until it fits.
void fitCaption(QWidget& control, const QString& caption, int margin);

} // namespace korvane::infocontrols
