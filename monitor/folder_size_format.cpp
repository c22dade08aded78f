#include "monitor/folder_size_format.h"

namespace korvane {
namespace {

struct UnitDesign
{
    int powerOf1000;
    int decimals;
    const char* suffix;
};

constexpr UnitDesign kUnits[kFolderSizeUnitCount] = {
    { 0, 0, " B  " }, { 1, 3, " KB" }, { 2, 3, " MB" }, { 3, 3, " GB" }, { 4, 6, " TB" }, { 5, 9, " PB" },
};

constexpr const char* kLineBreak = "\r\n";

std::uint64_t powerOf10(int exponent)
{
    std::uint64_t power = 1;
    for (int i = 0; i < exponent; ++i)
        power *= 10;
    return power;
}

// bytes / divisor, rounded half up.
std::uint64_t divideRounded(std::uint64_t bytes, std::uint64_t divisor)
{
    const std::uint64_t quotient = bytes / divisor;
    const std::uint64_t remainder = bytes % divisor;
    return remainder >= divisor - remainder ? quotient + 1 : quotient; // divisor > 1 here, so no overflow
}

std::string grouped(std::uint64_t whole, const std::string& separator)
{
    const std::string digits = std::to_string(whole);
    std::string text;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i != 0 && (digits.size() - i) % 3 == 0)
            text += separator;
        text += digits[i];
    }
    return text;
}

// `scaled` read as a number with `decimals` digits after the point.
std::string decimalText(std::uint64_t scaled, int decimals, const NumberSeparators& separators)
{
    const std::uint64_t one = powerOf10(decimals);
    std::string text = grouped(scaled / one, separators.thousands);
    if (decimals == 0)
        return text;
    std::string fraction = std::to_string(scaled % one);
    fraction.insert(0, static_cast<std::size_t>(decimals) - fraction.size(), '0');
    while (!fraction.empty() && fraction.back() == '0')
        fraction.pop_back();
    if (!fraction.empty())
        text += separators.decimal + fraction;
    return text;
}

std::string unitText(std::uint64_t bytes, const UnitDesign& unit, const NumberSeparators& separators)
{
    // The value in the unit, times 10^decimals: bytes divided by 10^(3 * power - decimals).
    const int shift = 3 * unit.powerOf1000 - unit.decimals;
    const std::uint64_t scaled = shift == 0 ? bytes : divideRounded(bytes, powerOf10(shift));
    return decimalText(scaled, unit.decimals, separators) + unit.suffix;
}

std::string failureText(const std::string& folder, const FolderSizeResult& result)
{
    switch (result.outcome) {
    case FolderSizeOutcome::NoFolderName:
        return "FOLDER NAME IS EMPTY";
    case FolderSizeOutcome::NotFound:
        return "FOLDER NOT FOUND: " + folder;
    case FolderSizeOutcome::NotAFolder:
        return "NOT A FOLDER: " + folder;
    case FolderSizeOutcome::Unreadable:
        return "CANNOT READ FOLDER: " + folder + kLineBreak + result.error;
    case FolderSizeOutcome::Stopped:
        return "STOPPED";
    case FolderSizeOutcome::Measured:
        break;
    }
    return {};
}

// "PARTIAL: 2 folders" and what happened to them, on the next line.
std::string folderNote(const char* heading, std::uint64_t folders, const char* why)
{
    const char* noun = folders == 1 ? " folder" : " folders";
    return kLineBreak + (heading + std::to_string(folders)) + noun + kLineBreak + why;
}

} // namespace

FolderSizeTexts folderSizeTexts(std::uint64_t bytes, const NumberSeparators& separators)
{
    FolderSizeTexts texts;
    for (std::size_t unit = 0; unit < kFolderSizeUnitCount; ++unit)
        texts[unit] = unitText(bytes, kUnits[unit], separators);
    return texts;
}

FolderSizeReport
folderSizeReport(const std::string& folder, const FolderSizeResult& result, const NumberSeparators& separators)
{
    FolderSizeReport report;
    if (!result.measured()) {
        report.summary = failureText(folder, result);
        return report;
    }
    report.units = folderSizeTexts(result.bytes, separators);
    for (const std::string& text : report.units)
        report.summary += (report.summary.empty() ? "" : kLineBreak) + text;
    if (result.partial())
        report.summary += folderNote("PARTIAL: ", result.unreadableFolders, "could not be read");
    if (result.repeatedFolders != 0)
        report.summary += folderNote("SKIPPED: ", result.repeatedFolders, "already counted");
    return report;
}

} // namespace korvane
