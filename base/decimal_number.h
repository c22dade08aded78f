#pragma once

#include <optional>
#include <string_view>

namespace korvane {

// The number the whole text (blanks around it aside) spells in plain decimals ("10", "2.5"), if it
// spells one: no exponent, no "nan", nothing after it.
std::optional<double> decimalNumber(std::string_view text);

} // namespace korvane
