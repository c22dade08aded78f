#pragma once

#include "base/result.h"

#include <string>

namespace korvane {

enum class FilePermissions
{
    // A new file gets the system's usual permissions; a replaced file keeps its own.
    Default,
    // For files that hold a secret: on Linux readable and writable by its owner only (0600), new or
    // replaced. Windows files take the access rules of their folder either way.
    OwnerOnly,
};

// Writes a text file whole; the old file stays as it was unless the new one is complete.
class TextFileWriter
{
public:
    virtual ~TextFileWriter() = default;
    // `text` is UTF-8, but for stored bytes that are not, which are written as they are or refused,
    // never replaced. The value is what the user should be told of a write that went well (a file
    // with other names written in place to keep them one file), empty when there is nothing to
    // tell; a failure says why the file was not written.
    virtual Result<std::string> write(const std::string& path, const std::string& text, FilePermissions permissions)
        = 0;
};

} // namespace korvane
