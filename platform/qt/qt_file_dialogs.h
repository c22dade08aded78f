#pragma once

#include "platform/file_dialogs.h"

namespace korvane {

// Qt's own folder and file-open dialogs, portable to every operating system.
class QtFileDialogs : public FileDialogs
{
public:
    std::optional<std::string> pickFolder(NativeWindow owner, const std::string& prompt) override;
    std::optional<std::string> pickOpenFile(NativeWindow owner, const FileOpenRequest& request) override;
};

// "Applications (*.exe)|*.exe|All files (*.*)|*.*" -> "Applications (*.exe);;All files (*.*)":
// the descriptions carry their patterns, and Qt separates entries with ";;".
std::string qtNameFilters(const std::string& filter);

} // namespace korvane
