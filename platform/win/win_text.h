#pragma once

#include <string>
#include <string_view>

namespace korvane::win {

// Text crosses the Win32 boundary as UTF-16; everything else in the program is UTF-8.
// Invalid UTF-8 turns into U+FFFD.
std::wstring toWide(std::string_view utf8);
std::string toUtf8(std::wstring_view wide);

// The system's own text for an error code, as FormatMessage gives it, without the line break.
std::string systemMessage(unsigned long errorCode);
std::string lastErrorMessage();

} // namespace korvane::win
