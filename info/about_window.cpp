#include "info/about_window.h"

#include "gui/colours.h"
#include "gui/controls.h"
#include "gui/window_geometry.h"
#include "info/donations_window.h"
#include "info/flasher.h"
#include "info/info_controls.h"

#include <QFrame>
#include <QPushButton>

namespace korvane {

AboutWindow::AboutWindow(LiveProfile& profile, QWidget* owner, MakerDetails details)
    : KorvaneDialog(WindowId::About, profile, owner)
    , m_details(details)
{
    setObjectName(QStringLiteral("KORVANE_ABOUT"));
    setWindowTitle(QStringLiteral("KORVANE - ABOUT"));

    infocontrols::titleLabel("QL_TITLE_1", QStringLiteral("QUILLON"), { 120, 120, 2535, 375 }, this);
    infocontrols::titleLabel("QL_TITLE_3", QStringLiteral("KORVANE"), { 2760, 120, 4455, 375 }, this);
    infocontrols::titleLabel("QL_TITLE_2", QStringLiteral("QL-KV"), { 7320, 120, 1815, 375 }, this);
    infocontrols::titleLabel("VERSION_TEXTBOX", QStringLiteral("Version 1.0"), { 7320, 600, 1815, 375 }, this);
    buildDonationsButton();

    QPushButton* ok = controls::button("OK_BUTTON", QStringLiteral("OK"), this);
    placeInTwips(*ok, { 6240, 1320, 2055, 495 });
    ok->setDefault(true);
    ok->setFocus();
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

// The button sits in a plain frame a little larger than itself, whose colour flashes.
void AboutWindow::buildDonationsButton()
{
    auto* frame = controls::named(new QFrame(this), "DONATIONS_BACK_TEXTBOX");
    placeInTwips(*frame, { 480, 1200, 5055, 735 });
    controls::paintBackground(*frame, QPalette::Window, colours::kBlack);
    new Flasher(
        "DONATION_BUTTON_TIMER",
        [frame](const QColor& colour) { controls::paintBackground(*frame, QPalette::Window, colour); }, this);

    const QString caption = QStringLiteral("!!! DONATIONS ALWAYS APPRECIATED !!!");
    QPushButton* donations = controls::button("DONATIONS_BUTTON", caption, this);
    donations->setFont(infocontrols::arial(donations->font(), 9.75, QFont::Bold));
    placeInTwips(*donations, { 720, 1320, 4695, 495 });
    infocontrols::fitCaption(*donations, caption, 6);
    connect(donations, &QPushButton::clicked, this, &AboutWindow::openDonations);
}

void AboutWindow::openDonations()
{
    DonationsWindow donations(profile(), this, m_details);
    donations.exec();
}

} // namespace korvane
