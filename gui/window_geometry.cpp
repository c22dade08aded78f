#include "gui/window_geometry.h"

#include "settings/geometry.h"
#include "settings/profile.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace korvane {
namespace {

double logicalDpi(const QWidget& window)
{
    const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    return screen ? screen->logicalDotsPerInch() : 96.0;
}

} // namespace

void restoreWindowGeometry(QWidget& window, const Profile& profile, WindowId id)
{
    const Geometry stored = profile.geometry(id);
    const double dpi = logicalDpi(window);
    window.move(pixelsFromTwips(stored.left, dpi), pixelsFromTwips(stored.top, dpi));
    window.resize(pixelsFromTwips(stored.width, dpi), pixelsFromTwips(stored.height, dpi));
}

Result<> saveWindowPosition(const QWidget& window, Profile& profile, WindowId id)
{
    const double dpi = logicalDpi(window);
    return profile.savePosition(id, twipsFromPixels(window.pos().x(), dpi), twipsFromPixels(window.pos().y(), dpi));
}

void placeInTwips(QWidget& control, const Geometry& twips)
{
    const double dpi = logicalDpi(control);
    control.setGeometry(pixelsFromTwips(twips.left, dpi), pixelsFromTwips(twips.top, dpi),
                        pixelsFromTwips(twips.width, dpi), pixelsFromTwips(twips.height, dpi));
}

} // namespace korvane
