#include "platform/win/toolhelp_process_table.h"

#include "platform/win/win_text.h"

#include <limits>
#include <optional>
#include <windows.h>
// Needs the types of windows.h.
#include <tlhelp32.h>

namespace korvane {

std::string_view emailUtilityName()
{
    return "SendEmail.exe";
}

std::optional<std::vector<SnapshotProcess>> takeProcessSnapshot()
{
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return std::nullopt;
    std::vector<SnapshotProcess> processes;
    PROCESSENTRY32W entry {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry))
        processes.push_back({ entry.th32ProcessID, entry.szExeFile });
    CloseHandle(snapshot);
    return processes;
}

namespace {

bool sameName(const std::wstring& processName, const std::wstring& wanted)
{
    if (wanted.empty())
        return false;
    return CompareStringOrdinal(processName.c_str(), static_cast<int>(processName.size()), wanted.c_str(),
                                static_cast<int>(wanted.size()), TRUE)
        == CSTR_EQUAL;
}

std::optional<std::wstring> systemImageName(void* process)
{
    std::wstring path(32768, L'\0');
    auto length = static_cast<DWORD>(path.size());
    if (!QueryFullProcessImageNameW(process, 0, path.data(), &length))
        return std::nullopt;
    path.resize(length);
    return path;
}

// Ends the process if it still carries the name once a handle to it is held, so that a process
// that took over the id of one that ended since the snapshot is left alone. A process whose name
// cannot be read then is not ended, and counted as refused.
void endProcess(const SnapshotProcess& process,
                const std::wstring& wanted,
                const ToolhelpProcessTable::ImageNameQuery& imageName,
                TerminateResult& result)
{
    const std::string label = "process " + std::to_string(process.id);
    if (process.id == GetCurrentProcessId()) {
        result.refusals.push_back(label + " is this program itself");
        return;
    }
    const HANDLE handle
        = OpenProcess(PROCESS_TERMINATE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(process.id));
    if (!handle) {
        // An id that no longer exists: the process ended by itself.
        if (GetLastError() != ERROR_INVALID_PARAMETER)
            result.refusals.push_back(label + ": " + win::lastErrorMessage());
        return;
    }
    if (const auto path = imageName(handle); !path) {
        result.refusals.push_back(label + ": the name of its program cannot be read: " + win::lastErrorMessage());
    } else if (sameName(path->substr(path->find_last_of(L'\\') + 1), wanted)) {
        if (TerminateProcess(handle, 1))
            ++result.killed;
        else
            result.refusals.push_back(label + ": " + win::lastErrorMessage());
    }
    CloseHandle(handle);
}

} // namespace

ToolhelpProcessTable::ToolhelpProcessTable()
    : m_imageName(systemImageName)
{
}

ToolhelpProcessTable::ToolhelpProcessTable(ImageNameQuery imageName)
    : m_imageName(std::move(imageName))
{
}

ProcessQuery ToolhelpProcessTable::queryRunning(const std::vector<std::string>& names)
{
    const auto processes = takeProcessSnapshot();
    if (!processes)
        return Failure { "The list of running processes could not be read: " + win::lastErrorMessage() };
    std::vector<std::vector<ProcessId>> running;
    for (const auto& name : names) {
        const std::wstring wanted = win::toWide(name);
        auto& ids = running.emplace_back();
        for (const auto& process : *processes) {
            if (sameName(process.name, wanted))
                ids.push_back(process.id);
        }
    }
    return running;
}

TerminateResult ToolhelpProcessTable::terminateAll(std::string_view name)
{
    TerminateResult result;
    const auto processes = takeProcessSnapshot();
    if (!processes) {
        result.refusals.push_back("The list of running processes could not be read: " + win::lastErrorMessage());
        return result;
    }
    const std::wstring wanted = win::toWide(name);
    for (const auto& process : *processes) {
        if (sameName(process.name, wanted))
            endProcess(process, wanted, m_imageName, result);
    }
    return result;
}

// A process that ended stays signalled while any handle holds it; one that cannot be opened for
// lack of rights still runs.
bool ToolhelpProcessTable::isRunning(ProcessId id)
{
    if (id <= 0 || id > std::numeric_limits<DWORD>::max())
        return false;
    const HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(id));
    if (!process)
        return GetLastError() == ERROR_ACCESS_DENIED;
    const bool running = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
    CloseHandle(process);
    return running;
}

} // namespace korvane
