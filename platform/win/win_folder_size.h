#pragma once

#include "platform/folder_size.h"
#include "platform/parallel_folder_walk.h"

namespace korvane {

// Adds up the sizes of the files below a folder as the folder listings give them
// (FindFirstFileExW, large fetches, no short names), with several threads sharing a queue of
// folders. Links, junctions and other reparse points below the folder are neither followed nor
// counted.
class WinFolderSize : public FolderSize
{
public:
    explicit WinFolderSize(unsigned threads = defaultWalkThreads())
        : m_threads(threads)
    {
    }

    FolderSizeResult measure(const std::string& folder, std::stop_token stop = {}) override;

private:
    unsigned m_threads;
};

} // namespace korvane
