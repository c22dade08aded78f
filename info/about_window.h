#pragma once

#include "gui/korvane_dialog.h"
#include "info/maker_details.h"

namespace korvane {

// KORVANE_ABOUT: the product's titles and version, and a donations button in a frame that
// flashes in five colours. The button opens the donations window.
class AboutWindow : public KorvaneDialog
{
    Q_OBJECT

public:
    AboutWindow(LiveProfile& profile, QWidget* owner, MakerDetails details = builtMakerDetails());

private:
    void buildDonationsButton();
    void openDonations();

    MakerDetails m_details;
};

} // namespace korvane
