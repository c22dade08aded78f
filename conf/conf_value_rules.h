#pragma once

#include "settings/keys.h"

#include <string>
#include <string_view>

namespace korvane {

// The generator's fields that give one line of the ".conf" file: the crypto name (in the header)
// and every value written after a key part; not the two text boxes of several lines.
bool isOneLineConfField(Key key);

// The first character of `value` that a one-line field may not hold, named for a message: any
// control character ("a line break (LF)", "a carriage return (CR)", "a NUL character", "a tab",
// "control character 0x1B"), since it would end, break or hide the line. Empty when there is none.
std::string refusedOneLineCharacter(std::string_view value);

// What the generator says when a one-line field refuses a value.
std::string oneLineRefusalMessage(std::string_view fieldCaption, std::string_view character);

// Stored lines with their breaks ("\r\n", a lone "\r" or "\n") made the CR LF of conf text; every
// other byte is kept, whether or not it is UTF-8.
std::string withConfLineBreaks(std::string_view stored);

} // namespace korvane
