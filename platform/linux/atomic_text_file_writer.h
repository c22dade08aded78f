#pragma once

#include "platform/text_file_writer.h"

#include <string>
#include <string_view>

namespace korvane {

// Replaces `path` whole: writes a temporary file in the same folder, flushes it to disk and renames
// it over the target. On failure the target is untouched, the temporary removed, and `error` tells why.
bool replaceFileAtomically(const std::string& path,
                           std::string_view content,
                           FilePermissions permissions,
                           std::string* error);

class AtomicTextFileWriter : public TextFileWriter
{
public:
    bool
    write(const std::string& path, const std::string& text, FilePermissions permissions, std::string* error) override;
};

} // namespace korvane
