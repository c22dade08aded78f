#pragma once

#include <array>
#include <string>
#include <string_view>

namespace korvane {

// A coin's donation address; empty when the build sets none.
struct DonationAddress
{
    std::string_view coin;
    std::string_view address;
};

// What the donations window tells about the makers: an address for each of five coins and the
// web address. Each is set when the program is built; nothing else may fill them in, since an
// address that is not the makers' own would send the user's money to a stranger.
struct MakerDetails
{
    std::array<DonationAddress, 5> addresses;
    std::string_view website;
};

// The details this build was made with (BTC, NMC, LTC, DASH, VTC, in that order).
MakerDetails builtMakerDetails();

// The text an address box shows: the address, or a note that the build sets none.
std::string shownAddress(const DonationAddress& donation);
// The web address, or a note that the build sets none.
std::string shownWebsite(const MakerDetails& details);

} // namespace korvane
