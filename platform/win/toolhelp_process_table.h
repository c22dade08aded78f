#pragma once

#include "platform/process_table.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace korvane {

// A process as a Toolhelp snapshot shows it.
struct SnapshotProcess
{
    ProcessId id = 0;
    std::wstring name; // its executable's file name
};

// Every running process at one moment; nothing when the system gives no snapshot (the reason is
// left in GetLastError).
std::optional<std::vector<SnapshotProcess>> takeProcessSnapshot();

// Running processes from a Toolhelp snapshot; a process's name is the file name of its executable.
class ToolhelpProcessTable : public ProcessTable
{
public:
    // The full path of an opened process's executable (the process is a HANDLE), or nothing with
    // the reason left in GetLastError.
    using ImageNameQuery = std::function<std::optional<std::wstring>(void* process)>;

    // Asks the system (QueryFullProcessImageNameW).
    ToolhelpProcessTable();
    explicit ToolhelpProcessTable(ImageNameQuery imageName);

    ProcessQuery queryRunning(const std::vector<std::string>& names) override;
    TerminateResult terminateAll(std::string_view name) override;
    bool isRunning(ProcessId id) override;

private:
    ImageNameQuery m_imageName;
};

} // namespace korvane
