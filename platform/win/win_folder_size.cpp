#include "platform/win/win_folder_size.h"

#include "platform/win/win_text.h"

#include <windows.h>

namespace korvane {
namespace {

bool isDotEntry(const wchar_t* name)
{
    return name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0'));
}

std::wstring childPath(const std::wstring& folder, const wchar_t* name)
{
    std::wstring path = folder;
    if (!path.empty() && path.back() != L'\\' && path.back() != L'/')
        path += L'\\';
    return path += name;
}

class FindHandle
{
public:
    explicit FindHandle(HANDLE handle)
        : m_handle(handle)
    {
    }
    FindHandle(const FindHandle&) = delete;
    FindHandle& operator=(const FindHandle&) = delete;
    ~FindHandle()
    {
        if (valid())
            FindClose(m_handle);
    }
    HANDLE get() const { return m_handle; }
    bool valid() const { return m_handle != INVALID_HANDLE_VALUE; }

private:
    HANDLE m_handle;
};

void addEntry(const std::wstring& folder,
              const WIN32_FIND_DATAW& entry,
              FolderTally& tally,
              std::vector<std::wstring>& subfolders)
{
    // A link, junction or mount point: what it leads to is elsewhere. As a folder has no other
    // name, none is reached twice.
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
        return;
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        if (!isDotEntry(entry.cFileName))
            subfolders.push_back(childPath(folder, entry.cFileName));
        return;
    }
    tally.bytes += (static_cast<std::uint64_t>(entry.nFileSizeHigh) << 32) | entry.nFileSizeLow;
}

// Lists one folder. Returns the error that kept it from being listed whole, or 0.
DWORD listFolder(const std::wstring& folder,
                 FolderTally& tally,
                 std::vector<std::wstring>& subfolders,
                 const std::stop_token& stop)
{
    WIN32_FIND_DATAW entry;
    const FindHandle find(FindFirstFileExW(childPath(folder, L"*").c_str(), FindExInfoBasic, &entry,
                                           FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
    if (!find.valid())
        return GetLastError();
    do {
        if (stop.stop_requested())
            return 0;
        addEntry(folder, entry, tally, subfolders);
    } while (FindNextFileW(find.get(), &entry));
    const DWORD error = GetLastError();
    return error == ERROR_NO_MORE_FILES ? 0 : error;
}

bool isMissing(DWORD error)
{
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_INVALID_NAME
        || error == ERROR_BAD_NETPATH || error == ERROR_BAD_NET_NAME || error == ERROR_INVALID_DRIVE;
}

// A folder below the one measured; one that vanished during the scan is skipped.
void listSubfolder(const std::wstring& folder,
                   FolderTally& tally,
                   std::vector<std::wstring>& subfolders,
                   const std::stop_token& stop)
{
    const DWORD error = listFolder(folder, tally, subfolders, stop);
    if (error != 0 && !isMissing(error))
        ++tally.unreadableFolders;
}

// The scan's threads give way to the window's at once.
void yieldToOtherThreads()
{
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL);
}

FolderSizeResult failure(FolderSizeOutcome outcome, std::string error)
{
    return { outcome, 0, 0, std::move(error) };
}

} // namespace

FolderSizeResult WinFolderSize::measure(const std::string& folder, std::stop_token stop)
{
    if (folder.empty())
        return failure(FolderSizeOutcome::NoFolderName, "No folder name given");
    const std::wstring root = win::toWide(folder);
    // The folder itself may be reached through a link or junction.
    const DWORD attributes = GetFileAttributesW(root.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        return failure(isMissing(error) ? FolderSizeOutcome::NotFound : FolderSizeOutcome::Unreadable,
                       win::systemMessage(error));
    }
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return failure(FolderSizeOutcome::NotAFolder, "Not a folder");

    FolderTally tally;
    std::vector<std::wstring> subfolders;
    if (const DWORD error = listFolder(root, tally, subfolders, stop))
        return failure(FolderSizeOutcome::Unreadable, win::systemMessage(error));
    tally += walkFolders(std::move(subfolders), listSubfolder, m_threads, yieldToOtherThreads, stop);
    if (stop.stop_requested())
        return failure(FolderSizeOutcome::Stopped, "Stopped");
    return { FolderSizeOutcome::Measured, tally.bytes, tally.unreadableFolders, {} };
}

} // namespace korvane
