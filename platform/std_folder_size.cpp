#include "platform/std_folder_size.h"

#include <filesystem>
#include <system_error>
#include <vector>

namespace korvane {
namespace {

namespace fs = std::filesystem;

FolderSizeResult failure(std::string reason)
{
    return { false, 0, std::move(reason) };
}

// Paths are UTF-8 text; on Windows a plain std::string would be read in the ANSI code page.
fs::path pathFromUtf8(const std::string& text)
{
    return fs::path(std::u8string(text.begin(), text.end()));
}

// Sizes of the regular files of one listing; its subfolders are appended to `pending`.
std::uint64_t sizeOfFiles(fs::directory_iterator listing, std::vector<fs::path>& pending)
{
    std::uint64_t bytes = 0;
    std::error_code error;
    for (; listing != fs::directory_iterator(); listing.increment(error)) {
        const fs::file_status status = listing->symlink_status(error);
        if (fs::is_directory(status)) {
            pending.push_back(listing->path());
        } else if (fs::is_regular_file(status)) {
            const std::uintmax_t size = listing->file_size(error);
            if (!error) // else the file vanished during the scan
                bytes += size;
        }
    }
    return bytes;
}

} // namespace

FolderSizeResult StdFolderSize::measure(const std::string& folder)
{
    if (folder.empty())
        return failure("No folder given");
    const fs::path root = pathFromUtf8(folder);
    std::error_code error;
    if (!fs::is_directory(fs::status(root, error)))
        return failure(error ? folder + ": " + error.message() : folder + ": not a folder");
    fs::directory_iterator rootListing(root, error);
    if (error)
        return failure(folder + ": " + error.message());

    std::vector<fs::path> pending;
    std::uint64_t bytes = sizeOfFiles(rootListing, pending);
    while (!pending.empty()) {
        const fs::path next = std::move(pending.back());
        pending.pop_back();
        fs::directory_iterator listing(next, fs::directory_options::skip_permission_denied, error);
        if (!error)
            bytes += sizeOfFiles(listing, pending);
    }
    return { true, bytes, {} };
}

} // namespace korvane
