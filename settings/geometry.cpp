#include "settings/geometry.h"

#include <cmath>

namespace korvane {

int pixelsFromTwips(float twips, double dotsPerInch)
{
    return static_cast<int>(std::lround(static_cast<double>(twips) * dotsPerInch / kTwipsPerInch));
}

float twipsFromPixels(int pixels, double dotsPerInch)
{
    return static_cast<float>(std::round(pixels * kTwipsPerInch / dotsPerInch));
}

} // namespace korvane
