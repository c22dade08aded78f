#pragma once

#include "platform/native_window.h"

#include <optional>
#include <string>

namespace korvane {

struct FileOpenRequest
{
    std::string title;
    // Entries "Description|pattern" joined by "|", as "Applications (*.exe)|*.exe|All files (*.*)|*.*".
    std::string filter;
    std::string defaultExtension; // without a dot; may be empty
    std::string initialFolder; // may be empty
};

// Folder and file pickers. Each returns the choice, or nothing when the user cancelled.
class FileDialogs
{
public:
    virtual ~FileDialogs() = default;
    virtual std::optional<std::string> pickFolder(NativeWindow owner, const std::string& prompt) = 0;
    // Full path of one existing file.
    virtual std::optional<std::string> pickOpenFile(NativeWindow owner, const FileOpenRequest& request) = 0;
};

} // namespace korvane
