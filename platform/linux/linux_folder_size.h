#pragma once

#include "platform/folder_size.h"
#include "platform/parallel_folder_walk.h"

namespace korvane {

// Adds up the apparent sizes (st_size) of the regular files below a folder. Each folder is listed
// with getdents64 and its entries are examined with fstatat relative to the folder's descriptor,
// by several threads sharing a queue of folders. Symbolic links below the folder are not followed.
class LinuxFolderSize : public FolderSize
{
public:
    explicit LinuxFolderSize(unsigned threads = defaultWalkThreads())
        : m_threads(threads)
    {
    }

    FolderSizeResult measure(const std::string& folder, std::stop_token stop = {}) override;

private:
    unsigned m_threads;
};

} // namespace korvane
