#include "gui/korvane_dialog.h"

#include "gui/controls.h"
#include "gui/live_profile.h"
#include "gui/status_line.h"
#include "gui/window_geometry.h"

#include <QBoxLayout>
#include <QMessageBox>

namespace korvane {

void warnNotStored(QWidget& window, const std::string& reason)
{
    QMessageBox::warning(&window, window.windowTitle(),
                         QStringLiteral("The settings could not be saved.\n\n%1").arg(controls::fromStd(reason)));
}

Result<> laterFailure(const Result<>& earlier, const Result<>& later)
{
    return later ? earlier : later;
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
    const Result<> positionStored = saveWindowPosition(*this, m_profile.profile(), m_id);
    const Result<> failed = laterFailure(positionStored, unload());
    if (!failed)
        warnNotStored(*this, failed.error());
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

bool KorvaneDialog::stored(const Result<>& result)
{
    showStatus(controls::fromStd(result.error()));
    return result.ok();
}

} // namespace korvane
