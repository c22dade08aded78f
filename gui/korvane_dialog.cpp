#include "gui/korvane_dialog.h"

#include "gui/window_geometry.h"

namespace korvane {

KorvaneDialog::KorvaneDialog(WindowId id, Profile& profile, QWidget* owner)
    : QDialog(owner)
    , m_id(id)
    , m_profile(profile)
{
    setModal(true);
    restoreWindowGeometry(*this, m_profile, m_id);
}

void KorvaneDialog::done(int result)
{
    saveWindowPosition(*this, m_profile, m_id);
    unload();
    QDialog::done(result);
}

} // namespace korvane
