// The helper program carries the program's icon and version resource (see CMakeLists.txt), so the
// resource script is compiled by every cross build and read back here as Windows reads it.
#include "platform/win/win_text.h"
#include "tests/platform/win/win_test_support.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <vector>
#include <windows.h>

namespace korvane {
namespace {

class AppResourcesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const DWORD size = GetFileVersionInfoSizeW(program.c_str(), nullptr);
        ASSERT_NE(size, 0U) << "no version resource in " << program.string();
        versionInfo.resize(size);
        ASSERT_TRUE(GetFileVersionInfoW(program.c_str(), 0, size, versionInfo.data()));
    }

    std::string text(const wchar_t* name)
    {
        const std::wstring path = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
        wchar_t* value = nullptr;
        UINT length = 0;
        if (!VerQueryValueW(versionInfo.data(), path.c_str(), reinterpret_cast<void**>(&value), &length) || !value)
            return "<missing>";
        return win::toUtf8(value);
    }

    const std::filesystem::path program = test::helperProgram();
    std::vector<char> versionInfo;
};

TEST_F(AppResourcesTest, VersionResourceNamesTheShippedExecutable)
{
    EXPECT_EQ(text(L"OriginalFilename"), "QL-KORVANE-V1.exe");
    EXPECT_EQ(text(L"ProductName"), "QL-KORVANE");
    EXPECT_EQ(text(L"FileVersion"), "1.0.0.0");

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(versionInfo.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwSignature, VS_FFI_SIGNATURE);
    EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(0, 1));
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
}

#pragma pack(push, 2)
struct IconGroupEntry
{
    BYTE width; // 0 stands for 256
    BYTE height;
    BYTE colourCount;
    BYTE reserved;
    WORD planes;
    WORD bitCount;
    DWORD bytes;
    WORD id;
};

struct IconGroupHeader
{
    WORD reserved;
    WORD type;
    WORD count;
    IconGroupEntry entries[1];
};
#pragma pack(pop)

TEST_F(AppResourcesTest, IconHoldsEverySizeExplorerAsksFor)
{
    const HMODULE module = LoadLibraryExW(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr);
    const HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(14)); // RT_GROUP_ICON
    ASSERT_NE(found, nullptr);
    const auto* group = static_cast<const IconGroupHeader*>(LockResource(LoadResource(module, found)));
    ASSERT_NE(group, nullptr);

    std::vector<int> sizes;
    for (WORD entry = 0; entry < group->count; ++entry)
        sizes.push_back(group->entries[entry].width == 0 ? 256 : group->entries[entry].width);
    std::sort(sizes.begin(), sizes.end());
    EXPECT_EQ(sizes, (std::vector<int> { 16, 32, 48, 256 }));

    const HANDLE icon = LoadImageW(module, MAKEINTRESOURCEW(1), IMAGE_ICON, 32, 32, 0);
    EXPECT_NE(icon, nullptr);
    if (icon)
        DestroyIcon(static_cast<HICON>(icon));
    FreeLibrary(module);
}

} // namespace
} // namespace korvane
