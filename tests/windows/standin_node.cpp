// The stand-in for a coin's node programs in the Windows program's test under Wine, copied under
// the daemon's and the client's file names.
//
// Every start writes its arguments to %KORVANE_STANDIN_DIR%\<own file name>.args, one per line
// after a line "pid=...", under a temporary name first so a reader never sees half of it.
//
// Started with "stop" as its last argument it is the client: it signals the daemon to stop and
// exits (1 when no daemon runs). Otherwise it is the daemon: it runs until signalled.
#include <string>
#include <windows.h>
// Needs the types of windows.h.
#include <shellapi.h>

namespace {

constexpr const wchar_t* kStopEvent = L"Local\\korvane-standin-stop";

std::string utf8(const std::wstring& text)
{
    const int bytes
        = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), result.data(), bytes, nullptr,
                        nullptr);
    return result;
}

std::wstring ownFileName()
{
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    const std::wstring whole(path, length);
    return whole.substr(whole.find_last_of(L"\\/") + 1);
}

bool writeWhole(const std::wstring& path, const std::string& text)
{
    const std::wstring partial = path + L".part";
    HANDLE file
        = CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const bool ok
        = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) && written == text.size();
    CloseHandle(file);
    return ok && MoveFileExW(partial.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
}

int runClient()
{
    HANDLE stop = OpenEventW(EVENT_MODIFY_STATE, FALSE, kStopEvent);
    if (!stop)
        return 1;
    const bool signalled = SetEvent(stop);
    CloseHandle(stop);
    return signalled ? 0 : 1;
}

int runDaemon()
{
    HANDLE stop = CreateEventW(nullptr, TRUE, FALSE, kStopEvent);
    if (!stop)
        return 1;
    WaitForSingleObject(stop, INFINITE);
    CloseHandle(stop);
    return 0;
}

} // namespace

int wmain()
{
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    std::string record = "pid=" + std::to_string(GetCurrentProcessId()) + "\n";
    for (int i = 1; i < count; ++i)
        record += "arg=" + utf8(arguments[i]) + "\n";
    const bool client = count > 1 && std::wstring(arguments[count - 1]) == L"stop";
    LocalFree(arguments);

    wchar_t folder[MAX_PATH];
    const DWORD length = GetEnvironmentVariableW(L"KORVANE_STANDIN_DIR", folder, MAX_PATH);
    const std::wstring records = length > 0 && length < MAX_PATH ? std::wstring(folder, length) : L".";
    if (!writeWhole(records + L"\\" + ownFileName() + L".args", record))
        return 1;
    return client ? runClient() : runDaemon();
}
