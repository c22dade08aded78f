#pragma once

// The colours a user sees on the lights, boxes and flashing texts, spelled once for every widget
// test (and apart from the program's own table, so a wrong value there shows).

#include <QColor>

namespace korvane::test::seen {

inline const QColor kGreen { 0, 255, 0 };
inline const QColor kRed { 255, 0, 0 };
inline const QColor kBlack { 0, 0, 0 };
inline const QColor kCyan { 0, 255, 255 };
inline const QColor kMagenta { 255, 0, 255 };
inline const QColor kYellow { 255, 255, 0 };
inline const QColor kGrey { 160, 160, 160 };

} // namespace korvane::test::seen
