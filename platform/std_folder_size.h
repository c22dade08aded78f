#pragma once

#include "platform/folder_size.h"

namespace korvane {

// Adds up the sizes of all regular files below a folder with std::filesystem. Symbolic links are
// neither followed nor counted. Below a readable folder, entries that cannot be read (or vanish
// during the scan, as files of a running node do) are skipped.
class StdFolderSize : public FolderSize
{
public:
    FolderSizeResult measure(const std::string& folder) override;
};

} // namespace korvane
