#include "platform/win/toolhelp_process_table.h"

#include "platform/win/win_text.h"

#include <algorithm>
#include <optional>
#include <windows.h>
// Needs the types of windows.h.
#include <tlhelp32.h>

namespace korvane {
namespace {

struct RunningProcess
{
    DWORD id = 0;
    std::wstring name;
};

// Every running process at one moment, or nothing when the system gives no snapshot.
std::optional<std::vector<RunningProcess>> takeSnapshot()
{
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return std::nullopt;
    std::vector<RunningProcess> processes;
    PROCESSENTRY32W entry {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry))
        processes.push_back({ entry.th32ProcessID, entry.szExeFile });
    CloseHandle(snapshot);
    return processes;
}

bool sameName(const std::wstring& processName, const std::wstring& wanted)
{
    if (wanted.empty())
        return false;
    return CompareStringOrdinal(processName.c_str(), static_cast<int>(processName.size()), wanted.c_str(),
                                static_cast<int>(wanted.size()), TRUE)
        == CSTR_EQUAL;
}

// Ends one process; returns the system's reason when it refused.
std::optional<std::string> terminate(const RunningProcess& process)
{
    const HANDLE handle = OpenProcess(PROCESS_TERMINATE, FALSE, process.id);
    if (!handle)
        return win::lastErrorMessage();
    std::optional<std::string> refusal;
    if (!TerminateProcess(handle, 1))
        refusal = win::lastErrorMessage();
    CloseHandle(handle);
    return refusal;
}

} // namespace

ProcessQuery ToolhelpProcessTable::queryRunning(const std::vector<std::string>& names)
{
    ProcessQuery query;
    const auto processes = takeSnapshot();
    if (!processes) {
        query.error = "The list of running processes could not be read: " + win::lastErrorMessage();
        query.running.assign(names.size(), false);
        return query;
    }
    query.ok = true;
    for (const auto& name : names) {
        const std::wstring wanted = win::toWide(name);
        query.running.push_back(std::any_of(processes->begin(), processes->end(), [&](const RunningProcess& process) {
            return sameName(process.name, wanted);
        }));
    }
    return query;
}

TerminateResult ToolhelpProcessTable::terminateAll(std::string_view name)
{
    TerminateResult result;
    const auto processes = takeSnapshot();
    if (!processes) {
        result.refusals.push_back("The list of running processes could not be read: " + win::lastErrorMessage());
        return result;
    }
    const std::wstring wanted = win::toWide(name);
    for (const auto& process : *processes) {
        if (!sameName(process.name, wanted))
            continue;
        if (const auto refusal = terminate(process))
            result.refusals.push_back(std::string(name) + " (process " + std::to_string(process.id) + "): " + *refusal);
        else
            ++result.killed;
    }
    return result;
}

} // namespace korvane
