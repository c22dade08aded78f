#include "gui/korvane_dialog.h"

#include "gui/live_profile.h"
#include "gui/status_line.h"
#include "gui/window_geometry.h"

#include <QBoxLayout>
#include <QMessageBox>

namespace korvane {

void warnNotStored(QWidget& window, const LiveProfile& profile)
{
    QMessageBox::warning(&window, window.windowTitle(),
                         QStringLiteral("The settings could not be saved.\n\n%1").arg(profile.lastFailure()));
}

KorvaneDialog::KorvaneDialog(WindowId id, LiveProfile& profile, QWidget* owner)
    : QDialog(owner)
    , m_id(id)
    , m_profile(profile)
{
    setModal(true);
    restoreWindowGeometry(*this, m_profile.profile(), m_id);
}

void KorvaneDialog::done(int result)
{
    const bool positionStored = saveWindowPosition(*this, m_profile.profile(), m_id);
    const bool valuesStored = unload();
    if (!positionStored || !valuesStored)
        warnNotStored(*this, m_profile);
    QDialog::done(result);
}

void KorvaneDialog::addStatusLine(QBoxLayout* page)
{
    m_status = new StatusLine(this);
    page->addWidget(m_status);
}

void KorvaneDialog::showStatus(const QString& message)
{
    if (m_status)
        m_status->showMessage(message);
}

bool KorvaneDialog::stored(bool ok)
{
    showStatus(ok ? QString() : m_profile.lastFailure());
    return ok;
}

} // namespace korvane
