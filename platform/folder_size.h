#pragma once

#include <cstdint>
#include <stop_token>
#include <string>

namespace korvane {

enum class FolderSizeOutcome
{
    Measured,
    NoFolderName, // the path is empty
    NotFound,
    NotAFolder,
    Unreadable, // the folder itself cannot be listed
    Stopped, // the caller gave up before the scan ended; the count is incomplete
};

struct FolderSizeResult
{
    FolderSizeOutcome outcome = FolderSizeOutcome::Measured;
    std::uint64_t bytes = 0;
    // Subfolders that could not be listed and were left out: the total is then a lower bound.
    std::uint64_t unreadableFolders = 0;
    std::string error; // why the folder could not be measured
    // Folders reached a second time (a folder mounted inside itself, say) and left out, so that
    // nothing is counted twice.
    std::uint64_t repeatedFolders = 0;

    bool measured() const { return outcome == FolderSizeOutcome::Measured; }
    bool partial() const { return unreadableFolders != 0; }
};

// Total apparent size in bytes of all regular files in a folder and all its subfolders. Symbolic
// links, junctions and other reparse points below the folder are neither followed nor counted; the
// folder itself may be reached through one; a folder already counted is not listed again. Entries
// that vanish during the scan (as files of a running node do) are skipped. May run on any thread;
// a scan returns soon after `stop` is requested.
class FolderSize
{
public:
    virtual ~FolderSize() = default;
    virtual FolderSizeResult measure(const std::string& folder, std::stop_token stop = {}) = 0;
};

} // namespace korvane
