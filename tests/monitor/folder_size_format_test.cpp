#include "monitor/folder_size_format.h"

#include <gtest/gtest.h>

namespace korvane {
namespace {

FolderSizeTexts
texts(const char* bytes, const char* kilo, const char* mega, const char* giga, const char* tera, const char* peta)
{
    return { bytes, kilo, mega, giga, tera, peta };
}

TEST(FolderSizeFormat, ShowsEachUnitWithItsDecimalsAndSuffix)
{
    EXPECT_EQ(
        folderSizeTexts(1'234'567'890),
        texts("1,234,567,890 B  ", "1,234,567.89 KB", "1,234.568 MB", "1.235 GB", "0.001235 TB", "0.000001235 PB"));
    EXPECT_EQ(folderSizeTexts(0), texts("0 B  ", "0 KB", "0 MB", "0 GB", "0 TB", "0 PB"));
    EXPECT_EQ(folderSizeTexts(999), texts("999 B  ", "0.999 KB", "0.001 MB", "0 GB", "0 TB", "0 PB"));
    EXPECT_EQ(folderSizeTexts(499), texts("499 B  ", "0.499 KB", "0 MB", "0 GB", "0 TB", "0 PB"));
}

TEST(FolderSizeFormat, UnitsArePowersOf1000AndWholeNumbersHaveNoDecimalSeparator)
{
    EXPECT_EQ(folderSizeTexts(5'000'000'000'000'000),
              texts("5,000,000,000,000,000 B  ", "5,000,000,000,000 KB", "5,000,000,000 MB", "5,000,000 GB", "5,000 TB",
                    "5 PB"));
    EXPECT_EQ(folderSizeTexts(1024), texts("1,024 B  ", "1.024 KB", "0.001 MB", "0 GB", "0 TB", "0 PB"));
    EXPECT_EQ(folderSizeTexts(1'048'576).at(2), "1.049 MB");
}

TEST(FolderSizeFormat, TheLargestSizesStayExactWithoutExponent)
{
    EXPECT_EQ(folderSizeTexts(18'446'744'073'709'551'615u),
              texts("18,446,744,073,709,551,615 B  ", "18,446,744,073,709,551.615 KB", "18,446,744,073,709.552 MB",
                    "18,446,744,073.71 GB", "18,446,744.07371 TB", "18,446.74407371 PB"));
    EXPECT_EQ(folderSizeTexts(999'999'999'999'999'999).at(5), "1,000 PB");
}

TEST(FolderSizeFormat, UsesTheGivenSeparators)
{
    EXPECT_EQ(folderSizeTexts(1'234'567'890, { ".", "," }).at(1), "1.234.567,89 KB");
    EXPECT_EQ(folderSizeTexts(1'234'567'890, { "\u202f", "," }).at(0), "1\u202f234\u202f567\u202f890 B  ");
}

TEST(FolderSizeFormat, TheSummaryJoinsTheUnitsOrSaysWhatWentWrong)
{
    const FolderSizeResult measured { FolderSizeOutcome::Measured, 1'234'567'890, 0, {} };
    FolderSizeReport report = folderSizeReport("/srv/btc", measured);
    EXPECT_EQ(report.units, folderSizeTexts(1'234'567'890));
    EXPECT_EQ(report.summary,
              "1,234,567,890 B  \r\n1,234,567.89 KB\r\n1,234.568 MB\r\n1.235 GB\r\n"
              "0.001235 TB\r\n0.000001235 PB");

    FolderSizeResult partial = measured;
    partial.unreadableFolders = 2;
    EXPECT_EQ(folderSizeReport("/srv/btc", partial).summary,
              report.summary + "\r\nPARTIAL: 2 folders\r\ncould not be read");
    partial.unreadableFolders = 1;
    EXPECT_TRUE(folderSizeReport("/srv/btc", partial).summary.ends_with("\r\nPARTIAL: 1 folder\r\ncould not be read"));
    partial.repeatedFolders = 3;
    EXPECT_TRUE(folderSizeReport("/srv/btc", partial)
                    .summary.ends_with("\r\nPARTIAL: 1 folder\r\ncould not be read"
                                       "\r\nSKIPPED: 3 folders\r\nalready counted"));

    const std::pair<FolderSizeResult, std::string> failures[] = {
        { { FolderSizeOutcome::NoFolderName, 0, 0, "none" }, "FOLDER NAME IS EMPTY" },
        { { FolderSizeOutcome::NotFound, 0, 0, "gone" }, "FOLDER NOT FOUND: /srv/btc" },
        { { FolderSizeOutcome::NotAFolder, 0, 0, "file" }, "NOT A FOLDER: /srv/btc" },
        { { FolderSizeOutcome::Unreadable, 0, 0, "Permission denied" },
          "CANNOT READ FOLDER: /srv/btc\r\nPermission denied" },
    };
    for (const auto& [result, summary] : failures) {
        report = folderSizeReport("/srv/btc", result);
        EXPECT_EQ(report.summary, summary);
        EXPECT_EQ(report.units, FolderSizeTexts {});
    }
}

} // namespace
} // namespace korvane
