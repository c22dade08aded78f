#pragma once

#include "platform/folder_size.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace korvane {

// The separators of a number format: English ones unless the caller gives the user's.
struct NumberSeparators
{
    std::string thousands = ",";
    std::string decimal = ".";
};

// Bytes, kilobytes, megabytes, gigabytes, terabytes, petabytes.
inline constexpr std::size_t kFolderSizeUnitCount = 6;
using FolderSizeTexts = std::array<std::string, kFolderSizeUnitCount>;

// A size in each unit (powers of 1000, never 1024), with its suffix: the bytes in full, the other
// units rounded half up to 3, 3, 3, 6 and 9 decimals. Trailing zeros are dropped, and a whole
// number shows no decimal separator ("5 KB", not "5. KB"). Computed from the byte count in whole
// numbers, so even the largest sizes are exact and never shown with an exponent.
FolderSizeTexts folderSizeTexts(std::uint64_t bytes, const NumberSeparators& separators = {});

struct FolderSizeReport
{
    FolderSizeTexts units; // all empty when the folder could not be measured
    std::string summary; // lines joined by CR LF, no line break after the last
};

// What a measurement of `folder` shows: the six unit texts, bytes first, and notes on subfolders
// that could not be read and on folders left out as already counted; or a line saying why the
// folder could not be measured.
FolderSizeReport
folderSizeReport(const std::string& folder, const FolderSizeResult& result, const NumberSeparators& separators = {});

} // namespace korvane
