#include "info/maker_details.h"

#include "info/maker_details_config.h"

namespace korvane {

MakerDetails builtMakerDetails()
{
    return { { { { "BTC", KORVANE_DONATION_ADDRESS_BTC },
                 { "NMC", KORVANE_DONATION_ADDRESS_NMC },
                 { "LTC", KORVANE_DONATION_ADDRESS_LTC },
                 { "DASH", KORVANE_DONATION_ADDRESS_DASH },
                 { "VTC", KORVANE_DONATION_ADDRESS_VTC } } },
             KORVANE_WEBSITE };
}

std::string shownAddress(const DonationAddress& donation)
{
    if (donation.address.empty())
        return std::string(donation.coin) + " address not set in this build";
    return std::string(donation.address);
}

std::string shownWebsite(const MakerDetails& details)
{
    if (details.website.empty())
        return "Web address not set in this build";
    return std::string(details.website);
}

} // namespace korvane
