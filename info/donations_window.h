#pragma once

#include "gui/korvane_dialog.h"
#include "info/maker_details.h"

namespace korvane {

class Flasher;
namespace infocontrols {
class TextBox;
}

// DONATIONS_WINDOW: the makers' donation address for each of five coins under a thank-you line
// whose text flashes in five colours. Double-clicking the thank-you line stops or restarts the
// flashing; double-clicking an address highlights it until the focus moves on, and copies it.
class DonationsWindow : public KorvaneDialog
{
    Q_OBJECT

public:
    DonationsWindow(LiveProfile& profile, QWidget* owner, MakerDetails details = builtMakerDetails());

private:
    void buildTitles();
    void buildThanksMessage();
    void buildAddressRow(const DonationAddress& donation, int top);
    void buildFooter();
    void toggleFlashing();
    void takeAddress(infocontrols::TextBox& box, const DonationAddress& donation);

    MakerDetails m_details;
    infocontrols::TextBox* m_thanks = nullptr;
    Flasher* m_flasher = nullptr;
};

} // namespace korvane
