#pragma once

#include "platform/text_file_writer.h"

#include <string>
#include <string_view>

namespace korvane {

// Replaces `path` whole: writes a temporary file in the same folder, flushes it to disk and renames
// it over the target. A replaced file keeps its owner and group; where the process may not give
// them to the new file, the file is left alone. On failure the target is untouched, the temporary
// removed, and the failure tells why.
Result<> replaceFileAtomically(const std::string& path, std::string_view content, FilePermissions permissions);

// Writes the file `path` names as its user expects of a file linked elsewhere: through symbolic
// links the final target is replaced, in its own folder. A file with other names (hard links) is
// rewritten in place so that they stay one file, which the value says; a complete copy of the new
// text is flushed beside it first, and kept (the error names it) should the rewrite fail. Any
// other file is replaced atomically. The value says what the user should be told.
Result<std::string> writeTextFile(const std::string& path, std::string_view content, FilePermissions permissions);

class AtomicTextFileWriter : public TextFileWriter
{
public:
    Result<std::string> write(const std::string& path, const std::string& text, FilePermissions permissions) override;
};

} // namespace korvane
