#pragma once

#include <QColor>

namespace korvane::colours {

// The system's state colours: green running or on, red stopped, off or a lit scanner light.
inline const QColor kGreen { 0, 255, 0 };
inline const QColor kRed { 255, 0, 0 };
inline const QColor kBlack { 0, 0, 0 };
inline const QColor kCyan { 0, 255, 255 };
// A state that cannot be read.
inline const QColor kGrey { 160, 160, 160 };

} // namespace korvane::colours
