#pragma once

#include "platform/text_file_writer.h"

namespace korvane {

// Writes the text in the system's ANSI code page into a temporary file beside the target, then moves
// it over the target, so the old file stays whole unless the new one is complete. Text that the code
// page cannot hold is refused, not written with replacement characters. The file takes the access
// rules of its folder, whatever the permissions asked.
class WinTextFileWriter : public TextFileWriter
{
public:
    Result<std::string> write(const std::string& path, const std::string& text, FilePermissions permissions) override;
};

} // namespace korvane
