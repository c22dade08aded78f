#include "platform/win/win_program_runner.h"

#include "base/command_line_split.h"
#include "platform/win/win_handle.h"
#include "platform/win/win_text.h"

#include <algorithm>
#include <chrono>
#include <functional>
#include <map>
#include <windows.h>

namespace korvane {
namespace {

using win::Handle;

// A pipe whose writing end the child inherits.
bool openPipe(Handle& read, Handle& write)
{
    SECURITY_ATTRIBUTES inherited { sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE };
    if (!CreatePipe(read.out(), write.out(), &inherited, 0))
        return false;
    return SetHandleInformation(read.get(), HANDLE_FLAG_INHERIT, 0);
}

// Reads a pipe to its end on a thread of its own: anonymous pipes cannot be waited on. A Win32
// thread, so that a read blocked on it can be cancelled.
class PipeReader
{
public:
    PipeReader(HANDLE pipe, std::string& into)
        : m_pipe(pipe)
        , m_into(into)
        , m_thread(CreateThread(nullptr, 0, &PipeReader::read, this, 0, nullptr))
    {
    }
    ~PipeReader() { finish(); }
    PipeReader(const PipeReader&) = delete;
    PipeReader& operator=(const PipeReader&) = delete;

    // Ends the read where it blocks: a process outside the job may still hold the writing end.
    void cancel() { CancelSynchronousIo(m_thread.get()); }
    void finish()
    {
        if (m_thread.get())
            WaitForSingleObject(m_thread.get(), INFINITE);
        m_thread.reset();
    }

private:
    static DWORD WINAPI read(void* context)
    {
        auto* reader = static_cast<PipeReader*>(context);
        char buffer[65536];
        DWORD count = 0;
        while (ReadFile(reader->m_pipe, buffer, sizeof buffer, &count, nullptr) && count > 0)
            reader->m_into.append(buffer, count);
        return 0;
    }

    HANDLE m_pipe;
    std::string& m_into;
    Handle m_thread;
};

// This program's environment with the request's variables set on top, as the sorted block of
// "NAME=value" texts that CreateProcessW takes. Names are compared without regard to letter case.
std::wstring environmentBlock(const ProgramRun& request)
{
    const auto lessIgnoringCase = [](const std::wstring& a, const std::wstring& b) {
        return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_LESS_THAN;
    };
    std::map<std::wstring, std::wstring, decltype(lessIgnoringCase)> variables(lessIgnoringCase);
    if (wchar_t* block = GetEnvironmentStringsW()) {
        for (const wchar_t* entry = block; *entry; entry += wcslen(entry) + 1) {
            const std::wstring_view text(entry);
            const auto equals = text.find(L'=', 1); // "=C:=C:\..." entries start with "="
            if (equals != std::wstring_view::npos)
                variables[std::wstring(text.substr(0, equals))] = std::wstring(text.substr(equals + 1));
        }
        FreeEnvironmentStringsW(block);
    }
    for (const auto& [name, value] : request.environment)
        variables[win::toWide(name)] = win::toWide(value);
    std::wstring result;
    for (const auto& [name, value] : variables) {
        result += name + L"=" + value;
        result += L'\0';
    }
    result += L'\0';
    return result;
}

std::wstring commandLineOf(const ProgramRun& request)
{
    std::string line = "\"" + request.program + "\"";
    for (const std::string& argument : request.arguments)
        line += " " + quotedArgument(argument);
    return win::toWide(line);
}

ProgramOutput notStarted(std::string error)
{
    ProgramOutput output;
    output.error = std::move(error);
    return output;
}

// How long a killed process may take to end before its run counts as ended.
constexpr DWORD kEndWait = 1000;

// Waits for the process, the deadline or a stop, whichever comes first.
ProgramOutcome waitFor(HANDLE process, std::chrono::steady_clock::time_point deadline, std::stop_token stop)
{
    Handle stopped(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    const std::stop_callback<std::function<void()>> onStop(stop, [&stopped] { SetEvent(stopped.get()); });
    const HANDLE handles[] = { process, stopped.get() };
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    const DWORD answer
        = WaitForMultipleObjects(2, handles, FALSE, static_cast<DWORD>(std::max<long long>(left.count(), 0)));
    if (answer == WAIT_OBJECT_0)
        return ProgramOutcome::Finished;
    return answer == WAIT_OBJECT_0 + 1 ? ProgramOutcome::Stopped : ProgramOutcome::TimedOut;
}

} // namespace

ProgramOutput WinProgramRunner::run(const ProgramRun& request, std::stop_token stop)
{
    const auto deadline = std::chrono::steady_clock::now() + request.timeLimit;
    Handle outputRead, outputWrite, errorRead, errorWrite;
    if (!openPipe(outputRead, outputWrite) || !openPipe(errorRead, errorWrite))
        return notStarted(win::lastErrorMessage());
    Handle input(
        CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
    SetHandleInformation(input.get(), HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
    Handle job(CreateJobObjectW(nullptr, nullptr));
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits {};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    SetInformationJobObject(job.get(), JobObjectExtendedLimitInformation, &limits, sizeof limits);

    STARTUPINFOW startup {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input.get();
    startup.hStdOutput = outputWrite.get();
    startup.hStdError = errorWrite.get();
    std::wstring program = win::toWide(request.program);
    std::wstring commandLine = commandLineOf(request);
    std::wstring environment = environmentBlock(request);
    const std::wstring workingFolder = win::toWide(request.workingFolder);
    PROCESS_INFORMATION started {};
    // Suspended until it is in the job, so that nothing it starts escapes the job.
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                        CREATE_NO_WINDOW | CREATE_UNICODE_ENVIRONMENT | CREATE_SUSPENDED, environment.data(),
                        workingFolder.empty() ? nullptr : workingFolder.c_str(), &startup, &started))
        return notStarted(win::lastErrorMessage());
    Handle process(started.hProcess);
    Handle thread(started.hThread);
    runStarted(started.dwProcessId);
    AssignProcessToJobObject(job.get(), process.get());
    ResumeThread(thread.get());
    outputWrite.reset();
    errorWrite.reset();

    ProgramOutput output;
    PipeReader outputReader(outputRead.get(), output.standardOutput);
    PipeReader errorReader(errorRead.get(), output.standardError);
    output.outcome = waitFor(process.get(), deadline, stop);
    if (output.outcome == ProgramOutcome::Finished) {
        DWORD code = 0;
        GetExitCodeProcess(process.get(), &code);
        output.exitCode = static_cast<int>(code);
    }
    // Whatever it started ends with it; the readers then see their pipes close.
    TerminateJobObject(job.get(), 1);
    WaitForSingleObject(process.get(), kEndWait);
    runEnded(started.dwProcessId);
    outputReader.cancel();
    errorReader.cancel();
    outputReader.finish();
    errorReader.finish();
    return output;
}

} // namespace korvane
