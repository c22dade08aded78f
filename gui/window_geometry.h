#pragma once

#include "base/result.h"
#include "settings/keys.h"

class QWidget;

namespace korvane {

class Profile;

// Every window opens at its stored left, top, width and height (twips, converted with the
// screen's logical dots per inch) and stores only its left and top when it closes, so a size
// change never outlives the window. Left and top are the frame's position, as pos() and move()
// use it, so saving and restoring never makes a window creep.
void restoreWindowGeometry(QWidget& window, const Profile& profile, WindowId id);
Result<> saveWindowPosition(const QWidget& window, Profile& profile, WindowId id);
// Places a control at a position and size given in twips inside its window.
void placeInTwips(QWidget& control, const Geometry& twips);

} // namespace korvane
