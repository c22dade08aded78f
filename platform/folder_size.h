#pragma once

#include <cstdint>
#include <string>

namespace korvane {

struct FolderSizeResult
{
    bool ok = false;
    std::uint64_t bytes = 0;
    std::string error;
};

// Total size in bytes of all files in a folder and all its subfolders.
class FolderSize
{
public:
    virtual ~FolderSize() = default;
    virtual FolderSizeResult measure(const std::string& folder) = 0;
};

} // namespace korvane
