#include "info/donations_window.h"

#include "gui/colours.h"
#include "gui/controls.h"
#include "gui/window_geometry.h"
#include "info/flasher.h"
#include "info/info_controls.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>

namespace korvane {

using infocontrols::TextBox;

namespace {

constexpr int kFirstRowTop = 1560;
constexpr int kRowStep = 600;

TextBox* greenOnBlackBox(const char* objectName, const QString& text, const Geometry& twips, QWidget* parent)
{
    auto* box = new TextBox(objectName, text, parent);
    infocontrols::paintTextBox(*box, colours::kGreen, colours::kBlack);
    placeInTwips(*box, twips);
    return box;
}

void showPlain(TextBox& addressBox)
{
    infocontrols::paintTextBox(addressBox, colours::kBlack, infocontrols::kLightYellow);
}

} // namespace

DonationsWindow::DonationsWindow(LiveProfile& profile, QWidget* owner, MakerDetails details)
    : KorvaneDialog(WindowId::Donations, profile, owner)
    , m_details(details)
{
    setObjectName(QStringLiteral("DONATIONS_WINDOW"));
    setWindowTitle(QStringLiteral("KORVANE - PLEASE SUPPORT QUILLON SOFTWARE WITH A DONATION"));

    buildTitles();
    buildThanksMessage();
    int top = kFirstRowTop;
    for (const DonationAddress& donation : m_details.addresses) {
        buildAddressRow(donation, top);
        top += kRowStep;
    }
    buildFooter();
}

void DonationsWindow::buildTitles()
{
    greenOnBlackBox("QL_TITLE_TEXTBOX", QStringLiteral("QUILLON SOFTWARE"), { 120, 120, 4215, 435 }, this);
    greenOnBlackBox("QL_WEBSITE_TEXTBOX", controls::fromStd(shownWebsite(m_details)), { 4440, 120, 4215, 450 }, this);
}

void DonationsWindow::buildThanksMessage()
{
    const QString message = QStringLiteral("!!! DONATIONS ALWAYS APPRECIATED !!!");
    m_thanks = new TextBox("THANKS_DONATIONS_MESSAGE_TEXTBOX", message, this);
    QFont font = infocontrols::arial(m_thanks->font(), 9.75, QFont::Black);
    font.setFamilies({ QStringLiteral("Arial Black"), QStringLiteral("Arial") });
    m_thanks->setFont(font);
    m_thanks->setToolTip(QStringLiteral("!!! DOUBLE-CLICK TO STOP / START FLASHING TEXT !!!"));
    infocontrols::paintTextBox(*m_thanks, colours::kBlack, infocontrols::kLightGreen);
    placeInTwips(*m_thanks, { 1320, 1080, 6135, 345 });
    infocontrols::fitCaption(*m_thanks, message, 6);

    m_flasher = new Flasher(
        "DONATION_TEXT_TIMER",
        [this](const QColor& colour) { infocontrols::paintTextBox(*m_thanks, colour, infocontrols::kLightGreen); },
        this);
    connect(m_thanks, &TextBox::doubleClicked, this, &DonationsWindow::toggleFlashing);
}

void DonationsWindow::buildAddressRow(const DonationAddress& donation, int top)
{
    const QString coin = controls::fromStd(donation.coin);
    const QByteArray labelName = (coin + QStringLiteral("_NAME_LABEL")).toLatin1();
    QLabel* name = controls::label(labelName.constData(), coin, this);
    name->setAlignment(Qt::AlignCenter);
    infocontrols::paintLabel(*name, colours::kBlack, infocontrols::kLightYellow);
    placeInTwips(*name, { 960, static_cast<float>(top), 1095, 375 });

    const QByteArray boxName = (coin + QStringLiteral("_DONATION_ADDRESS_TEXTBOX")).toLatin1();
    auto* box = new TextBox(boxName.constData(), controls::fromStd(shownAddress(donation)), this);
    showPlain(*box);
    placeInTwips(*box, { 2160, static_cast<float>(top), 5655, 405 });
    name->setBuddy(box);
    connect(box, &TextBox::doubleClicked, this, [this, box, donation] { takeAddress(*box, donation); });
    connect(box, &TextBox::focusLost, this, [box] { showPlain(*box); });
}

void DonationsWindow::buildFooter()
{
    greenOnBlackBox("THANKS_QUILLON_SOFTWARE_TEXTBOX", QStringLiteral("Thanks for using Quillon Software !!! :)"),
                    { 840, 4560, 7095, 480 }, this);

    QPushButton* ok = controls::button("OK_BUTTON", QStringLiteral("OK"), this);
    placeInTwips(*ok, { 3360, 5280, 2055, 495 });
    ok->setDefault(true);
    ok->setFocus();
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    // Below the OK button, inside the window's first-start size.
    const QString hint = QStringLiteral("!!! DOUBLE-CLICK AN ADDRESS TO COPY TO CLIPBOARD !!!");
    auto* box = new TextBox("COPY_TO_CLIPBOARD_TEXTBOX", hint, this);
    box->setFont(infocontrols::arial(box->font(), box->font().pointSizeF(), QFont::Bold));
    infocontrols::paintTextBox(*box, infocontrols::kMagenta, infocontrols::kLightCyan);
    placeInTwips(*box, { 1320, 5880, 6135, 315 });
    infocontrols::fitCaption(*box, hint, 6);
}

// Black text means stopped: the palette never paints black.
void DonationsWindow::toggleFlashing()
{
    if (m_flasher->isRunning()) {
        m_flasher->stop();
        infocontrols::paintTextBox(*m_thanks, colours::kBlack, infocontrols::kLightGreen);
    } else {
        m_flasher->start();
    }
}

// A box without an address holds only the note that the build sets none: nothing to copy.
void DonationsWindow::takeAddress(TextBox& box, const DonationAddress& donation)
{
    infocontrols::paintTextBox(box, colours::kBlack, infocontrols::kPink);
    if (donation.address.empty())
        return;
    box.selectAll();
    QGuiApplication::clipboard()->setText(controls::fromStd(donation.address));
}

} // namespace korvane
