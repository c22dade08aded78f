#pragma once

namespace korvane {

// Twips are 1/1440 inch: 15 twips per pixel at 96 dots per inch.
inline constexpr double kTwipsPerInch = 1440.0;

int pixelsFromTwips(float twips, double dotsPerInch);
float twipsFromPixels(int pixels, double dotsPerInch);

} // namespace korvane
