#pragma once

#include "platform/text_file_writer.h"

#include <string>
#include <string_view>

namespace korvane {

// Replaces `path` whole: writes a temporary file in the same folder, flushes it to disk and renames
// it over the target. On failure the target is untouched, the temporary removed, and the failure tells why.
Result<> replaceFileAtomically(const std::string& path, std::string_view content, FilePermissions permissions);

class AtomicTextFileWriter : public TextFileWriter
{
public:
    Result<> write(const std::string& path, const std::string& text, FilePermissions permissions) override;
};

} // namespace korvane
