#include "platform/win/win_folder_size.h"
#include "platform/win/win_text.h"
#include "tests/helpers/temporary_folder.h"
#include "tests/platform/win/win_test_support.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace korvane {
namespace {

namespace fs = std::filesystem;
using test::TemporaryFolder;
using test::writeFile;

// Wine answers CreateSymbolicLinkW without making a link, and shows a Linux link to a folder as a
// reparse point: under Wine the link is made on the Linux side, by Linux's own program (Wine starts
// Linux programs too).
bool makeFolderLink(const fs::path& link, const fs::path& target)
{
    using UnixFileName = char* (*)(const wchar_t*);
    const auto unixFileName = reinterpret_cast<UnixFileName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32"), "wine_get_unix_file_name")));
    if (!unixFileName) {
        const DWORD flags = SYMBOLIC_LINK_FLAG_DIRECTORY | SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE;
        return CreateSymbolicLinkW(link.c_str(), target.c_str(), flags) != 0;
    }
    const auto unixName = [&](const fs::path& path) {
        char* name = unixFileName(path.c_str());
        const std::wstring wide = name ? win::toWide(name) : std::wstring();
        HeapFree(GetProcessHeap(), 0, name);
        return wide;
    };
    std::wstring command = L"/bin/ln -s " + unixName(target) + L" " + unixName(link.parent_path());
    command += L"/" + link.filename().wstring();
    STARTUPINFOW startup {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process {};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    // Wine hands back no handle of a Linux process to wait for: wait for the link instead.
    return test::waitUntil([&] { return GetFileAttributesW(link.c_str()) != INVALID_FILE_ATTRIBUTES; },
                           std::chrono::seconds(10));
}

TEST(WinFolderSize, FollowsALinkToTheFolderItselfButNoLinkBelowIt)
{
    TemporaryFolder elsewhere;
    writeFile(elsewhere.path() / "big.bin", std::string(500000, 'x'));
    TemporaryFolder tree;
    writeFile(tree.path() / "node" / "blocks" / "blk00000.dat", std::string(2000, 'b'));
    ASSERT_TRUE(makeFolderLink(tree.path() / "node" / "blocks" / "folder-link", elsewhere.path()));
    ASSERT_TRUE(makeFolderLink(tree.path() / "home-link", tree.path() / "node"));
    ASSERT_TRUE(fs::exists(tree.path() / "home-link" / "blocks" / "folder-link" / "big.bin"));

    for (const char* reached : { "node", "home-link" }) {
        const FolderSizeResult result = WinFolderSize(2).measure(tree.text(reached));
        EXPECT_TRUE(result.measured()) << reached << ": " << result.error;
        EXPECT_EQ(result.bytes, 2000u) << reached;
        EXPECT_FALSE(result.partial()) << reached;
    }
}

} // namespace
} // namespace korvane
